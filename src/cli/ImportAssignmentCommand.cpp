#include "cli/Cli.h"

int runImportAssignment(const QStringList&)
{
    printErr(QStringLiteral("此命令尚未提供。"));
    return ExitUsage;
}
