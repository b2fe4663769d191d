#include "cli/DocumentCommands.h"

#include <utility>

int runDocumentCommand(const QString& name, const QStringList& args)
{
    if (name == QLatin1String("import-assignment"))
        return runImportAssignment(args);
    if (name == QLatin1String("export"))
        return runExport(args);
    if (name == QLatin1String("notice"))
        return runNotice(args);
    if (name == QLatin1String("counts"))
        return runCounts(args);
    printErr(QStringLiteral("未知命令 %1").arg(name));
    return ExitUsage;
}

int runVorlatCli(QStringList args)
{
    return runVorlatCli(std::move(args), runDocumentCommand);
}
