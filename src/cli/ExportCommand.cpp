#include "cli/DocumentCommands.h"

#include "excel/PageSheetsExport.h"
#include "excel/TimetableExport.h"
#include "print/PageOutput.h"
#include "print/PrintDocument.h"
#include "store/SchoolStore.h"
#include "view/PrintLayout.h"
#include "view/TeacherTable.h"
#include "view/TimetableData.h"
#include "view/TimetableStore.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <atomic>

namespace {

const QString kUsage = QStringLiteral("用法: vorlat-cli export OUT [--teachers] [--each] [--db PATH]\n"
                                      "  OUT 以 .pdf 结尾写 PDF，以 .xlsx 结尾写工作簿，文件夹（已有的，或以 / 结尾）每页写一张 PNG 图片；\n"
                                      "  --each 每个班级（与 --teachers 一起：每位教师）一页，否则写总课表（或教师总课表）。");

enum class Format { Workbook, Pdf, Pictures };

Format formatOf(const QString& out)
{
    if (out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return Format::Pdf;
    if (out.endsWith(QLatin1Char('/')) || QFileInfo(out).isDir())
        return Format::Pictures;
    return Format::Workbook; // .xlsx, .xls and any other name, as the workbook export always took them
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

int finish(const OutputResult& result, const QString& what)
{
    if (!result.status.ok())
        return report(result.status.failure());
    if (result.written.size() == 1)
        printOut(QStringLiteral("已导出%1到 %2。").arg(what, shown(result.written.first())));
    else
        printOut(QStringLiteral("已导出%1，共 %2 个文件，在 %3。")
                     .arg(what)
                     .arg(result.written.size())
                     .arg(shown(result.written.isEmpty() ? QString() : QFileInfo(result.written.first()).absolutePath())));
    return ExitDone;
}

} // namespace

bool commandPaints(const QStringList& args)
{
    if (!args.isEmpty() && args.first() == QLatin1String("notice")) // the day's notice, not a teacher's
        return !args.contains(QLatin1String("--teacher"));
    if (args.isEmpty() || args.first() != QLatin1String("export"))
        return false;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--db")) {
            ++i;
            continue;
        }
        if (!args[i].startsWith(QLatin1String("--")))
            return formatOf(args[i]) != Format::Workbook;
    }
    return false;
}

int runExport(const QStringList& args)
{
    Command command({QStringLiteral("export"), {}, {QStringLiteral("--teachers"), QStringLiteral("--each")}, 1, kUsage});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    if (line.positional().first().trimmed().isEmpty()) {
        printErr(QStringLiteral("导出的文件名不能为空。") + kUsage);
        return ExitUsage;
    }
    const QString chosen = line.positional().first();
    const Format format = formatOf(chosen);
    if (format != Format::Workbook && !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return report(Failure::file(QStringLiteral("无法绘制页面：程序没有以图形方式启动。")));
    if (!command.openDatabase(true))
        return ExitStoreFailure;

    TimetableData model;
    const Status loaded = TimetableStore::LoadSavedTimetable(model);
    if (!loaded.ok())
        return report(loaded.failure());
    if (model.classCount == 0)
        return report(Failure::refused(QStringLiteral("没有已保存的课表，无法导出。")));
    const SchoolDetails school = SchoolStore::Load();

    const bool teachers = line.has(QStringLiteral("--teachers"));
    const bool each = line.has(QStringLiteral("--each"));

    if (format == Format::Workbook && !each) {
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
            printOut(QStringLiteral("导出的文件总是 .xlsx 工作簿，文件名为 %1。").arg(shown(result.writtenPath)));
        if (teachers)
            printOut(QStringLiteral("已导出教师课表（%1 位教师）到 %2。").arg(table.teacherCount()).arg(shown(result.writtenPath)));
        else
            printOut(QStringLiteral("已导出总课表（%1 个班级）到 %2。").arg(model.classCount).arg(shown(result.writtenPath)));
        return ExitDone;
    }

    if (format == Format::Workbook) {
        const PrintDocument document = teachers ? PrintDocument::Teachers(model, school) : PrintDocument::Classes(model, school);
        const QString what = teachers ? QStringLiteral("每位教师的课表（%1 张工作表）") : QStringLiteral("每个班级的课表（%1 张工作表）");
        const OutputResult result = PageSheetsExport::Write(document.pages(), chosen);
        if (result.ok() && result.written.first() != chosen)
            printOut(QStringLiteral("导出的文件总是 .xlsx 工作簿，文件名为 %1。").arg(shown(result.written.first())));
        return finish(result, what.arg(document.pages().size()));
    }

    PrintDocument document = each ? (teachers ? PrintDocument::Teachers(model, school) : PrintDocument::Classes(model, school))
                                  : (teachers ? PrintDocument::TeacherOverview(model, school)
                                              : PrintDocument::MasterOverview(model, school));
    QString what;
    if (each)
        what = teachers ? QStringLiteral("每位教师的课表（%1 页）") : QStringLiteral("每个班级的课表（%1 页）");
    else
        what = teachers ? QStringLiteral("教师总课表（%1 页）") : QStringLiteral("总课表（%1 页）");
    if (format == Format::Pdf)
        return finish(PageOutput::WritePdf(document, chosen), what.arg(document.pageCount()));
    what = what.replace(QStringLiteral("页"), QStringLiteral("张图片"));
    return finish(PageOutput::WritePictures(document, chosen), what.arg(document.pictureCount()));
}
