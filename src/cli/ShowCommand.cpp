#include "cli/Cli.h"

#include "base/Naming.h"
#include "base/PlanViews.h"
#include "base/SchoolPlan.h"
#include "store/PlanReader.h"
#include "store/Database.h"
#include "store/TextRules.h"

#include <QDir>

namespace {

QString shownText(const QString& text)
{
    return TextRules::isEmpty(text) ? QStringLiteral("-") : text;
}

} // namespace

namespace {

// The scheduling rules, one table per kind that has any, then the rows that
// could not be used.
void showRules(const SchoolRules& rules, int periods)
{
    printOut(QString());
    if (rules.isEmpty() && rules.skipped.isEmpty()) {
        printOut(QStringLiteral("排课规则：无"));
        return;
    }
    printOut(QStringLiteral("排课规则（上午 %1 节）：").arg(rules.morningPeriods));
    const auto limit = [](int n) { return n > 0 ? QString::number(n) : QStringLiteral("-"); };
    if (!rules.teacherOff.empty()) {
        TextTable table;
        table.addRow({QStringLiteral("教师不排课"), QStringLiteral("星期"), QStringLiteral("节次")});
        for (const SchoolRules::TeacherOff& off : rules.teacherOff) {
            QString when = QStringLiteral("第%1-%2节").arg(off.firstPeriod + 1).arg(off.lastPeriod + 1);
            if (off.firstPeriod == 0 && off.lastPeriod == periods - 1)
                when = QStringLiteral("全天");
            else if (off.firstPeriod == off.lastPeriod)
                when = PeriodName(off.firstPeriod);
            else if (off.firstPeriod == 0 && off.lastPeriod == rules.morningPeriods - 1)
                when = QStringLiteral("上午");
            else if (off.firstPeriod == rules.morningPeriods && off.lastPeriod == periods - 1)
                when = QStringLiteral("下午");
            table.addRow({off.teacher, DayName(off.day), when});
        }
        printOut(table.render());
    }
    if (!rules.teacherLimits.empty()) {
        TextTable table;
        table.addRow({QStringLiteral("教师课时限制"), QStringLiteral("每天最多"), QStringLiteral("每周最多天数"),
                      QStringLiteral("最多连上")});
        for (const SchoolRules::TeacherLimit& l : rules.teacherLimits)
            table.addRow({l.teacher, limit(l.perDay), limit(l.daysPerWeek), limit(l.inARow)});
        printOut(table.render());
    }
    if (!rules.venueCaps.empty()) {
        TextTable table;
        table.addRow({QStringLiteral("场地限制"), QStringLiteral("科目"), QStringLiteral("年级"), QStringLiteral("同时最多班数")});
        for (const SchoolRules::VenueCap& v : rules.venueCaps)
            table.addRow({v.venue, v.subjects.join(QStringLiteral("、")), v.grade.isEmpty() ? QStringLiteral("全校") : v.grade,
                          QString::number(v.cap)});
        printOut(table.render());
    }
    if (!rules.doubleLessons.empty()) {
        TextTable table;
        table.addRow({QStringLiteral("连堂设置"), QStringLiteral("班级"), QStringLiteral("科目"), QStringLiteral("每周连堂数")});
        for (const SchoolRules::DoubleLesson& d : rules.doubleLessons)
            table.addRow({d.grade, d.className.isEmpty() ? QStringLiteral("全部") : d.className, d.subject,
                          d.perWeek == 0 ? QStringLiteral("0（不连堂）") : QString::number(d.perWeek)});
        printOut(table.render());
    }
    for (const QString& note : rules.skipped)
        printOut(QStringLiteral("注意：%1").arg(note));
}

} // namespace

int runShow(const QStringList& args)
{
    Command command({QStringLiteral("show"), {}, {}, 0, {}});
    if (!command.parse(args))
        return ExitUsage;
    if (!command.openDatabase(true))
        return ExitStoreFailure;

    SchoolPlan model;
    const QString refusal = PlanReader::LoadPlan(model).message();

    printOut(QStringLiteral("数据库：%1").arg(QDir::toNativeSeparators(Database::filePath())));
    printOut(QStringLiteral("周工作计划：每周 %1 天，每天 %2 节").arg(model.dayCount).arg(model.periodCount));
    if (!refusal.isEmpty())
        printOut(QStringLiteral("注意：%1").arg(refusal));

    const std::vector<PlanViews::Subject> used = PlanViews::SubjectsInUse(model);
    printOut(QString());
    printOut(QStringLiteral("任教科目（%1 个）：").arg(used.size()));
    {
        TextTable table;
        table.addRow({QStringLiteral("编号"), QStringLiteral("科目")});
        for (const PlanViews::Subject& subject : used)
            table.addRow({QString::number(subject.number), subject.name});
        printOut(table.render());
    }

    const std::vector<PlanViews::AssignmentRow> assignment = PlanViews::Assignment(model);
    printOut(QString());
    printOut(QStringLiteral("班级与任课教师（%1 个班级）：").arg(assignment.size()));
    {
        TextTable table;
        QStringList header{QStringLiteral("年级"), QStringLiteral("班级")};
        for (const PlanViews::Subject& subject : used)
            header << subject.name;
        table.addRow(header);
        for (const PlanViews::AssignmentRow& klass : assignment) {
            QStringList row{klass.grade, klass.className};
            for (const PlanViews::Subject& subject : used)
                row << shownText(klass.teachers[subject.number - 1]);
            table.addRow(row);
        }
        printOut(table.render());
    }

    printOut(QString());
    printOut(QStringLiteral("周课时计划（在用的年级）："));
    {
        TextTable table;
        QStringList header{QStringLiteral("年级"), QStringLiteral("周课时")};
        for (const PlanViews::Subject& subject : used)
            header << subject.name;
        table.addRow(header);
        for (const PlanViews::WeeklyPlanRow& grade : PlanViews::WeeklyPlanInUse(model)) {
            QStringList row{grade.gradeName, QString::number(grade.total)};
            for (const PlanViews::Subject& subject : used)
                row << QString::number(grade.counts[static_cast<size_t>(subject.number - 1)]);
            table.addRow(row);
        }
        printOut(table.render());
    }
    // Classes whose grade the plan does not know.
    for (const PlanViews::AssignmentRow& klass : assignment)
        if (klass.unknownGrade)
            printOut(QStringLiteral("注意：班级%1的年级“%2”无法识别。").arg(klass.className, klass.grade));

    if (refusal.isEmpty()) {
        PlanReader::LoadConstraints(model);
        showRules(model.rules, model.periodCount);
    }
    return ExitDone;
}
