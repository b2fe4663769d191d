#include "excel/XlsSheetReader.h"
#include "excel/SheetParser.h"

#include "excel/SheetCells.h"

#include <freexl.h>

#include <QDate>
#include <QDateTime>
#include <QFile>

#include <algorithm>

namespace {

// Day numbers of the 1900 date system (day 1 = 1900-01-01, with the
// spreadsheet's phantom 1900-02-29) or of the 1904 system (day 0 = 1904-01-01).
double serialOfDate(const QDate& date, bool system1904)
{
    if (system1904)
        return static_cast<double>(QDate(1904, 1, 1).daysTo(date));
    const qint64 days = QDate(1899, 12, 30).daysTo(date);
    return static_cast<double>(date < QDate(1900, 3, 1) ? days - 1 : days);
}

double serialOfText(const char* text, int type, bool system1904)
{
    const QString value = QString::fromUtf8(text ? text : "");
    if (type == FREEXL_CELL_TIME) {
        const QTime time = QTime::fromString(value, QStringLiteral("HH:mm:ss"));
        return time.isValid() ? time.msecsSinceStartOfDay() / 86400000.0 : 0;
    }
    const QDate date = QDate::fromString(value.left(10), QStringLiteral("yyyy-MM-dd"));
    double serial = date.isValid() ? serialOfDate(date, system1904) : 0;
    if (type == FREEXL_CELL_DATETIME && value.size() > 11) {
        const QTime time = QTime::fromString(value.mid(11, 8), QStringLiteral("HH:mm:ss"));
        if (time.isValid())
            serial += time.msecsSinceStartOfDay() / 86400000.0;
    }
    return serial;
}

QString openError(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("文件不存在");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("内存不足");
    case FREEXL_UNSUPPORTED_CHARSET:
    case FREEXL_INVALID_CHARACTER:
        return QStringLiteral("文件的字符编码无法识别");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("不是 Excel 工作簿");
    default:
        return QStringLiteral("文件已损坏，无法读出表格（错误 %1）").arg(code);
    }
}

// Closes the handle on every way out.
class Handle
{
public:
    ~Handle()
    {
        if (handle)
            freexl_close(handle);
    }
    const void* handle = nullptr;
};

} // namespace

QString XlsSheetReader::Read(const QString& path, SheetCells& cells, int sheet)
{
    Handle file;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &file.handle);
    if (opened != FREEXL_OK)
        return openError(opened);

    unsigned int info = 0;
    if (freexl_get_info(file.handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        return QStringLiteral("文件受密码保护");
    if (freexl_get_info(file.handle, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        return QStringLiteral("工作簿中没有工作表");
    if (sheet < 0 || static_cast<unsigned int>(sheet) >= info)
        return SheetParser::MissingSheetReason(sheet);
    unsigned int dateMode = FREEXL_BIFF_DATEMODE_1900;
    freexl_get_info(file.handle, FREEXL_BIFF_DATEMODE, &dateMode);
    const bool system1904 = dateMode == FREEXL_BIFF_DATEMODE_1904;

    if (freexl_select_active_worksheet(file.handle, static_cast<unsigned short>(sheet)) != FREEXL_OK)
        return QStringLiteral("第%1个工作表无法读取").arg(sheet + 1);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(file.handle, &rows, &columns) != FREEXL_OK)
        return QStringLiteral("第%1个工作表无法读取").arg(sheet + 1);
    rows = std::min(rows, 1048576u);

    cells.resize(static_cast<int>(rows));
    const unsigned short lastColumn = std::min<unsigned short>(columns, SheetCells::kColumns);
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < lastColumn; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(file.handle, r, c, &value) != FREEXL_OK) {
                cells.setOther(static_cast<int>(r), c);
                continue;
            }
            const int row = static_cast<int>(r);
            switch (value.type) {
            case FREEXL_CELL_NULL:
                break;
            case FREEXL_CELL_INT:
                cells.setNumber(row, c, value.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                cells.setNumber(row, c, value.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                cells.setString(row, c, QString::fromUtf8(value.value.text_value ? value.value.text_value : ""));
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                cells.setNumber(row, c, serialOfText(value.value.text_value, value.type, system1904));
                break;
            default:
                cells.setOther(row, c);
                break;
            }
        }
    }
    return QString();
}
