#include "cli/Cli.h"

int runExport(const QStringList&)
{
    printErr(QStringLiteral("此命令尚未提供。"));
    return ExitUsage;
}
