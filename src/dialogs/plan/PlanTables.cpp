#include "dialogs/plan/PlanTables.h"

#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"

namespace PlanTables {

Week readWeek()
{
    Week week;
    TableReader reader(Schema::kWeekTable);
    while (reader.next()) {
        week.found = true;
        week.days = TextRules::toInt(reader.text(QStringLiteral("工作天数")));
        week.periods = TextRules::toInt(reader.text(QStringLiteral("每天节次")));
    }
    return week;
}

QStringList readSubjectSlots(QString* beyond)
{
    QStringList slots;
    TableReader reader(Schema::kSubjectsTable);
    while (reader.next()) {
        const QString name = reader.text(QStringLiteral("科目"));
        if (slots.size() < kSubjects) {
            slots << name;
        } else if (!TextRules::isEmpty(name)) {
            if (beyond && beyond->isEmpty())
                *beyond = name;
        }
    }
    while (slots.size() < kSubjects)
        slots << TextRules::emptyMarker();
    return slots;
}

QStringList leadingSubjects(const QStringList& slots)
{
    QStringList names;
    for (const QString& name : slots) {
        if (TextRules::isEmpty(name))
            break;
        names << name;
    }
    return names;
}

QStringList readAssignmentRows()
{
    QStringList rows;
    TableReader reader(Schema::kAssignmentsTable);
    while (reader.next()) {
        const QString grade = reader.text(QStringLiteral("年级"));
        const QString klass = reader.text(QStringLiteral("班级"));
        if (TextRules::isEmpty(grade) || TextRules::isEmpty(klass))
            break;
        rows << grade << klass;
        for (int ordinal = 3; ordinal <= 26; ++ordinal)
            rows << reader.text(ordinal);
    }
    return rows;
}

QStringList classNames(const QStringList& rows)
{
    QStringList names;
    for (int c = 0; c < classCount(rows); ++c)
        names << rows[c * kAssignmentStride + 1];
    return names;
}

std::vector<QStringList> readListRows(const QString& table, const QString& keyColumn, int firstOrdinal,
                                      int lastOrdinal)
{
    std::vector<QStringList> rows;
    TableReader reader(table);
    while (reader.next()) {
        if (TextRules::isEmpty(reader.text(keyColumn)))
            break;
        QStringList row;
        for (int ordinal = firstOrdinal; ordinal <= lastOrdinal; ++ordinal)
            row << reader.text(ordinal);
        rows.push_back(row);
    }
    return rows;
}

QString limitsRefusal(const Week& week, const QString& subjectBeyond)
{
    if (week.days > Plan::kMaxDays)
        return QStringLiteral("周工作计划的工作天数为%1，最多只能有7天，请先在“工作计划”中修改！").arg(week.days);
    if (week.periods > Plan::kMaxPeriods)
        return QStringLiteral("周工作计划的每天节次为%1，最多只能有9节，请先在“工作计划”中修改！").arg(week.periods);
    // A week without days or periods has no cell to show; opening anyway would
    // drop every stored entry at the next save.
    if (!week.found)
        return QStringLiteral("还没有设置周工作计划，请先在“工作计划”中设置！");
    if (week.days < 1)
        return QStringLiteral("周工作计划的工作天数为%1，至少要有1天，请先在“工作计划”中修改！").arg(week.days);
    if (week.periods < 1)
        return QStringLiteral("周工作计划的每天节次为%1，至少要有1节，请先在“工作计划”中修改！").arg(week.periods);
    if (!subjectBeyond.isEmpty())
        return QStringLiteral("任教科目“%1”超出了24个科目的上限，请重新导入教师分工！").arg(subjectBeyond);
    return QString();
}

} // namespace PlanTables
