#include "engine/PlanningModel.h"

#include "base/Naming.h"
#include "engine/ZoneText.h"
#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"

#include <QHash>

int PlanningModel::SubjectNumber(const QString& name) const
{
    return Plan::SubjectNumber(subjectNames, name);
}

int PlanningModel::ClassIndex(const QString& name) const
{
    return Plan::ClassIndex(classCount, [this](int c) -> const QString& { return className(c); }, name);
}

int PlanningModel::gradeCount(int c, int s) const
{
    return plan(GradeIndex(gradeName(c)), s);
}

int PlanningModel::FindCombinedGroup(int c, int s) const
{
    const int groups = combinedGroupCount();
    for (int g = 0; g < groups; ++g) {
        if (combinedSubject(g) != s)
            continue;
        for (int k = 0; k < Plan::kCombinedMembers; ++k)
            if (combinedMember(g, k) == c)
                return g;
    }
    return -1;
}

bool PlanningModel::IsFixedLesson(int c, int d, int p, int s) const
{
    const int count = fixedLessonCount();
    for (int i = 0; i < count; ++i)
        if (fixedField(i, 0) == c && fixedField(i, 1) == d && fixedField(i, 2) == p && fixedField(i, 3) == s)
            return true;
    return false;
}

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
    const qsizetype stride = PlanningModel::kZoneStride;
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
            for (int k = 1; k < PlanningModel::kZoneGroup; ++k) {
                const QString& zone = rows[from + j * PlanningModel::kZoneGroup + k];
                zones[base + j * PlanningModel::kZoneGroup + k] = zone == ZoneText::noZoneMarker() ? defaultZone : zone;
            }
    }
}

// Database day or period number to a 0-based index, without overflow.
long long indexFromText(const QString& text)
{
    return static_cast<long long>(TextRules::toInt(text)) - 1;
}

} // namespace

void PlanningModel::LoadConstraints()
{
    // 固定科目: up to the first row without a class.
    fixedLessons.clear();
    {
        TableReader reader(Schema::kFixedTable);
        while (reader.next()) {
            const QString klass = reader.text(QStringLiteral("班级"));
            if (TextRules::isEmpty(klass))
                break;
            const int c = ClassIndex(klass);
            const long long d = indexFromText(reader.text(QStringLiteral("星期")));
            const long long p = indexFromText(reader.text(QStringLiteral("节次")));
            const int s = SubjectNumber(reader.text(QStringLiteral("科目")));
            if (c == -1 || d < 0 || d >= dayCount || p < 0 || p >= periodCount || s == -1)
                continue;
            fixedLessons.insert(fixedLessons.end(), {c, static_cast<int>(d), static_cast<int>(p), s});
        }
    }

    // Every class, subject and day starts without restriction.
    const QString defaultZone = ZoneText::defaultZone(periodCount);
    subjectZones.clear();
    teacherZones.clear();
    subjectZones.reserve(static_cast<qsizetype>(classCount) * kZoneStride);
    teacherZones.reserve(static_cast<qsizetype>(classCount) * kZoneStride);
    for (int c = 0; c < classCount; ++c)
        for (int j = 0; j < Plan::kSubjectSlots; ++j) {
            subjectZones << className(c);
            teacherZones << className(c);
            for (int d = 0; d < kZoneGroup - 1; ++d) {
                subjectZones << defaultZone;
                teacherZones << defaultZone;
            }
        }
    mergeZoneRows(subjectZones, readZoneRows(Schema::kSubjectZonesTable, periodCount), classCount, defaultZone);
    mergeZoneRows(teacherZones, readZoneRows(Schema::kTeacherZonesTable, periodCount), classCount, defaultZone);

    // 合班设置: up to the first row without a subject; a row is kept whole or not at all.
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
    combinedClasses.clear();
    for (const QStringList& row : rows) {
        const int s = SubjectNumber(row[0]);
        if (s == -1)
            continue;
        std::vector<int> group{s};
        for (int k = 1; k <= Plan::kCombinedMembers; ++k) {
            const int member = TextRules::isEmpty(row[k]) ? -1 : ClassIndex(row[k]);
            if (member == -1 && !TextRules::isEmpty(row[k]))
                break;
            group.push_back(member);
        }
        if (static_cast<int>(group.size()) == Plan::kCombinedGroup)
            combinedClasses.insert(combinedClasses.end(), group.begin(), group.end());
    }
}

void PlanningModel::BuildAllowedPeriods()
{
    allowedPeriods.clear();
    allowedPeriods.reserve(static_cast<qsizetype>(classCount) * kZoneStride);
    for (int c = 0; c < classCount; ++c)
        for (int j = 0; j < Plan::kSubjectSlots; ++j) {
            const qsizetype base = (static_cast<qsizetype>(Plan::kSubjectSlots) * c + j) * kZoneGroup;
            allowedPeriods << subjectZones[base];
            for (int d = 1; d < kZoneGroup; ++d)
                allowedPeriods << ZoneText::intersect(subjectZones[base + d], teacherZones[base + d], periodCount);
        }
}

QString PlanningModel::LoadPlan()
{
    QString refusal;

    // 周工作计划: every row is read, the last one counts.
    {
        TableReader reader(Schema::kWeekTable);
        while (reader.next()) {
            dayCount = TextRules::toInt(reader.text(QStringLiteral("工作天数")));
            periodCount = TextRules::toInt(reader.text(QStringLiteral("每天节次")));
        }
    }
    if (dayCount < 0 || dayCount > Plan::kMaxDays)
        refusal = QStringLiteral("周工作计划的工作天数为%1，应在1到7天之间，不能排课！").arg(dayCount);
    else if (periodCount < 0 || periodCount > Plan::kMaxPeriods)
        refusal = QStringLiteral("周工作计划的每天节次为%1，应在1到9节之间，不能排课！").arg(periodCount);

    // 任教科目: row k fills slot k, "H" included.
    {
        TableReader reader(Schema::kSubjectsTable);
        int k = 0;
        while (reader.next()) {
            const QString name = reader.text(QStringLiteral("科目"));
            if (k < Plan::kSubjectSlots)
                subjectNames[k] = name;
            else if (!TextRules::isEmpty(name) && refusal.isEmpty())
                refusal = QStringLiteral("任教科目第%1行的科目“%2”超出了24个科目的上限，不能排课！").arg(k + 1).arg(name);
            ++k;
        }
    }

    // 教师分工: up to the first row whose grade or class is "H".
    teacherAssignments.clear();
    {
        TableReader reader(Schema::kAssignmentsTable);
        while (reader.next()) {
            const QString grade = reader.text(QStringLiteral("年级"));
            const QString klass = reader.text(QStringLiteral("班级"));
            if (TextRules::isEmpty(grade) || TextRules::isEmpty(klass))
                break;
            teacherAssignments << grade << klass;
            for (int ordinal = 3; ordinal <= 26; ++ordinal)
                teacherAssignments << reader.text(ordinal);
        }
    }

    // 周课时计划: every row; the weekly total, then subjects 1..24.
    weeklyPlan.clear();
    {
        TableReader reader(Schema::kWeeklyPlanTable);
        while (reader.next()) {
            weeklyPlan.push_back(TextRules::toInt(reader.text(1)));
            for (int ordinal = 3; ordinal <= 26; ++ordinal)
                weeklyPlan.push_back(TextRules::toInt(reader.text(ordinal)));
        }
    }
    return refusal;
}
