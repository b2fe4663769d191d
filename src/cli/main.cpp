#include "cli/Cli.h"

#include "store/StoreError.h"

#include <QCoreApplication>

#include <exception>
#include <new>
#include <functional>
#include <map>

static QString usage()
{
    return QStringLiteral(
        "用法: vorlat-cli <命令> [选项]\n"
        "\n"
        "命令:\n"
        "  init [--db PATH] [--demo]                     创建排课数据库（--demo 填入示例学校）\n"
        "  show [--db PATH]                              显示教学计划\n"
        "  schedule [--db PATH] [--seed N] [--json] [--save]\n"
        "                                                自动排课\n"
        "  timetable [--db PATH] [--teachers] [--json]   显示已保存的课表\n"
        "  import-assignment FILE [--db PATH]            导入教师分工表\n"
        "  export OUT.xlsx [--teachers] [--db PATH]      导出课表\n"
        "\n"
        "默认数据库为当前文件夹下的 Vorlat.db。\n"
        "退出码: 0 完成, 1 数据库或文件错误, 2 用法错误, 3 被规则拒绝。");
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlat-cli"));

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        if (args.isEmpty()) {
            printErr(usage());
            return ExitUsage;
        }
        printOut(usage());
        return ExitDone;
    }

    const std::map<QString, std::function<int(const QStringList&)>> commands{
        {QStringLiteral("init"), runInit},
        {QStringLiteral("show"), runShow},
        {QStringLiteral("schedule"), runSchedule},
        {QStringLiteral("timetable"), runTimetable},
        {QStringLiteral("import-assignment"), runImportAssignment},
        {QStringLiteral("export"), runExport},
    };
    const QString name = args.takeFirst();
    const auto it = commands.find(name);
    if (it == commands.end()) {
        printErr(QStringLiteral("未知命令 %1\n\n").arg(name) + usage());
        return ExitUsage;
    }
    try {
        return it->second(args);
    } catch (const StoreError& error) {
        return report(error.failure());
    } catch (const std::bad_alloc&) {
        return report(Failure::file(QStringLiteral("内存不足，命令“%1”已中止，没有写入任何内容。").arg(name)));
    } catch (const std::exception& error) {
        // A library's own words only after ours.
        return report(Failure::database(QStringLiteral("命令“%1”意外中止，没有写入任何内容").arg(name),
                                        QString::fromLocal8Bit(error.what())));
    }
}
