#include "store/Schema.h"

#include "base/Naming.h"

#include <stdexcept>

namespace Schema {

static QStringList numbered(int from, int to)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QString::number(i);
    return list;
}

static QStringList slotColumns()
{
    QStringList list;
    for (int d = 0; d < Plan::kMaxDays; ++d)
        for (int p = 0; p < Plan::kMaxPeriods; ++p)
            list << slotColumn(d, p);
    return list;
}

const std::vector<TableSpec>& tables()
{
    static const std::vector<TableSpec> specs = [] {
        const QString klass = QStringLiteral("班级");
        std::vector<TableSpec> t;
        t.push_back({kWeekTable, {QStringLiteral("工作天数"), QStringLiteral("每天节次")}});
        t.push_back({kSubjectsTable, {QStringLiteral("科目")}});
        t.push_back({kAssignmentsTable, QStringList{QStringLiteral("年级"), klass} + numbered(1, 24)});
        t.push_back({kWeeklyPlanTable, QStringList{QStringLiteral("周课时"), QStringLiteral("年级")} + numbered(1, 24)});
        t.push_back({kCombinedTable,
                     {QStringLiteral("科目"), QStringLiteral("合班1"), QStringLiteral("合班2"),
                      QStringLiteral("合班3"), QStringLiteral("合班4"), QStringLiteral("合班5")}});
        t.push_back({kFixedTable, {klass, QStringLiteral("星期"), QStringLiteral("节次"), QStringLiteral("科目")}});
        t.push_back({kSubjectZonesTable, QStringList{klass} + numbered(1, 7)});
        t.push_back({kTeacherZonesTable, QStringList{klass} + numbered(1, 7)});
        t.push_back({kTimetableTable, QStringList{klass} + slotColumns()});
        t.push_back({kTimetableTeachersTable, QStringList{klass} + slotColumns()});
        return t;
    }();
    return specs;
}

const std::vector<TableSpec>& addedTables()
{
    static const std::vector<TableSpec> specs = [] {
        const QString teacher = QStringLiteral("教师");
        const QString subject = QStringLiteral("科目");
        const QString grade = QStringLiteral("年级");
        std::vector<TableSpec> t;
        t.push_back({kSchoolTable, {QStringLiteral("学校名称"), QStringLiteral("学期"), QStringLiteral("上午节数")}});
        t.push_back({kTeacherOffTable, {teacher, QStringLiteral("星期"), QStringLiteral("节次")}});
        t.push_back({kTeacherLimitsTable,
                     {teacher, QStringLiteral("每天最多"), QStringLiteral("每周最多天数"), QStringLiteral("最多连上")}});
        t.push_back({kVenueCapsTable, {QStringLiteral("场地"), subject, grade, QStringLiteral("同时最多班数")}});
        t.push_back({kDoubleLessonsTable, {grade, QStringLiteral("班级"), subject, QStringLiteral("每周连堂数")}});
        t.push_back({kTermTable, {QStringLiteral("开学日期"), QStringLiteral("教学周数")}});
        t.push_back({kSpecialDaysTable, {QStringLiteral("日期"), QStringLiteral("类型"), QStringLiteral("按星期")}});
        t.push_back({kAbsencesTable,
                     {teacher, QStringLiteral("开始日期"), QStringLiteral("结束日期"), QStringLiteral("节次"),
                      QStringLiteral("事由")}});
        t.push_back({kCoversTable,
                     {QStringLiteral("日期"), QStringLiteral("节次"), QStringLiteral("班级"), QStringLiteral("请假教师"),
                      QStringLiteral("方式"), QStringLiteral("代课教师"), QStringLiteral("原科目"),
                      QStringLiteral("原教师"), QStringLiteral("调换日期"), QStringLiteral("调换节次"),
                      QStringLiteral("调换科目"), QStringLiteral("调换教师")}});
        return t;
    }();
    return specs;
}

const TableSpec& table(const QString& name)
{
    for (const TableSpec& spec : tables())
        if (spec.name == name)
            return spec;
    for (const TableSpec& spec : addedTables())
        if (spec.name == name)
            return spec;
    throw std::logic_error("unknown table " + name.toStdString());
}

const QStringList& gradeRowNames()
{
    return GradeRowNames();
}

QString slotColumn(int day, int period)
{
    return QString::number(10 * (day + 1) + (period + 1));
}

QString quoted(const QString& identifier)
{
    QString escaped = identifier;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace Schema
