#include "cli/Cli.h"

int runTimetable(const QStringList&)
{
    printErr(QStringLiteral("此命令尚未提供。"));
    return ExitUsage;
}
