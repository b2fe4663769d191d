#include "cli/DailyCli.h"
#include "cli/DocumentCommands.h"

#include "view/daily/DailyIndex.h"
#include "view/daily/DailyNotice.h"

#include "print/NoticePainter.h"
#include "store/SchoolStore.h"

#include <QDir>
#include <QJsonObject>

namespace {

const QString kUsage = QStringLiteral("用法: vorlat-cli notice --date DATE OUT.pdf|OUT.png [--db PATH]\n"
                                      "      vorlat-cli notice --teacher NAME [--from DATE] [--days N] [--json] [--db PATH]");

int teacherNotice(const CommandLine& line)
{
    QDate from = QDate::currentDate();
    if (line.has(QStringLiteral("--from"))) {
        from = DailyCli::dateOption(line, QStringLiteral("--from"), kUsage);
        if (!from.isValid())
            return ExitUsage;
    }
    int days = 7;
    if (line.has(QStringLiteral("--days"))) {
        bool isNumber = false;
        days = line.value(QStringLiteral("--days")).toInt(&isNumber);
        if (!isNumber || days < 1 || days > 366) {
            printErr(QStringLiteral("--days 应为 1 到 366 之间的天数。"));
            return ExitUsage;
        }
    }
    DailyData data;
    int exitCode = ExitDone;
    if (!DailyCli::load(data, true, exitCode))
        return exitCode;
    const QString teacher = line.value(QStringLiteral("--teacher")).trimmed();
    const std::vector<TeacherChange> changes = teacherChanges(data, DailyIndex(data.timetable), teacher, from, days);
    if (line.has(QStringLiteral("--json")))
        DailyCli::printJson(QJsonObject{{QStringLiteral("teacher"), teacher},
                                        {QStringLiteral("from"), TermCalendar::dateText(from)},
                                        {QStringLiteral("days"), days},
                                        {QStringLiteral("changes"), teacherChangesJson(changes)}});
    else
        printOut(teacherChangesText(teacher, changes));
    return ExitDone;
}

int dayNotice(const CommandLine& line)
{
    const QDate date = DailyCli::dateOption(line, QStringLiteral("--date"), kUsage);
    if (!date.isValid())
        return ExitUsage;
    DailyData data;
    int exitCode = ExitDone;
    if (!DailyCli::load(data, true, exitCode))
        return exitCode;
    const DailyNotice notice = DailyNotice::build(data, DailyIndex(data.timetable), date);
    const OutputResult written = NoticePainter::Write(notice, SchoolStore::Load(), line.positional().first());
    if (!written.ok())
        return report(written.status.failure());
    printOut(QStringLiteral("已写出 %1（%2 节课）到 %3。")
                 .arg(notice.title())
                 .arg(notice.rows.size())
                 .arg(QDir::toNativeSeparators(written.written.value(0))));
    return ExitDone;
}

} // namespace

int runNotice(const QStringList& args)
{
    const QStringList values{QStringLiteral("--date"), QStringLiteral("--teacher"), QStringLiteral("--from"),
                             QStringLiteral("--days")};
    const QStringList switches{QStringLiteral("--json")};
    const bool forTeacher = CommandLine(args, values, switches).has(QStringLiteral("--teacher"));
    Command command({QStringLiteral("notice"), values, switches, forTeacher ? 0 : 1, kUsage});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    if (forTeacher == line.has(QStringLiteral("--date"))) {
        printErr(kUsage);
        return ExitUsage;
    }
    if (!command.openDatabase(true))
        return ExitStoreFailure;
    return forTeacher ? teacherNotice(line) : dayNotice(line);
}
