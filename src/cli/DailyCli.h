#pragma once

#include "cli/Cli.h"
#include "view/daily/DailyRecords.h"

#include <QDate>
#include <QJsonDocument>

// What the commands of the daily changes share.
namespace DailyCli {

// A date option written YYYY-MM-DD; prints the usage error and returns an
// invalid date when it is missing or malformed.
QDate dateOption(const CommandLine& line, const QString& option, const QString& usage);

// Reads the saved timetable and the daily records; refuses (exit code in
// `exitCode`) when there is no saved timetable or, with needCalendar, no
// term calendar yet.
bool load(DailyData& data, bool needCalendar, int& exitCode);

// "2026-03-09 星期一 第1节".
QString when(const QDate& date, int period);

void printJson(const QJsonValue& value);

} // namespace DailyCli
