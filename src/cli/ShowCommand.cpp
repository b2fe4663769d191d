#include "cli/Cli.h"

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
    return ExitDone;
}
