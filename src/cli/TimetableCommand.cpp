#include "cli/Cli.h"

#include "base/Naming.h"
#include "store/TextRules.h"
#include "view/TimetableJson.h"
#include "view/TeacherTable.h"
#include "view/TimetableData.h"
#include "view/TimetableStore.h"

namespace {

QString shownText(const QString& text)
{
    return TextRules::isEmpty(text) ? QStringLiteral("-") : text;
}

QStringList periodHeader(const TimetableData& model, const QStringList& leading)
{
    QStringList header = leading;
    for (int p = 0; p < model.periodCount; ++p)
        header << PeriodName(p);
    return header;
}

// Each class: per day one line of subjects and one of teachers.
void printMasterTable(const TimetableData& model)
{
    printOut(QStringLiteral("总课表：每周 %1 天，每天 %2 节，%3 个班级")
                 .arg(model.dayCount)
                 .arg(model.periodCount)
                 .arg(model.classCount));
    if (model.classCount == 0)
        return;
    TextTable table;
    table.addRow(periodHeader(model, {QStringLiteral("班级"), QStringLiteral("星期")}));
    for (int c = 0; c < model.classCount; ++c)
        for (int d = 0; d < model.dayCount; ++d) {
            QStringList subjects{d == 0 ? model.className(c) : QString(), DayName(d)};
            QStringList teachers{QString(), QString()};
            for (int p = 0; p < model.periodCount; ++p) {
                subjects << shownText(model.subject(c, d, p));
                teachers << shownText(model.teacher(c, d, p));
            }
            table.addRow(subjects);
            table.addRow(teachers);
        }
    printOut(table.render());
}

// Each teacher: the weekly count, then per day one line of "class subject".
void printTeacherTable(const TimetableData& model)
{
    TeacherTable teachers;
    teachers.BuildTeacherTable(model);
    printOut(QStringLiteral("教师课表：每周 %1 天，每天 %2 节，%3 位教师")
                 .arg(model.dayCount)
                 .arg(model.periodCount)
                 .arg(teachers.teacherCount()));
    if (teachers.teacherCount() == 0)
        return;
    TextTable table;
    table.addRow(periodHeader(model, {QStringLiteral("教师"), QStringLiteral("周课时"), QStringLiteral("星期")}));
    for (int t = 0; t < teachers.teacherCount(); ++t)
        for (int d = 0; d < model.dayCount; ++d) {
            QStringList row;
            if (d == 0)
                row << teachers.teacherName(t) << teachers.teacherWeeklyCount(t);
            else
                row << QString() << QString();
            row << DayName(d);
            for (int p = 0; p < model.periodCount; ++p)
                row << shownText(teachers.teacherSlot(t, d, p));
            table.addRow(row);
        }
    printOut(table.render());
}

} // namespace

int runTimetable(const QStringList& args)
{
    Command command({QStringLiteral("timetable"), {}, {QStringLiteral("--teachers"), QStringLiteral("--json")}, 0, {}});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    if (line.has(QStringLiteral("--teachers")) && line.has(QStringLiteral("--json"))) {
        printErr(QStringLiteral("--teachers 与 --json 不能同时使用"));
        return ExitUsage;
    }
    if (!command.openDatabase(true))
        return ExitStoreFailure;

    TimetableData model;
    const Status loaded = TimetableStore::LoadSavedTimetable(model);
    if (!loaded.ok())
        return report(loaded.failure());

    if (line.has(QStringLiteral("--json")))
        printOut(TimetableJson::object(model));
    else if (line.has(QStringLiteral("--teachers")))
        printTeacherTable(model);
    else
        printMasterTable(model);
    return ExitDone;
}
