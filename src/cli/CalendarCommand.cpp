#include "cli/DailyCli.h"

#include "base/Naming.h"
#include "view/daily/DailyStore.h"

namespace {

const QString kUsage = QStringLiteral(
    "用法: vorlat-cli calendar [--start YYYY-MM-DD --weeks N] [--holiday DATE…] [--makeup DATE=WEEKDAY…] [--db PATH]");

// "--holiday A B C" is "--holiday A --holiday B --holiday C".
QStringList spreadValues(const QStringList& args)
{
    QStringList out;
    QString repeated;
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1String("--"))) {
            repeated = (arg == QLatin1String("--holiday") || arg == QLatin1String("--makeup")) ? arg : QString();
            out << arg;
            continue;
        }
        if (!repeated.isEmpty() && !out.isEmpty() && out.last() != repeated)
            out << repeated;
        out << arg;
    }
    return out;
}

void printCalendar(const TermCalendar& calendar)
{
    if (!calendar.isSet()) {
        printOut(QStringLiteral("还没有设置校历。"));
        return;
    }
    printOut(QStringLiteral("校历：%1 开学，%2 个教学周，到 %3")
                 .arg(TermCalendar::dateText(calendar.firstDay))
                 .arg(calendar.weeks)
                 .arg(TermCalendar::dateText(calendar.lastDay())));
    for (const auto& [date, day] : calendar.specialDays) {
        const QString what = day.kind == TermCalendar::SpecialDay::Kind::Holiday
            ? QStringLiteral("放假")
            : QStringLiteral("调休，上%1的课").arg(DayName(day.weekday));
        printOut(QStringLiteral("  %1 %2  %3").arg(TermCalendar::dateText(date), DayName(date.dayOfWeek() - 1), what));
    }
}

} // namespace

int runCalendar(const QStringList& args)
{
    Command command({QStringLiteral("calendar"),
                     {QStringLiteral("--start"), QStringLiteral("--weeks"), QStringLiteral("--holiday"),
                      QStringLiteral("--makeup")},
                     {},
                     0,
                     kUsage});
    if (!command.parse(spreadValues(args)))
        return ExitUsage;
    const CommandLine& line = command.line();
    const bool changes = line.has(QStringLiteral("--start")) || line.has(QStringLiteral("--weeks"))
        || line.has(QStringLiteral("--holiday")) || line.has(QStringLiteral("--makeup"));
    if (!changes) {
        if (!command.openDatabase(true))
            return ExitStoreFailure;
        printCalendar(DailyStore::ReadCalendar());
        return ExitDone;
    }

    TermCalendar calendar;
    calendar.firstDay = DailyCli::dateOption(line, QStringLiteral("--start"), kUsage);
    if (!calendar.firstDay.isValid())
        return ExitUsage;
    bool isNumber = false;
    calendar.weeks = line.value(QStringLiteral("--weeks")).toInt(&isNumber);
    if (!isNumber || calendar.weeks < 1 || calendar.weeks > 60) {
        printErr(QStringLiteral("--weeks 应为 1 到 60 之间的周数。") + kUsage);
        return ExitUsage;
    }
    for (const QString& value : line.values(QStringLiteral("--holiday"))) {
        const QDate date = TermCalendar::parseDate(value);
        if (!date.isValid()) {
            printErr(QStringLiteral("--holiday 的日期“%1”无效，应写作 YYYY-MM-DD。").arg(value));
            return ExitUsage;
        }
        calendar.specialDays[date] = {TermCalendar::SpecialDay::Kind::Holiday, 0};
    }
    for (const QString& value : line.values(QStringLiteral("--makeup"))) {
        const qsizetype eq = value.indexOf(QLatin1Char('='));
        const QDate date = TermCalendar::parseDate(value.left(eq));
        const int weekday = eq > 0 ? TermCalendar::parseWeekday(value.mid(eq + 1)) : -1;
        if (!date.isValid() || weekday < 0) {
            printErr(QStringLiteral("--makeup 的值“%1”无效，应写作 YYYY-MM-DD=星期（1 到 7 或 周一 … 周日）。").arg(value));
            return ExitUsage;
        }
        if (calendar.specialDays.count(date) != 0) {
            printErr(QStringLiteral("%1 不能既放假又调休。").arg(TermCalendar::dateText(date)));
            return ExitUsage;
        }
        calendar.specialDays[date] = {TermCalendar::SpecialDay::Kind::MakeUp, weekday};
    }
    if (!command.openDatabase())
        return ExitStoreFailure;
    DailyStore::SaveCalendar(calendar);
    printCalendar(calendar);
    return ExitDone;
}
