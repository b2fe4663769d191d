#include "dialogs/plan/WorkWeekLogic.h"

#include "dialogs/plan/PlanTables.h"
#include "store/Database.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

void WorkWeekLogic::load()
{
    const PlanTables::Week week = PlanTables::readWeek();
    rowFound = week.found;
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

void WorkWeekLogic::save() const
{
    const QString purpose = QStringLiteral("保存周工作计划");
    Transaction transaction(purpose);
    QSqlQuery row = Database::exec(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = 1")
                                       .arg(Schema::quoted(Schema::kWeekTable), Schema::quoted(Schema::kRowId)),
                                   {}, purpose);
    if (row.next()) {
        PlanStore::saveWeek(dayCount, periodCount);
    } else {
        Database::exec(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (1, ?, ?)")
                           .arg(Schema::quoted(Schema::kWeekTable), Schema::quoted(Schema::kRowId),
                                Schema::quoted(QStringLiteral("工作天数")), Schema::quoted(QStringLiteral("每天节次"))),
                       {TextRules::fromInt(dayCount), TextRules::fromInt(periodCount)}, purpose);
    }
    transaction.commit();
}
