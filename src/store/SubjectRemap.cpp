#include "store/SubjectRemap.h"

#include "base/PlanVocabulary.h"
#include "base/ZoneText.h"
#include "store/ListRewrite.h"
#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <QSet>

#include <algorithm>
#include <climits>

namespace {

constexpr int kSlots = Plan::kSubjectSlots;
constexpr int kZoneDays = Plan::kMaxDays;

bool isSubject(const QString& name)
{
    return !TextRules::isEmpty(name) && !name.isEmpty();
}

QStringList readSubjects()
{
    QStringList names(kSlots, TextRules::emptyMarker());
    TableReader reader(Schema::kSubjectsTable);
    for (int k = 0; k < kSlots && reader.next(); ++k)
        names[k] = reader.text(QStringLiteral("科目"));
    return names;
}

// 周课时计划 as stored: the row id, the weekly total, the counts of subjects 1..24 as text.
struct WeeklyRow
{
    int id = 0;
    QString total;
    QStringList counts;
};

std::vector<WeeklyRow> readWeeklyPlan()
{
    std::vector<WeeklyRow> rows;
    TableReader reader(Schema::kWeeklyPlanTable);
    while (reader.next()) {
        WeeklyRow row{TextRules::toInt(reader.text(0)), reader.text(1), {}};
        for (int ordinal = 3; ordinal <= 2 + kSlots; ++ordinal)
            row.counts << reader.text(ordinal);
        rows.push_back(row);
    }
    return rows;
}

// The live rows of a list table (up to the first whose key is "H"), every
// text column as stored.
std::vector<QStringList> readLiveRows(const QString& table, const QString& keyColumn)
{
    std::vector<QStringList> rows;
    const QStringList& columns = Schema::table(table).columns;
    TableReader reader(table);
    while (reader.next()) {
        if (TextRules::isEmpty(reader.text(keyColumn)))
            break;
        QStringList row;
        for (const QString& column : columns)
            row << reader.text(column);
        rows.push_back(row);
    }
    return rows;
}

// A zone row restricts something when one of its seven days holds a zone.
bool holdsZone(const QStringList& row)
{
    for (int d = 1; d <= kZoneDays; ++d) {
        const QString& zone = row[d];
        if (zone != ZoneText::noZoneMarker() && !TextRules::isEmpty(zone) && !zone.isEmpty())
            return true;
    }
    return false;
}

QStringList noZoneRow(const QString& className)
{
    QStringList row{className};
    for (int d = 0; d < kZoneDays; ++d)
        row << ZoneText::noZoneMarker();
    return row;
}

// Zone tables hold blocks of 24 rows per class; row s of a block is subject s + 1.
int zoneBlocksHolding(const std::vector<QStringList>& rows, int slot)
{
    int classes = 0;
    for (size_t base = 0; base + kSlots <= rows.size(); base += kSlots)
        if (holdsZone(rows[base + static_cast<size_t>(slot)]))
            ++classes;
    return classes;
}

std::vector<QStringList> remapZones(const std::vector<QStringList>& rows, const std::vector<int>& sourceOf)
{
    std::vector<QStringList> out = rows;
    for (size_t base = 0; base + kSlots <= rows.size(); base += kSlots)
        for (int to = 0; to < kSlots; ++to) {
            const int from = sourceOf[static_cast<size_t>(to)];
            out[base + static_cast<size_t>(to)] = from < 0 ? noZoneRow(rows[base].front())
                                                           : rows[base + static_cast<size_t>(from)];
            // Every row of a block repeats the class name of its first row.
            out[base + static_cast<size_t>(to)][0] = rows[base + static_cast<size_t>(to)][0];
        }
    return out; // a trailing incomplete block stays as it was
}

} // namespace

SubjectRemap SubjectRemap::Prepare(const QStringList& newSubjects)
{
    SubjectRemap remap;
    remap.m_oldSubjects = readSubjects();
    remap.m_newSubjects = newSubjects.mid(0, kSlots);
    while (remap.m_newSubjects.size() < kSlots)
        remap.m_newSubjects << TextRules::emptyMarker();

    // Each new subject takes the data of the stored slot of the same name; a
    // name that occurs twice pairs its occurrences in order.
    remap.m_sourceOf.assign(kSlots, -1);
    std::vector<bool> taken(kSlots, false);
    for (int to = 0; to < kSlots; ++to) {
        const QString& name = remap.m_newSubjects[to];
        if (!isSubject(name))
            continue;
        for (int from = 0; from < kSlots; ++from)
            if (!taken[static_cast<size_t>(from)] && remap.m_oldSubjects[from] == name) {
                taken[static_cast<size_t>(from)] = true;
                remap.m_sourceOf[static_cast<size_t>(to)] = from;
                if (from != to)
                    remap.m_moved.push_back({name, from + 1, to + 1});
                break;
            }
    }
    std::sort(remap.m_moved.begin(), remap.m_moved.end(),
              [](const Move& a, const Move& b) { return a.from < b.from; });

    QSet<QString> kept;
    for (const QString& name : std::as_const(remap.m_newSubjects))
        if (isSubject(name))
            kept.insert(name);

    std::vector<int> droppedSlots;
    for (int from = 0; from < kSlots; ++from)
        if (isSubject(remap.m_oldSubjects[from]) && !taken[static_cast<size_t>(from)])
            droppedSlots.push_back(from);
    if (droppedSlots.empty())
        return remap;

    const std::vector<WeeklyRow> weekly = readWeeklyPlan();
    const std::vector<QStringList> subjectZones = readLiveRows(Schema::kSubjectZonesTable, QStringLiteral("班级"));
    const std::vector<QStringList> teacherZones = readLiveRows(Schema::kTeacherZonesTable, QStringLiteral("班级"));
    const std::vector<QStringList> fixed = readLiveRows(Schema::kFixedTable, QStringLiteral("班级"));
    const std::vector<QStringList> combined = readLiveRows(Schema::kCombinedTable, QStringLiteral("科目"));
    QSet<QString> counted; // rows naming a subject are counted once, under its first dropped slot
    for (const int from : droppedSlots) {
        const QString& name = remap.m_oldSubjects[from];
        Loss loss{name, from + 1};
        for (const WeeklyRow& row : weekly)
            if (TextRules::toInt(row.counts[from]) != 0)
                ++loss.weeklyCounts;
        loss.subjectZones = zoneBlocksHolding(subjectZones, from);
        loss.teacherZones = zoneBlocksHolding(teacherZones, from);
        if (!kept.contains(name) && !counted.contains(name)) {
            counted.insert(name);
            loss.fixedLessons = static_cast<int>(
                std::count_if(fixed.begin(), fixed.end(), [&](const QStringList& row) { return row[3] == name; }));
            loss.combinedGroups = static_cast<int>(std::count_if(
                combined.begin(), combined.end(), [&](const QStringList& row) { return row[0] == name; }));
        }
        remap.m_dropped.push_back(loss);
    }
    return remap;
}

bool SubjectRemap::losesData() const
{
    return std::any_of(m_dropped.begin(), m_dropped.end(), [](const Loss& loss) { return loss.holdsData(); });
}

bool SubjectRemap::operator==(const SubjectRemap& other) const
{
    return m_oldSubjects == other.m_oldSubjects && m_newSubjects == other.m_newSubjects && m_moved == other.m_moved
           && m_dropped == other.m_dropped;
}

void SubjectRemap::apply() const
{
    if (!changesAnything())
        return;
    const QString purpose = QStringLiteral("按科目名称调整周课时、排课区、固定科目与合班设置");
    Transaction tx(purpose);

    // 周课时计划: each count goes to its subject's new column; the weekly total
    // is the sum of what is left.
    QStringList columns{QStringLiteral("周课时")};
    for (int n = 1; n <= kSlots; ++n)
        columns << QString::number(n);
    for (const WeeklyRow& row : readWeeklyPlan()) {
        QStringList counts;
        long long total = 0;
        for (int to = 0; to < kSlots; ++to) {
            const int from = m_sourceOf[static_cast<size_t>(to)];
            counts << (from < 0 ? QStringLiteral("0") : row.counts[from]);
            total += from < 0 ? 0 : TextRules::toInt(row.counts[from]);
        }
        if (counts == row.counts)
            continue;
        const QString totalText = TextRules::fromInt(static_cast<int>(std::clamp<long long>(total, INT_MIN, INT_MAX)));
        updateRow(Schema::kWeeklyPlanTable, columns, QStringList{totalText} + counts, row.id, purpose);
    }

    for (const QString& table : {Schema::kSubjectZonesTable, Schema::kTeacherZonesTable}) {
        const std::vector<QStringList> rows = readLiveRows(table, QStringLiteral("班级"));
        const std::vector<QStringList> remapped = remapZones(rows, m_sourceOf);
        if (remapped != rows)
            rewriteList(table, remapped, purpose);
    }

    // Fixed lessons and combined groups name their subject: only those of a
    // subject that is gone are removed.
    QSet<QString> gone;
    for (const Loss& loss : m_dropped)
        if (!m_newSubjects.contains(loss.subject))
            gone.insert(loss.subject);
    if (!gone.isEmpty()) {
        const auto without = [&](const QString& table, const QString& key, int subjectColumn) {
            const std::vector<QStringList> rows = readLiveRows(table, key);
            std::vector<QStringList> keptRows;
            for (const QStringList& row : rows)
                if (!gone.contains(row[subjectColumn]))
                    keptRows.push_back(row);
            if (keptRows.size() != rows.size())
                rewriteList(table, keptRows, purpose);
        };
        without(Schema::kFixedTable, QStringLiteral("班级"), 3);
        without(Schema::kCombinedTable, QStringLiteral("科目"), 0);
    }
    tx.commit();
}
