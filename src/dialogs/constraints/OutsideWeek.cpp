#include "dialogs/constraints/OutsideWeek.h"

#include "base/ZoneText.h"
#include "dialogs/constraints/ZoneTable.h"
#include "dialogs/plan/PlanTables.h"
#include "store/Schema.h"
#include "store/TextRules.h"

#include <QSet>

namespace {

int zoneMarksOf(const QString& table, const QStringList& classNames, int oldDays, int oldPeriods, int newDays,
                int newPeriods)
{
    ZoneTable zones;
    zones.reset(classNames);
    zones.merge(ZoneTable::readStored(table));
    return OutsideWeek::zoneMarks(zones, oldDays, oldPeriods, newDays, newPeriods);
}

} // namespace

bool OutsideWeek::leftOut(long long day, long long period, int oldDays, int oldPeriods, int newDays, int newPeriods)
{
    const bool inOld = day >= 0 && day < oldDays && period >= 0 && period < oldPeriods;
    const bool inNew = day >= 0 && day < newDays && period >= 0 && period < newPeriods;
    return inOld && !inNew;
}

int OutsideWeek::zoneMarks(const ZoneTable& zones, int oldDays, int oldPeriods, int newDays, int newPeriods)
{
    int marks = 0;
    for (int c = 0; c < zones.classCount(); ++c)
        for (int s = 0; s < ZoneTable::kSlots; ++s)
            for (int d = 0; d < ZoneTable::kDays; ++d) {
                const QString& zone = zones.zone(c, s, d);
                if (zone == ZoneTable::noZone())
                    continue;
                // A digit written twice is one mark.
                for (int p = 0; p < 9; ++p)
                    if (ZoneText::contains(zone, p) && leftOut(d, p, oldDays, oldPeriods, newDays, newPeriods))
                        ++marks;
            }
    return marks;
}

OutsideWeek OutsideWeek::count(int oldDays, int oldPeriods, int newDays, int newPeriods)
{
    OutsideWeek outside;
    const QStringList classNames = PlanTables::classNames(PlanTables::readAssignmentRows());
    const QSet<QString> classes(classNames.begin(), classNames.end());
    const QStringList slots = PlanTables::readSubjectSlots();
    for (const QStringList& row : PlanTables::readListRows(Schema::kFixedTable, QStringLiteral("班级"), 1, 4)) {
        if (!classes.contains(row.value(0)) || TextRules::isEmpty(row.value(3)) || !slots.contains(row.value(3)))
            continue;
        const long long day = static_cast<long long>(TextRules::toInt(row.value(1))) - 1;
        const long long period = static_cast<long long>(TextRules::toInt(row.value(2))) - 1;
        if (leftOut(day, period, oldDays, oldPeriods, newDays, newPeriods))
            ++outside.fixedLessons;
    }
    outside.subjectZoneMarks =
        zoneMarksOf(Schema::kSubjectZonesTable, classNames, oldDays, oldPeriods, newDays, newPeriods);
    outside.teacherZoneMarks =
        zoneMarksOf(Schema::kTeacherZonesTable, classNames, oldDays, oldPeriods, newDays, newPeriods);
    return outside;
}

QString OutsideWeek::question(int newDays, int newPeriods) const
{
    QStringList parts;
    if (fixedLessons > 0)
        parts << QStringLiteral("固定科目 %1 条").arg(fixedLessons);
    if (subjectZoneMarks > 0)
        parts << QStringLiteral("科目排课区标记 %1 处").arg(subjectZoneMarks);
    if (teacherZoneMarks > 0)
        parts << QStringLiteral("教师排课区标记 %1 处").arg(teacherZoneMarks);
    return QStringLiteral("改为每周 %1 天、每天 %2 节后，以下设置落在一周之外：\n%3\n\n"
                          "这些设置不会删除，但在一周重新包含它们之前，排课时不起作用，"
                          "设置固定科目和排课区时也不显示。\n\n是否保存？")
        .arg(newDays)
        .arg(newPeriods)
        .arg(parts.join(QLatin1Char('\n')));
}
