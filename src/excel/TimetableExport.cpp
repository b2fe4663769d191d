#include "excel/TimetableExport.h"

#include "base/Naming.h"
#include "excel/ColumnName.h"
#include "excel/ExcelProgress.h"
#include "store/TextRules.h"
#include "view/TeacherTable.h"
#include "view/TimetableData.h"

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>

#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One worksheet being written, with the looks shared by both tables.
class SheetWriter
{
public:
    static constexpr double kSideMargin = 0.4; // inches
    static constexpr double kEndMargin = 0.5;
    static constexpr double kRowPoints = 15;

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

    // Print layout: A4 landscape, scaled so that the whole width fits a page,
    // the two header lines and the name columns repeated on every page. The
    // pages down are worked out from the column widths (in characters) and
    // the rows, so that Excel and the like keep to that count.
    void printToWidth(int nameColumns, const std::vector<double>& columnWidths, int rows)
    {
        worksheet_set_paper(m_sheet, 9);
        worksheet_set_landscape(m_sheet);
        worksheet_set_margins(m_sheet, kSideMargin, kSideMargin, kEndMargin, kEndMargin);
        worksheet_center_horizontally(m_sheet);
        worksheet_repeat_rows(m_sheet, 0, 1);
        worksheet_repeat_columns(m_sheet, 0, static_cast<lxw_col_t>(nameColumns - 1));
        worksheet_set_default_row(m_sheet, kRowPoints, LXW_FALSE);
        worksheet_fit_to_pages(m_sheet, 1, static_cast<uint16_t>(PagesDown(columnWidths, rows)));
    }

    // Pages down of a sheet printed scaled to the width of A4 across.
    static int PagesDown(const std::vector<double>& columnWidths, int rows)
    {
        double widthPoints = 0;
        for (double w : columnWidths)
            widthPoints += (w * 7 + 5) * 0.75; // a character is 7 pixels of the default font, plus the padding
        const double pageWidth = (11.69 - 2 * kSideMargin) * 72;
        const double pageHeight = (8.27 - 2 * kEndMargin) * 72;
        const double scale = widthPoints > pageWidth ? pageWidth / widthPoints : 1.0;
        const int perPage = std::max(3, static_cast<int>(pageHeight / (kRowPoints * scale)));
        const int body = std::max(0, rows - 2); // the header lines repeat on each page
        return std::clamp((body + perPage - 3) / (perPage - 2), 1, 32767);
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
        const QByteArray utf8 = cellText(shown(text));
        check(worksheet_merge_range(m_sheet, static_cast<lxw_row_t>(firstRow), static_cast<lxw_col_t>(firstColumn),
                                    static_cast<lxw_row_t>(lastRow), static_cast<lxw_col_t>(lastColumn),
                                    utf8.constData(), m_header),
              firstRow, firstColumn);
    }

    // Why a text could not go into its cell (empty when every one did).
    const QString& writeError() const { return m_writeError; }

private:
    static QString shown(const QString& text) { return TextRules::isEmpty(text) ? QString() : text; }

    // The library takes C strings, which end at the first NUL: a NUL in a name
    // is written as U+FFFD so that the rest of the name is not lost.
    static QByteArray cellText(const QString& text)
    {
        QString whole = text;
        whole.replace(QChar(0), QChar(0xFFFD));
        return whole.toUtf8();
    }

    void check(lxw_error error, int row, int column)
    {
        if (error == LXW_NO_ERROR || !m_writeError.isEmpty())
            return;
        const QString cell = CellName(column, row + 1);
        m_writeError = error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED
            ? QStringLiteral("单元格 %1 的文字超过工作簿每格 32767 个字符的上限").arg(cell)
            : QStringLiteral("单元格 %1 无法写入（libxlsxwriter：%2）").arg(cell, QString::fromUtf8(lxw_strerror(error)));
    }

    void write(int row, int column, const QString& text, lxw_format* format)
    {
        if (TextRules::isEmpty(text) || text.isEmpty()) {
            worksheet_write_blank(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), format);
            return;
        }
        const QByteArray utf8 = cellText(text);
        check(worksheet_write_string(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                                     utf8.constData(), format),
              row, column);
    }

    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_header = nullptr;
    lxw_format* m_body = nullptr;
    QString m_writeError;
};

// What the library prints on standard error while it works is taken, not
// shown: it goes after our own words in the failure. Standard error belongs to
// the process, so one export at a time holds it.
class LibraryMessages
{
public:
    LibraryMessages() : m_lock(s_mutex)
    {
        std::fflush(stderr);
        m_file = memfd_create("vorlat-export-messages", MFD_CLOEXEC);
        m_saved = m_file >= 0 ? dup(STDERR_FILENO) : -1;
        if (m_saved < 0 || dup2(m_file, STDERR_FILENO) < 0) {
            closeAll();
            return;
        }
    }
    ~LibraryMessages() { take(); }

    // The messages so far, one line each; standard error is given back.
    QString take()
    {
        if (m_saved < 0)
            return m_text;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        QByteArray bytes;
        char buffer[4096];
        lseek(m_file, 0, SEEK_SET);
        for (ssize_t got; bytes.size() < 64 * 1024 && (got = read(m_file, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, got);
        closeAll();
        QStringList lines;
        for (const QByteArray& line : bytes.split('\n'))
            if (!line.trimmed().isEmpty())
                lines << QString::fromUtf8(line.trimmed());
        m_text = lines.join(QStringLiteral("；"));
        if (m_text.size() > 600)
            m_text = m_text.left(599) + QChar(0x2026);
        return m_text;
    }

private:
    void closeAll()
    {
        if (m_saved >= 0)
            close(m_saved);
        if (m_file >= 0)
            close(m_file);
        m_saved = m_file = -1;
    }

    static inline std::mutex s_mutex;
    std::lock_guard<std::mutex> m_lock;
    int m_file = -1;
    int m_saved = -1;
    QString m_text;
};

Failure writeFailure(const QString& path, const QString& reason)
{
    return Failure::file(QStringLiteral("无法写入“%1”：%2。").arg(QDir::toNativeSeparators(path), reason));
}

// Our words for what went wrong when the workbook was written out; the
// library's own follow in brackets.
QString closeError(lxw_error error, int systemError, const QString& printed)
{
    QString ours;
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
        ours = QStringLiteral("无法创建文件（文件夹不存在、没有写入权限或文件正被其他程序占用）");
        break;
    case LXW_ERROR_CREATING_TMPFILE:
        ours = QStringLiteral("无法创建临时文件");
        break;
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        ours = QStringLiteral("内存不足");
        break;
    default:
        switch (systemError) {
        case ENOSPC:
            ours = QStringLiteral("磁盘已满，工作簿没有写完");
            break;
        case EDQUOT:
            ours = QStringLiteral("超出了磁盘配额，工作簿没有写完");
            break;
        case EFBIG:
            ours = QStringLiteral("文件超过了系统允许的大小，工作簿没有写完");
            break;
        case EIO:
            ours = QStringLiteral("磁盘读写出错，工作簿没有写完");
            break;
        default:
            ours = QStringLiteral("写入工作簿时出错，工作簿没有写完");
            break;
        }
    }
    QStringList library{QString::fromUtf8(lxw_strerror(error))};
    if (systemError != 0)
        library << QString::fromLocal8Bit(std::strerror(systemError));
    if (!printed.isEmpty())
        library << printed;
    for (QString& part : library)
        while (part.endsWith(QLatin1Char('.')))
            part.chop(1);
    return QStringLiteral("%1（libxlsxwriter：%2）").arg(ours, library.join(QStringLiteral("；")));
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
    if (QFile::encodeName(target.fileName()).size() > NAME_MAX)
        return QStringLiteral("文件名超过 %1 字节的上限").arg(NAME_MAX);
    return QString();
}

// The workbook is written to ".NAME-XXXXXX.xlsx" beside the target (NAME cut
// so that the whole stays a valid file name) and renamed over it when whole.
QString partPrefix(const QFileInfo& target)
{
    constexpr int kAround = 1 + 7 + 5; // ".", "-XXXXXX", ".xlsx"
    QString name = target.completeBaseName();
    while (QFile::encodeName(name).size() > NAME_MAX - kAround) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);
    }
    return QStringLiteral(".%1-").arg(name);
}

bool isPartName(const QString& fileName, const QString& prefix)
{
    if (fileName.size() != prefix.size() + 6 + 5 || !fileName.startsWith(prefix)
        || !fileName.endsWith(QLatin1String(".xlsx")))
        return false;
    for (qsizetype i = prefix.size(); i < prefix.size() + 6; ++i) {
        const char16_t c = fileName.at(i).unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

// Part-written workbooks of earlier exports to the same name that were
// stopped before they could clean up (a killed program): every export holds a
// lock on its part file, so one that nobody holds is left over. Only regular
// files of this user that are empty or a zip package are taken away.
void removeStaleParts(const QDir& folder, const QString& prefix)
{
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!isPartName(name, prefix))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        const int fd = open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat status{};
        char head[4] = {};
        if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == getuid()
            && flock(fd, LOCK_EX | LOCK_NB) == 0
            && (status.st_size == 0 || (pread(fd, head, 4, 0) == 4 && std::memcmp(head, "PK\x03\x04", 4) == 0)))
            unlink(path.constData());
        close(fd);
    }
}

TimetableExport::Result exportWorkbook(const QString& chosenPath, std::atomic<int>& progressState, bool whole,
                                       const std::function<TimetableExport::FillEnd(lxw_workbook*)>& fill)
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
    const QString prefix = partPrefix(target);
    removeStaleParts(target.absoluteDir(), prefix);
    QTemporaryFile part(target.absoluteDir().filePath(prefix + QStringLiteral("XXXXXX.xlsx")));
    part.setAutoRemove(false);
    if (!part.open())
        return fail(QStringLiteral("无法在文件夹中创建文件（%1）").arg(part.errorString()));
    // Held until the file is renamed: a part nobody holds is a leftover.
    flock(part.handle(), LOCK_EX | LOCK_NB);
    const QString partPath = part.fileName();

    LibraryMessages printed;
    lxw_workbook* workbook = workbook_new(QFile::encodeName(partPath).constData());
    if (!workbook) {
        QFile::remove(partPath);
        const QString library = printed.take();
        return fail(library.isEmpty() ? QStringLiteral("内存不足")
                                      : QStringLiteral("内存不足（libxlsxwriter：%1）").arg(library));
    }
    const TimetableExport::FillEnd filled = fill(workbook);
    errno = 0;
    const lxw_error closed = workbook_close(workbook); // writes the file and frees the workbook
    const int systemError = errno;
    const QString library = printed.take();
    if (filled.cancelled) {
        QFile::remove(partPath);
        result.cancelled = true;
        progressState = ExcelProgress::Failed;
        return result;
    }
    if (closed != LXW_NO_ERROR) {
        QFile::remove(partPath);
        return fail(closeError(closed, systemError, library));
    }
    if (!filled.writeError.isEmpty()) {
        QFile::remove(partPath);
        return fail(filled.writeError);
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
    return exportWorkbook(chosenPath, progressState, gridsAreWhole(model), [&](lxw_workbook* workbook) {
        SheetWriter writer(workbook, "总课表");
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
            worksheet_set_column(sheet, 1, static_cast<lxw_col_t>(days * periods), 7, nullptr);
        worksheet_freeze_panes(sheet, 2, 1);
        std::vector<double> widths{12};
        widths.resize(static_cast<size_t>(1 + days * periods), 7);
        writer.printToWidth(1, widths, 2 + 2 * model.classCount);
        return TimetableExport::FillEnd{writer.writeError(), false};
    });
}

TimetableExport::Result TimetableExport::ExportTeacherTable(const TimetableData& model, const TeacherTable& table,
                                                            const QString& chosenPath,
                                                            std::atomic<int>& progressState)
{
    const bool whole = model.dayCount >= 0 && model.periodCount >= 0;
    return exportWorkbook(chosenPath, progressState, whole, [&](lxw_workbook* workbook) {
        SheetWriter writer(workbook, "教师课表");
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
        std::vector<double> widths{12, 8};
        widths.resize(static_cast<size_t>(2 + days * periods), 14);
        writer.printToWidth(2, widths, 2 + teachers);
        return TimetableExport::FillEnd{writer.writeError(), false};
    });
}

TimetableExport::Result TimetableExport::WriteWorkbook(const QString& chosenPath, std::atomic<int>& progressState,
                                                       const std::function<FillEnd(lxw_workbook*)>& fill)
{
    return exportWorkbook(chosenPath, progressState, true, fill);
}
