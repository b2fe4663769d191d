#include "cli/Cli.h"
#include "store/DemoSchool.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFileInfo>

int runInit(const QStringList& args)
{
    Command command({QStringLiteral("init"), {}, {QStringLiteral("--demo")}, 0, {}});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    const QString path = line.databasePath();
    const QString shown = QDir::toNativeSeparators(path);
    try {
        const bool created = Database::open(path, Database::Opening::CreateIfMissing);
        if (!created) {
            printOut(QStringLiteral("数据库“%1”已存在，未做任何修改。").arg(shown));
            return ExitDone;
        }
        if (line.has(QStringLiteral("--demo"))) {
            try {
                DemoSchool::write();
            } catch (...) {
                // A half-filled demo is of no use: leave no file behind.
                Database::close();
                QFile::remove(QFileInfo(path).absoluteFilePath());
                throw;
            }
            printOut(QStringLiteral("已创建数据库“%1”，并填入示例学校。").arg(shown));
        } else {
            printOut(QStringLiteral("已创建数据库“%1”。").arg(shown));
        }
        return ExitDone;
    } catch (const StoreError& error) {
        return report(error.failure());
    }
}
