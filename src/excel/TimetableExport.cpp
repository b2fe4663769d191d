#include "excel/TimetableExport.h"

#include "base/Naming.h"
#include "excel/ExcelProgress.h"
#include "store/TextRules.h"
#include "view/TeacherTable.h"
#include "view/TimetableData.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <vector>

namespace {

// One worksheet being written, with the looks shared by both tables.
class SheetWriter
{
public:
    SheetWriter(lxw_workbook* workbook, const char* name)
    {
        m_sheet = workbook_add_worksheet(workbook, name);
        m_header = workbook_add_format(workbook);
        format_set_bold(m_header);
        format_set_align(m_header, LXW_ALIGN_CENTER);
        format_set_align(m_header, LXW_ALIGN_VERTICAL_CENTER);
        format_set_border(m_header, LXW_BORDER_THIN);
        format_set_bg_color(m_header, 0xDDE6F0);
        m_body = workbook_add_format(workbook);
        format_set_align(m_body, LXW_ALIGN_CENTER);
        format_set_align(m_body, LXW_ALIGN_VERTICAL_CENTER);
        format_set_border(m_body, LXW_BORDER_THIN);
        // The period numbers and weekly counts are text on purpose.
        worksheet_ignore_errors(m_sheet, LXW_IGNORE_NUMBER_STORED_AS_TEXT, "A1:XFD1048576");
    }

    // Print layout: A4 landscape, one day per page across, the two header
    // lines and the name columns (0 .. nameColumns-1) repeated on every page.
    void printByDays(int nameColumns, int days, int periods, int scalePercent)
    {
        worksheet_set_paper(m_sheet, 9);
        worksheet_set_print_scale(m_sheet, static_cast<uint16_t>(scalePercent));
        worksheet_set_landscape(m_sheet);
        worksheet_set_margins(m_sheet, 0.4, 0.4, 0.5, 0.5);
        worksheet_center_horizontally(m_sheet);
        worksheet_repeat_rows(m_sheet, 0, 1);
        worksheet_repeat_columns(m_sheet, 0, static_cast<lxw_col_t>(nameColumns - 1));
        m_dayBreaks.clear();
        for (int d = 1; d < days && periods > 0; ++d)
            m_dayBreaks.push_back(static_cast<lxw_col_t>(nameColumns + d * periods));
        if (!m_dayBreaks.empty()) {
            m_dayBreaks.push_back(0); // the list ends with 0
            worksheet_set_v_pagebreaks(m_sheet, m_dayBreaks.data());
        }
    }

    lxw_worksheet* sheet() const { return m_sheet; }

    // row and column counted from 0; "H" leaves the cell empty (framed, no value).
    void header(int row, int column, const QString& text) { write(row, column, text, m_header); }
    void body(int row, int column, const QString& text) { write(row, column, text, m_body); }

    // A merged block holding one text (a single cell is written as it is).
    void mergedHeader(int firstRow, int firstColumn, int lastRow, int lastColumn, const QString& text)
    {
        if (firstRow == lastRow && firstColumn == lastColumn) {
            header(firstRow, firstColumn, text);
            return;
        }
        const QByteArray utf8 = shown(text).toUtf8();
        worksheet_merge_range(m_sheet, static_cast<lxw_row_t>(firstRow), static_cast<lxw_col_t>(firstColumn),
                              static_cast<lxw_row_t>(lastRow), static_cast<lxw_col_t>(lastColumn), utf8.constData(),
                              m_header);
    }

private:
    static QString shown(const QString& text) { return TextRules::isEmpty(text) ? QString() : text; }

    void write(int row, int column, const QString& text, lxw_format* format)
    {
        if (TextRules::isEmpty(text) || text.isEmpty()) {
            worksheet_write_blank(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), format);
            return;
        }
        const QByteArray utf8 = text.toUtf8();
        worksheet_write_string(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), utf8.constData(),
                               format);
    }

    lxw_worksheet* m_sheet = nullptr;
    std::vector<lxw_col_t> m_dayBreaks; // kept alive until the workbook is written
    lxw_format* m_header = nullptr;
    lxw_format* m_body = nullptr;
};

Failure writeFailure(const QString& path, const QString& reason)
{
    return Failure::file(QStringLiteral("无法写入“%1”：%2。").arg(QDir::toNativeSeparators(path), reason));
}

QString closeError(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("无法创建文件（文件夹不存在、没有写入权限或文件正被其他程序占用）");
    case LXW_ERROR_CREATING_TMPFILE:
        return QStringLiteral("无法创建临时文件");
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("内存不足");
    default:
        return QString::fromUtf8(lxw_strerror(error));
    }
}

// The grids must have the shape their counts promise before anything is read.
bool gridsAreWhole(const TimetableData& model)
{
    if (model.classCount < 0 || model.dayCount < 0 || model.periodCount < 0)
        return false;
    const qsizetype needed = static_cast<qsizetype>(model.classCount) * model.classStride();
    return model.subjectGrid.size() >= needed && model.teacherGrid.size() >= needed;
}

// Why the workbook cannot be written where the user asked, before anything is
// written; an empty text when nothing stands in the way.
QString targetProblem(const QString& chosenPath, const QString& writtenPath)
{
    if (QFileInfo(chosenPath).isDir() || QFileInfo(writtenPath).isDir())
        return QStringLiteral("这是一个文件夹，不是文件，请给出文件名");
    const QFileInfo target(writtenPath);
    const QString folder = target.absolutePath();
    const QFileInfo folderInfo(folder);
    if (!folderInfo.exists())
        return QStringLiteral("文件夹“%1”不存在").arg(QDir::toNativeSeparators(folder));
    if (!folderInfo.isDir())
        return QStringLiteral("“%1”不是文件夹").arg(QDir::toNativeSeparators(folder));
    if (!folderInfo.isWritable())
        return QStringLiteral("没有在文件夹“%1”中写入的权限").arg(QDir::toNativeSeparators(folder));
    if (target.exists() && !target.isWritable())
        return QStringLiteral("已有的文件是只读的，无法替换");
    return QString();
}

template <typename Fill>
TimetableExport::Result exportWorkbook(const QString& chosenPath, const char* sheetName,
                                       std::atomic<int>& progressState, bool whole, Fill fill)
{
    progressState = ExcelProgress::Running;
    TimetableExport::Result result;
    auto fail = [&](const QString& reason) {
        result.status = writeFailure(result.writtenPath, reason);
        progressState = ExcelProgress::Failed;
        return result;
    };
    if (QFileInfo(chosenPath).fileName().trimmed().isEmpty() && !QFileInfo(chosenPath).isDir()) {
        result.status = Failure::refused(QStringLiteral("没有给出导出的文件名。"));
        progressState = ExcelProgress::Failed;
        return result;
    }
    result.writtenPath = TimetableExport::OutputPath(chosenPath);
    if (!whole)
        return fail(QStringLiteral("课表数据不完整"));
    // The usual faults are caught here, before the library reports them on its own.
    const QString problem = targetProblem(chosenPath, result.writtenPath);
    if (!problem.isEmpty())
        return fail(problem);

    // The workbook goes to a new file beside the target and replaces it only
    // once it is whole: a failure leaves the old file (or none) as it was.
    const QFileInfo target(result.writtenPath);
    QString partPath;
    {
        QTemporaryFile part(target.absoluteDir().filePath(QStringLiteral(".%1-XXXXXX.xlsx").arg(target.completeBaseName())));
        part.setAutoRemove(false);
        if (!part.open())
            return fail(QStringLiteral("无法在文件夹中创建文件（%1）").arg(part.errorString()));
        partPath = part.fileName();
    }
    lxw_workbook* workbook = workbook_new(QFile::encodeName(partPath).constData());
    if (!workbook) {
        QFile::remove(partPath);
        return fail(QStringLiteral("内存不足"));
    }
    SheetWriter writer(workbook, sheetName);
    fill(writer);
    const lxw_error closed = workbook_close(workbook); // writes the file and frees the workbook
    if (closed != LXW_NO_ERROR) {
        QFile::remove(partPath);
        return fail(closeError(closed));
    }
    QFile::setPermissions(partPath, target.exists() ? target.permissions()
                                                    : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                          | QFileDevice::ReadUser | QFileDevice::WriteUser
                                                          | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(partPath).constData(), QFile::encodeName(result.writtenPath).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(partPath);
        return fail(QStringLiteral("无法替换文件（%1）").arg(why));
    }
    progressState = ExcelProgress::Finished;
    return result;
}

} // namespace

QString TimetableExport::OutputPath(const QString& chosenPath)
{
    if (chosenPath.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return chosenPath;
    if (chosenPath.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive))
        return chosenPath.left(chosenPath.size() - 4) + QStringLiteral(".xlsx");
    return chosenPath + QStringLiteral(".xlsx");
}

TimetableExport::Result TimetableExport::ExportMasterTable(const TimetableData& model, const QString& chosenPath,
                                                           std::atomic<int>& progressState)
{
    return exportWorkbook(chosenPath, "总课表", progressState, gridsAreWhole(model), [&](SheetWriter& writer) {
        const int days = model.dayCount;
        const int periods = model.periodCount;
        writer.header(0, 0, QStringLiteral("星期"));
        writer.header(1, 0, QStringLiteral("节次"));
        for (int d = 0; d < days; ++d)
            writer.mergedHeader(0, d * periods + 1, 0, (d + 1) * periods, DayName(d));
        for (int k = 0; k < model.classCount; ++k)
            writer.mergedHeader(2 + 2 * k, 0, 3 + 2 * k, 0, model.className(k));
        for (int d = 0; d < days; ++d)
            for (int p = 0; p < periods; ++p)
                writer.header(1, d * periods + p + 1, QString::number(p + 1));
        for (int k = 0; k < model.classCount; ++k) {
            for (int d = 0; d < days; ++d)
                for (int p = 0; p < periods; ++p)
                    writer.body(2 + 2 * k, d * periods + p + 1, model.subject(k, d, p));
            for (int d = 0; d < days; ++d)
                for (int p = 0; p < periods; ++p)
                    writer.body(3 + 2 * k, d * periods + p + 1, model.teacher(k, d, p));
        }

        lxw_worksheet* sheet = writer.sheet();
        worksheet_set_column(sheet, 0, 0, 12, nullptr);
        if (days * periods > 0)
            worksheet_set_column(sheet, 1, static_cast<lxw_col_t>(days * periods), 8, nullptr);
        worksheet_freeze_panes(sheet, 2, 1);
        writer.printByDays(1, days, periods, 100);
    });
}

TimetableExport::Result TimetableExport::ExportTeacherTable(const TimetableData& model, const TeacherTable& table,
                                                            const QString& chosenPath,
                                                            std::atomic<int>& progressState)
{
    const bool whole = model.dayCount >= 0 && model.periodCount >= 0;
    return exportWorkbook(chosenPath, "教师课表", progressState, whole, [&](SheetWriter& writer) {
        const int days = model.dayCount;
        const int periods = model.periodCount;
        writer.mergedHeader(0, 0, 0, 1, QStringLiteral("星期"));
        writer.header(1, 0, QStringLiteral("教师"));
        writer.header(1, 1, QStringLiteral("周课时"));
        for (int d = 0; d < days; ++d)
            writer.mergedHeader(0, d * periods + 2, 0, (d + 1) * periods + 1, DayName(d));
        for (int d = 0; d < days; ++d)
            for (int p = 0; p < periods; ++p)
                writer.header(1, d * periods + p + 2, QString::number(p + 1));
        const int teachers = table.teacherCount();
        for (int t = 0; t < teachers; ++t) {
            writer.header(2 + t, 0, table.teacherName(t));
            writer.body(2 + t, 1, table.teacherWeeklyCount(t));
            for (int d = 0; d < days; ++d)
                for (int p = 0; p < periods; ++p)
                    writer.body(2 + t, d * periods + p + 2, table.teacherSlot(t, d, p));
        }

        lxw_worksheet* sheet = writer.sheet();
        worksheet_set_column(sheet, 0, 0, 12, nullptr);
        worksheet_set_column(sheet, 1, 1, 8, nullptr);
        if (days * periods > 0)
            worksheet_set_column(sheet, 2, static_cast<lxw_col_t>(days * periods + 1), 14, nullptr);
        worksheet_freeze_panes(sheet, 2, 2);
        writer.printByDays(2, days, periods, 70);
    });
}
