#include "cli/DailyCli.h"

#include "base/Naming.h"
#include "view/daily/DailyStore.h"

#include <QJsonArray>
#include <QJsonObject>

namespace DailyCli {

QDate dateOption(const CommandLine& line, const QString& option, const QString& usage)
{
    if (!line.has(option)) {
        printErr(QStringLiteral("缺少 %1。%2").arg(option, usage));
        return {};
    }
    const QDate date = TermCalendar::parseDate(line.value(option));
    if (!date.isValid())
        printErr(QStringLiteral("%1 的日期“%2”无效，应写作 YYYY-MM-DD。").arg(option, line.value(option)));
    return date;
}

bool load(DailyData& data, bool needCalendar, int& exitCode)
{
    const Status loaded = DailyStore::Load(data);
    if (!loaded.ok()) {
        exitCode = report(loaded.failure());
        return false;
    }
    if (data.timetable.classCount == 0) {
        exitCode = report(Failure::refused(QStringLiteral("没有已保存的课表：先排课并保存。")));
        return false;
    }
    if (needCalendar && !data.calendar.isSet()) {
        exitCode = report(Failure::refused(
            QStringLiteral("还没有设置校历：先用 vorlat-cli calendar --start YYYY-MM-DD --weeks N 设置。")));
        return false;
    }
    return true;
}

QString when(const QDate& date, int period)
{
    return QStringLiteral("%1 %2 %3").arg(TermCalendar::dateText(date), DayName(date.dayOfWeek() - 1), PeriodName(period));
}

void printJson(const QJsonValue& value)
{
    const QJsonDocument document = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    printOut(QString::fromUtf8(document.toJson(QJsonDocument::Compact)));
}

} // namespace DailyCli
