#include "store/PlanReader.h"

#include "base/ZoneText.h"
#include "store/RulesReader.h"
#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"

#include <QHash>

#include <climits>

namespace {

// One zone table (科目要排节次 or 教师要排节次) as read: per row the class name
// and the seven filtered day zones, up to the first row whose class is "H".
QStringList readZoneRows(const QString& table, int periodCount)
{
    QStringList rows;
    TableReader reader(table);
    while (reader.next()) {
        const QString klass = reader.text(QStringLiteral("班级"));
        if (TextRules::isEmpty(klass))
            break;
        rows << klass;
        for (int ordinal = 2; ordinal <= 8; ++ordinal)
            rows << ZoneText::filter(reader.text(ordinal), periodCount);
    }
    return rows;
}

// Copies the blocks of 24 rows read from a zone table into the zones of the
// class their first row names; a later block of a class wins, a block of an
// unknown class and an incomplete last block are ignored. "9" means no zone.
void mergeZoneRows(QStringList& zones, const QStringList& rows, int classCount, const QString& defaultZone)
{
    const qsizetype stride = SchoolPlan::kZoneStride;
    const qsizetype blocks = rows.size() / stride;
    // The block that counts for a class name is the last one naming it.
    QHash<QString, qsizetype> lastBlock;
    for (qsizetype b = 0; b < blocks; ++b)
        lastBlock.insert(rows[b * stride], b);
    for (int c = 0; c < classCount; ++c) {
        const qsizetype base = c * stride;
        const auto found = lastBlock.constFind(zones[base]);
        if (found == lastBlock.constEnd())
            continue;
        const qsizetype from = found.value() * stride;
        for (int j = 0; j < Plan::kSubjectSlots; ++j)
            for (int k = 1; k < SchoolPlan::kZoneGroup; ++k) {
                const QString& zone = rows[from + j * SchoolPlan::kZoneGroup + k];
                zones[base + j * SchoolPlan::kZoneGroup + k] = zone == ZoneText::noZoneMarker() ? defaultZone : zone;
            }
    }
}

// Database day or period number to a 0-based index, without overflow.
long long indexFromText(const QString& text)
{
    return static_cast<long long>(TextRules::toInt(text)) - 1;
}

} // namespace

namespace PlanReader {

void ReadWeek(int& days, int& periods)
{
    TableReader reader(Schema::kWeekTable);
    while (reader.next()) {
        days = TextRules::toInt(reader.text(QStringLiteral("工作天数")));
        periods = TextRules::toInt(reader.text(QStringLiteral("每天节次")));
    }
}

std::vector<int> ReadFixedLessons(const NameLookup& classIndex, const NameLookup& subjectNumber,
                                  std::optional<std::pair<int, int>> week)
{
    std::vector<int> lessons;
    TableReader reader(Schema::kFixedTable);
    while (reader.next()) {
        const QString klass = reader.text(QStringLiteral("班级"));
        if (TextRules::isEmpty(klass))
            break;
        const int c = classIndex(klass);
        const long long d = indexFromText(reader.text(QStringLiteral("星期")));
        const long long p = indexFromText(reader.text(QStringLiteral("节次")));
        const int s = subjectNumber(reader.text(QStringLiteral("科目")));
        if (c == -1 || s == -1)
            continue;
        if (week && (d < 0 || d >= week->first || p < 0 || p >= week->second))
            continue;
        // Without a week the numbers stand as written; below the range they stay at its end.
        lessons.insert(lessons.end(), {c, static_cast<int>(std::max<long long>(d, INT_MIN)),
                                       static_cast<int>(std::max<long long>(p, INT_MIN)), s});
    }
    return lessons;
}

std::vector<int> ReadCombinedClasses(const NameLookup& classIndex, const NameLookup& subjectNumber)
{
    // Every row up to the first "H" subject is read before any name is looked up.
    std::vector<QStringList> rows;
    {
        TableReader reader(Schema::kCombinedTable);
        while (reader.next()) {
            QStringList row{reader.text(QStringLiteral("科目"))};
            if (TextRules::isEmpty(row.first()))
                break;
            for (int ordinal = 2; ordinal <= 6; ++ordinal)
                row << reader.text(ordinal);
            rows.push_back(row);
        }
    }
    std::vector<int> groups;
    for (const QStringList& row : rows) {
        const int s = subjectNumber(row[0]);
        if (s == -1)
            continue;
        std::vector<int> group{s};
        for (int k = 1; k <= Plan::kCombinedMembers; ++k) {
            const int member = TextRules::isEmpty(row[k]) ? -1 : classIndex(row[k]);
            if (member == -1 && !TextRules::isEmpty(row[k]))
                break;
            group.push_back(member);
        }
        if (static_cast<int>(group.size()) == Plan::kCombinedGroup)
            groups.insert(groups.end(), group.begin(), group.end());
    }
    return groups;
}

Status LoadPlan(SchoolPlan& plan)
{
    ReadWeek(plan.dayCount, plan.periodCount);
    QString refusal = Plan::WeekLimitRefusal(plan.dayCount, plan.periodCount);

    // 任教科目: row k fills slot k, "H" included.
    {
        TableReader reader(Schema::kSubjectsTable);
        int k = 0;
        while (reader.next()) {
            const QString name = reader.text(QStringLiteral("科目"));
            if (k < Plan::kSubjectSlots)
                plan.subjectNames[k] = name;
            else if (!TextRules::isEmpty(name) && refusal.isEmpty())
                refusal = QStringLiteral("任教科目第%1行的科目“%2”超出了24个科目的上限，不能排课！").arg(k + 1).arg(name);
            ++k;
        }
    }

    // 教师分工: up to the first row whose grade or class is "H".
    plan.teacherAssignments.clear();
    {
        TableReader reader(Schema::kAssignmentsTable);
        while (reader.next()) {
            const QString grade = reader.text(QStringLiteral("年级"));
            const QString klass = reader.text(QStringLiteral("班级"));
            if (TextRules::isEmpty(grade) || TextRules::isEmpty(klass))
                break;
            plan.teacherAssignments << grade << klass;
            for (int ordinal = 3; ordinal <= 26; ++ordinal)
                plan.teacherAssignments << reader.text(ordinal);
        }
    }
    plan.classCount = static_cast<int>(plan.teacherAssignments.size() / Plan::kAssignmentTexts);

    // 周课时计划: every row; the weekly total, then subjects 1..24.
    plan.weeklyPlan.clear();
    {
        TableReader reader(Schema::kWeeklyPlanTable);
        while (reader.next()) {
            plan.weeklyPlan.push_back(TextRules::toInt(reader.text(1)));
            for (int ordinal = 3; ordinal <= 26; ++ordinal)
                plan.weeklyPlan.push_back(TextRules::toInt(reader.text(ordinal)));
        }
    }
    if (!refusal.isEmpty())
        return Failure::refused(refusal);
    return Status::done();
}

void LoadConstraints(SchoolPlan& plan)
{
    const NameLookup classIndex = [&plan](const QString& name) { return plan.ClassIndex(name); };
    const NameLookup subjectNumber = [&plan](const QString& name) { return plan.SubjectNumber(name); };

    plan.fixedLessons = ReadFixedLessons(classIndex, subjectNumber, std::make_pair(plan.dayCount, plan.periodCount));

    // Every class, subject and day starts without restriction.
    const QString defaultZone = ZoneText::defaultZone(plan.periodCount);
    plan.subjectZones.clear();
    plan.teacherZones.clear();
    plan.subjectZones.reserve(static_cast<qsizetype>(plan.classCount) * SchoolPlan::kZoneStride);
    plan.teacherZones.reserve(static_cast<qsizetype>(plan.classCount) * SchoolPlan::kZoneStride);
    for (int c = 0; c < plan.classCount; ++c)
        for (int j = 0; j < Plan::kSubjectSlots; ++j) {
            plan.subjectZones << plan.className(c);
            plan.teacherZones << plan.className(c);
            for (int d = 0; d < SchoolPlan::kZoneGroup - 1; ++d) {
                plan.subjectZones << defaultZone;
                plan.teacherZones << defaultZone;
            }
        }
    mergeZoneRows(plan.subjectZones, readZoneRows(Schema::kSubjectZonesTable, plan.periodCount), plan.classCount,
                  defaultZone);
    mergeZoneRows(plan.teacherZones, readZoneRows(Schema::kTeacherZonesTable, plan.periodCount), plan.classCount,
                  defaultZone);

    plan.combinedClasses = ReadCombinedClasses(classIndex, subjectNumber);
    plan.rules = RulesReader::Read(plan);
}

Status Load(SchoolPlan& plan)
{
    const Status read = LoadPlan(plan);
    if (read.ok())
        LoadConstraints(plan);
    return read;
}

} // namespace PlanReader
