#include "store/PlanStore.h"

#include "store/Database.h"
#include "store/ListRewrite.h"
#include "store/Schema.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <QSqlQuery>
#include <QVariant>

namespace PlanStore {

void saveWeek(int days, int periods)
{
    const QString purpose = QStringLiteral("保存周工作计划");
    const QStringList& columns = Schema::table(Schema::kWeekTable).columns;
    const QStringList values{TextRules::fromInt(days), TextRules::fromInt(periods)};
    Transaction tx(purpose);
    // Every reader keeps the values of the last row, so that is the row written.
    QSqlQuery last = Database::exec(QStringLiteral("SELECT MAX(%1) FROM %2")
                                        .arg(Schema::quoted(Schema::kRowId), Schema::quoted(Schema::kWeekTable)),
                                    {}, purpose);
    const QVariant lastRow = last.next() ? last.value(0) : QVariant();
    if (lastRow.isNull()) {
        Database::exec(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (1, ?, ?)")
                           .arg(Schema::quoted(Schema::kWeekTable), Schema::quoted(Schema::kRowId),
                                Schema::quoted(columns[0]), Schema::quoted(columns[1])),
                       {values[0], values[1]}, purpose);
    } else {
        updateRow(Schema::kWeekTable, columns, values, lastRow.toInt(), purpose);
    }
    tx.commit();
}

void saveSubjects(const QStringList& names)
{
    const QString purpose = QStringLiteral("保存任教科目");
    Transaction tx(purpose);
    // Row n is subject number n: a row another tool deleted must not shift the rest.
    makeRowsPositional(Schema::kSubjectsTable, Plan::kSubjectSlots, purpose);
    for (int n = 1; n <= Plan::kSubjectSlots; ++n) {
        const QString name = n - 1 < names.size() ? names[n - 1] : TextRules::emptyMarker();
        updateRow(Schema::kSubjectsTable, {QStringLiteral("科目")}, {name}, n, purpose);
    }
    tx.commit();
}

void saveAssignments(const std::vector<QStringList>& rows)
{
    rewriteList(Schema::kAssignmentsTable, rows, QStringLiteral("保存教师分工"));
}

void saveWeeklyPlanRow(int gradeRow, int total, const std::vector<int>& counts)
{
    const QString purpose = QStringLiteral("保存周课时计划");
    QStringList columns{QStringLiteral("周课时")};
    QStringList values{TextRules::fromInt(total)};
    for (int n = 1; n <= Plan::kSubjectSlots; ++n) {
        columns << QString::number(n);
        values << TextRules::fromInt(n - 1 < static_cast<int>(counts.size()) ? counts[n - 1] : 0);
    }
    Transaction tx(purpose);
    updateRow(Schema::kWeeklyPlanTable, columns, values, gradeRow + 1, purpose);
    tx.commit();
}

void saveFixedLessons(const std::vector<QStringList>& rows)
{
    rewriteList(Schema::kFixedTable, rows, QStringLiteral("保存固定科目"));
}

void saveCombinedClasses(const std::vector<QStringList>& rows)
{
    rewriteList(Schema::kCombinedTable, rows, QStringLiteral("保存合班设置"));
}

void saveSubjectZones(const std::vector<QStringList>& rows)
{
    rewriteList(Schema::kSubjectZonesTable, rows, QStringLiteral("保存科目要排节次"));
}

void saveTeacherZones(const std::vector<QStringList>& rows)
{
    rewriteList(Schema::kTeacherZonesTable, rows, QStringLiteral("保存教师要排节次"));
}

} // namespace PlanStore
