#include "cli/DailyCli.h"
#include "cli/DocumentCommands.h"

#include "excel/CoverCountsExport.h"
#include "view/daily/CoverCounts.h"
#include "view/daily/DailyIndex.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include <atomic>

namespace {

const QString kUsage = QStringLiteral("用法: vorlat-cli counts --month YYYY-MM [OUT.xlsx] [--json] [--db PATH]");

} // namespace

int runCounts(const QStringList& args)
{
    Command command({QStringLiteral("counts"), {QStringLiteral("--month")}, {QStringLiteral("--json")}, 0, kUsage});
    QStringList options;
    QStringList outputs;
    for (qsizetype i = 0; i < args.size(); ++i) { // OUT.xlsx is optional
        if (!args[i].startsWith(QLatin1String("--")) && (i == 0 || args[i - 1] != QLatin1String("--month"))
            && (i == 0 || args[i - 1] != QLatin1String("--db")))
            outputs << args[i];
        else
            options << args[i];
    }
    if (outputs.size() > 1) {
        printErr(kUsage);
        return ExitUsage;
    }
    if (!command.parse(options))
        return ExitUsage;
    const CommandLine& line = command.line();
    static const QRegularExpression shape(QStringLiteral("^(\\d{4})-(\\d{2})$"));
    const QRegularExpressionMatch month = shape.match(line.value(QStringLiteral("--month")).trimmed());
    const int year = month.hasMatch() ? month.captured(1).toInt() : 0;
    const int monthNumber = month.hasMatch() ? month.captured(2).toInt() : 0;
    if (!month.hasMatch() || monthNumber < 1 || monthNumber > 12) {
        printErr(QStringLiteral("--month 应写作 YYYY-MM。") + kUsage);
        return ExitUsage;
    }
    if (!outputs.isEmpty() && outputs.first().trimmed().isEmpty()) {
        printErr(QStringLiteral("导出的文件名不能为空。") + kUsage);
        return ExitUsage;
    }
    if (!command.openDatabase(true))
        return ExitStoreFailure;
    DailyData data;
    int exitCode = ExitDone;
    if (!DailyCli::load(data, false, exitCode))
        return exitCode;
    const CoverCounts counts = CoverCounts::count(data, DailyIndex(data.timetable), year, monthNumber);

    if (!outputs.isEmpty()) {
        std::atomic<int> progress{0};
        const TimetableExport::Result result = CoverCountsExport::Write(counts, outputs.first(), progress);
        if (!result.ok())
            return report(result.status.failure());
        if (!line.has(QStringLiteral("--json")))
            printOut(QStringLiteral("已导出 %1 年 %2 月的代课统计（%3 位教师）到 %4。")
                         .arg(year)
                         .arg(monthNumber)
                         .arg(counts.rows.size())
                         .arg(QDir::toNativeSeparators(result.writtenPath)));
    }
    if (line.has(QStringLiteral("--json"))) {
        QJsonArray rows;
        for (const CoverCountRow& row : counts.rows)
            rows.append(QJsonObject{{QStringLiteral("teacher"), row.teacher},
                                    {QStringLiteral("covered"), row.covered},
                                    {QStringLiteral("missed"), row.missed},
                                    {QStringLiteral("swapped"), row.swapped}});
        DailyCli::printJson(QJsonObject{{QStringLiteral("month"), line.value(QStringLiteral("--month")).trimmed()},
                                        {QStringLiteral("teachers"), rows}});
    } else if (outputs.isEmpty()) {
        TextTable table;
        table.addRow({QStringLiteral("教师"), QStringLiteral("代课"), QStringLiteral("缺课"), QStringLiteral("调课")});
        for (const CoverCountRow& row : counts.rows)
            table.addRow({row.teacher, QString::number(row.covered), QString::number(row.missed),
                          QString::number(row.swapped)});
        printOut(QStringLiteral("%1 年 %2 月").arg(year).arg(monthNumber));
        printOut(table.render());
    }
    return ExitDone;
}
