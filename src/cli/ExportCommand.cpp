#include "cli/Cli.h"

#include "excel/TimetableExport.h"
#include "view/TeacherTable.h"
#include "view/TimetableData.h"
#include "view/TimetableStore.h"

#include <QDir>

#include <atomic>

int runExport(const QStringList& args)
{
    Command command({QStringLiteral("export"), {}, {QStringLiteral("--teachers")}, 1,
                     QStringLiteral("用法: vorlat-cli export OUT.xlsx [--teachers] [--db PATH]")});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    if (line.positional().first().trimmed().isEmpty()) {
        printErr(QStringLiteral("导出的文件名不能为空。用法: vorlat-cli export OUT.xlsx [--teachers] [--db PATH]"));
        return ExitUsage;
    }
    if (!command.openDatabase(true))
        return ExitStoreFailure;

    TimetableData model;
    const Status loaded = TimetableStore::LoadSavedTimetable(model);
    if (!loaded.ok())
        return report(loaded.failure());
    if (model.classCount == 0)
        return report(Failure::refused(QStringLiteral("没有已保存的课表，无法导出。")));

    const QString chosen = line.positional().first();
    const bool teachers = line.has(QStringLiteral("--teachers"));
    std::atomic<int> progressState{0};
    TimetableExport::Result result;
    TeacherTable table;
    if (teachers) {
        table.BuildTeacherTable(model);
        result = TimetableExport::ExportTeacherTable(model, table, chosen, progressState);
    } else {
        result = TimetableExport::ExportMasterTable(model, chosen, progressState);
    }
    if (!result.ok())
        return report(result.status.failure());
    if (result.writtenPath != chosen)
        printOut(QStringLiteral("导出的文件总是 .xlsx 工作簿，文件名为 %1。").arg(QDir::toNativeSeparators(result.writtenPath)));
    if (teachers)
        printOut(QStringLiteral("已导出教师课表（%1 位教师）到 %2。")
                     .arg(table.teacherCount())
                     .arg(QDir::toNativeSeparators(result.writtenPath)));
    else
        printOut(QStringLiteral("已导出总课表（%1 个班级）到 %2。")
                     .arg(model.classCount)
                     .arg(QDir::toNativeSeparators(result.writtenPath)));
    return ExitDone;
}
