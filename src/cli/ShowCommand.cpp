#include "cli/Cli.h"

#include "base/Naming.h"
#include "base/SchoolPlan.h"
#include "store/PlanReader.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/TextRules.h"

#include <QDir>

#include <set>

namespace {

QString shownText(const QString& text)
{
    return TextRules::isEmpty(text) ? QStringLiteral("-") : text;
}

} // namespace

int runShow(const QStringList& args)
{
    const CommandLine line(args, {}, {});
    if (!line.ok() || !line.positional().isEmpty()) {
        printErr(line.ok() ? QStringLiteral("show 不接受参数 %1").arg(line.positional().first()) : line.error());
        return ExitUsage;
    }
    if (!openDatabaseForCommand(line.databasePath(), true))
        return ExitStoreFailure;

    SchoolPlan model;
    const QString refusal = PlanReader::LoadPlan(model).message();

    printOut(QStringLiteral("数据库：%1").arg(QDir::toNativeSeparators(Database::filePath())));
    printOut(QStringLiteral("周工作计划：每周 %1 天，每天 %2 节").arg(model.dayCount).arg(model.periodCount));
    if (!refusal.isEmpty())
        printOut(QStringLiteral("注意：%1").arg(refusal));

    // Subjects in use: the positions before the first "H" and any named one after it.
    std::vector<int> used;
    for (int n = 1; n <= Plan::kSubjectSlots; ++n)
        if (!TextRules::isEmpty(model.subjectNames[n - 1]) && !model.subjectNames[n - 1].isEmpty())
            used.push_back(n);
    printOut(QString());
    printOut(QStringLiteral("任教科目（%1 个）：").arg(used.size()));
    {
        TextTable table;
        table.addRow({QStringLiteral("编号"), QStringLiteral("科目")});
        for (int n : used)
            table.addRow({QString::number(n), model.subjectNames[n - 1]});
        printOut(table.render());
    }

    printOut(QString());
    printOut(QStringLiteral("班级与任课教师（%1 个班级）：").arg(model.classCount));
    {
        TextTable table;
        QStringList header{QStringLiteral("年级"), QStringLiteral("班级")};
        for (int n : used)
            header << model.subjectNames[n - 1];
        table.addRow(header);
        for (int c = 0; c < model.classCount; ++c) {
            QStringList row{model.gradeName(c), model.className(c)};
            for (int n : used)
                row << shownText(model.teacher(c, n));
            table.addRow(row);
        }
        printOut(table.render());
    }

    // Plan rows in use: a non-zero total, or a grade some class belongs to.
    std::set<int> gradeRows;
    for (int c = 0; c < model.classCount; ++c) {
        const int row = GradeIndex(model.gradeName(c));
        if (row >= 0)
            gradeRows.insert(row);
    }
    const int rows = static_cast<int>(model.weeklyPlan.size() / SchoolPlan::kPlanStride);
    for (int r = 0; r < rows; ++r)
        if (model.plan(r, 0) != 0)
            gradeRows.insert(r);
    printOut(QString());
    printOut(QStringLiteral("周课时计划（在用的年级）："));
    {
        TextTable table;
        QStringList header{QStringLiteral("年级"), QStringLiteral("周课时")};
        for (int n : used)
            header << model.subjectNames[n - 1];
        table.addRow(header);
        for (int r : gradeRows) {
            if (r >= rows)
                continue;
            QStringList row{r < Schema::gradeRowNames().size() ? Schema::gradeRowNames()[r] : QString::number(r + 1),
                            QString::number(model.plan(r, 0))};
            for (int n : used)
                row << QString::number(model.plan(r, n));
            table.addRow(row);
        }
        printOut(table.render());
    }
    // Classes whose grade the plan does not know.
    for (int c = 0; c < model.classCount; ++c)
        if (GradeIndex(model.gradeName(c)) < 0)
            printOut(QStringLiteral("注意：班级%1的年级“%2”无法识别。").arg(model.className(c), model.gradeName(c)));
    return ExitDone;
}
