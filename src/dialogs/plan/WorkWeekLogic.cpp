#include "dialogs/plan/WorkWeekLogic.h"

#include "dialogs/constraints/OutsideWeek.h"
#include "dialogs/plan/PlanTables.h"
#include "store/PlanStore.h"

void WorkWeekLogic::load()
{
    const PlanTables::Week week = PlanTables::readWeek();
    rowFound = week.found;
    storedDays = week.found ? week.days : 0;
    storedPeriods = week.found ? week.periods : 0;
    if (week.found) {
        dayCount = week.days;
        periodCount = week.periods;
    } else {
        dayCount = 1;
        periodCount = 2;
    }
}

int WorkWeekLogic::dayIndex() const
{
    return dayCount >= 1 && dayCount <= kDayItems ? dayCount - 1 : -1;
}

int WorkWeekLogic::periodIndex() const
{
    return periodCount >= 2 && periodCount <= kPeriodItems + 1 ? periodCount - 2 : -1;
}

void WorkWeekLogic::setFromCombos(int dayIndex, int periodIndex)
{
    dayCount = dayIndex + 1;
    periodCount = periodIndex + 2;
}

WeekGridGeometry WorkWeekLogic::preview() const
{
    return WeekGridGeometry::fitted(dayCount, periodCount, previewArea.x(), previewArea.y(), previewArea.width(),
                                    previewArea.height());
}

QString WorkWeekLogic::outsideQuestion() const
{
    const OutsideWeek outside = OutsideWeek::count(storedDays, storedPeriods, dayCount, periodCount);
    return outside.any() ? outside.question(dayCount, periodCount) : QString();
}

void WorkWeekLogic::save() const
{
    PlanStore::saveWeek(dayCount, periodCount);
}
