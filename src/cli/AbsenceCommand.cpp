#include "cli/DailyCli.h"

#include "view/daily/DailyEdit.h"
#include "view/daily/DailyIndex.h"
#include "view/daily/DailyStore.h"
#include "view/daily/DayList.h"

namespace {

const QString kUsage = QStringLiteral(
    "用法: vorlat-cli absence --teacher NAME --from DATE --to DATE [--periods 1,2,…] [--reason TEXT] [--db PATH]\n"
    "      vorlat-cli absence [--remove ID] [--db PATH]");

void listAbsences(const std::vector<Absence>& absences)
{
    if (absences.empty()) {
        printOut(QStringLiteral("没有登记的请假。"));
        return;
    }
    TextTable table;
    table.addRow({QStringLiteral("编号"), QStringLiteral("教师"), QStringLiteral("从"), QStringLiteral("到"),
                  QStringLiteral("节次"), QStringLiteral("事由")});
    for (const Absence& a : absences)
        table.addRow({QString::number(a.id), a.teacher, TermCalendar::dateText(a.from), TermCalendar::dateText(a.to),
                      absencePeriodsText(a), a.reason});
    printOut(table.render());
}

} // namespace

int runAbsence(const QStringList& args)
{
    Command command({QStringLiteral("absence"),
                     {QStringLiteral("--teacher"), QStringLiteral("--from"), QStringLiteral("--to"),
                      QStringLiteral("--periods"), QStringLiteral("--reason"), QStringLiteral("--remove")},
                     {},
                     0,
                     kUsage});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    if (line.has(QStringLiteral("--remove"))) {
        bool isNumber = false;
        const int id = line.value(QStringLiteral("--remove")).toInt(&isNumber);
        if (!isNumber || line.has(QStringLiteral("--teacher"))) {
            printErr(kUsage);
            return ExitUsage;
        }
        if (!command.openDatabase())
            return ExitStoreFailure;
        if (!DailyStore::RemoveAbsence(id))
            return report(Failure::refused(QStringLiteral("没有编号为 %1 的请假。").arg(id)));
        printOut(QStringLiteral("已删除请假 %1；已选定的代课安排仍然保留。").arg(id));
        return ExitDone;
    }
    if (!line.has(QStringLiteral("--teacher"))) {
        if (line.has(QStringLiteral("--from")) || line.has(QStringLiteral("--to")) || line.has(QStringLiteral("--periods"))
            || line.has(QStringLiteral("--reason"))) {
            printErr(QStringLiteral("缺少 --teacher。") + kUsage);
            return ExitUsage;
        }
        if (!command.openDatabase(true))
            return ExitStoreFailure;
        listAbsences(DailyStore::ReadAbsences());
        return ExitDone;
    }

    Absence absence;
    absence.teacher = line.value(QStringLiteral("--teacher")).trimmed();
    absence.from = DailyCli::dateOption(line, QStringLiteral("--from"), kUsage);
    if (!absence.from.isValid())
        return ExitUsage;
    absence.to = DailyCli::dateOption(line, QStringLiteral("--to"), kUsage);
    if (!absence.to.isValid())
        return ExitUsage;
    if (line.has(QStringLiteral("--periods")))
        for (const QString& part : line.value(QStringLiteral("--periods")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool isNumber = false;
            const int period = part.trimmed().toInt(&isNumber);
            if (!isNumber || period < 1 || period > Plan::kMaxPeriods) {
                printErr(QStringLiteral("--periods 应为 1 到 9 的节次，用逗号分开，例如 1,2。"));
                return ExitUsage;
            }
            absence.periods.push_back(period - 1);
        }
    std::sort(absence.periods.begin(), absence.periods.end());
    absence.periods.erase(std::unique(absence.periods.begin(), absence.periods.end()), absence.periods.end());
    absence.reason = line.value(QStringLiteral("--reason")).trimmed();
    if (absence.teacher.isEmpty()) {
        printErr(QStringLiteral("--teacher 不能为空。"));
        return ExitUsage;
    }

    if (!command.openDatabase())
        return ExitStoreFailure;
    DailyData data;
    int exitCode = ExitDone;
    if (!DailyCli::load(data, true, exitCode))
        return exitCode;
    const DailyIndex index(data.timetable);
    const QString refusal = absenceRefusal(absence, data, index);
    if (!refusal.isEmpty())
        return report(Failure::refused(refusal));
    absence.id = DailyStore::AddAbsence(absence);
    const std::vector<AffectedLesson> lessons = absenceLessons(data, index, absence);
    printOut(QStringLiteral("已登记请假 %1：%2，%3 至 %4，%5，涉及 %6 节课。")
                 .arg(absence.id)
                 .arg(absence.teacher, TermCalendar::dateText(absence.from), TermCalendar::dateText(absence.to),
                      absencePeriodsText(absence))
                 .arg(lessons.size()));
    for (const AffectedLesson& lesson : lessons)
        printOut(QStringLiteral("  %1  %2  %3").arg(DailyCli::when(lesson.date, lesson.period),
                                                    lesson.classes.join(QStringLiteral("、")), lesson.subject));
    return ExitDone;
}
