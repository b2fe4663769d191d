#include "excel/OdsSheetReader.h"

#include "excel/SheetCells.h"
#include "excel/SheetParser.h"
#include "excel/SheetReader.h"

#include "excel/ZipPackage.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <exception>
#include <vector>

namespace {

const QString kTableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kOfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString kTextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");

constexpr int kMaxRows = SheetCells::kMaxRows;

// One cell as read: its kind and value.
struct Cell
{
    enum class Kind { Empty, String, Number, Other } kind = Kind::Empty;
    QString text;
    double number = 0;
};

// Days since 1899-12-30, the way spreadsheets count dates.
double serialOfDate(const QString& value)
{
    QDateTime when = QDateTime::fromString(value.left(19), Qt::ISODate);
    if (!when.isValid())
        when = QDateTime(QDate::fromString(value.left(10), Qt::ISODate), QTime(0, 0));
    if (!when.isValid())
        return 0;
    const double days = static_cast<double>(QDate(1899, 12, 30).daysTo(when.date()));
    return days + when.time().msecsSinceStartOfDay() / 86400000.0;
}

// An ISO 8601 duration ("PT08H30M00S") in days.
double daysOfDuration(const QString& value)
{
    static const QRegularExpression pattern(
        QStringLiteral("^-?P(?:(\\d+(?:\\.\\d+)?)D)?(?:T(?:(\\d+(?:\\.\\d+)?)H)?(?:(\\d+(?:\\.\\d+)?)M)?(?:(\\d+(?:\\.\\d+)?)S)?)?$"));
    const QRegularExpressionMatch match = pattern.match(value);
    if (!match.hasMatch())
        return 0;
    const double days = match.captured(1).toDouble() + match.captured(2).toDouble() / 24
        + match.captured(3).toDouble() / 1440 + match.captured(4).toDouble() / 86400;
    return value.startsWith(QLatin1Char('-')) ? -days : days;
}

class ContentReader
{
public:
    ContentReader(const QByteArray& xml, int sheet) : m_xml(xml), m_sheet(sheet) {}

    bool found = false;

    // Fills rows (sheet row index → 26 cells) and the last row that holds anything.
    QString read()
    {
        bool inTable = false;
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (m_xml.namespaceUri() == kTableNs && m_xml.name() == QLatin1String("table")) {
                    if (inTable) { // a table inside the one read (rare): not read
                        m_xml.skipCurrentElement();
                        continue;
                    }
                    if (m_skipped++ < m_sheet) { // a table before the one asked for
                        m_xml.skipCurrentElement();
                        continue;
                    }
                    inTable = true;
                    found = true;
                } else if (inTable && m_xml.namespaceUri() == kTableNs && m_xml.name() == QLatin1String("table-row")) {
                    readRow();
                } else if (inTable && !isRowGroup()) {
                    m_xml.skipCurrentElement();
                }
            } else if (token == QXmlStreamReader::EndElement && inTable && m_xml.namespaceUri() == kTableNs
                       && m_xml.name() == QLatin1String("table")) {
                break; // only the table asked for
            }
        }
        if (m_xml.hasError())
            return QStringLiteral("表格内容无法解析（%1）").arg(m_xml.errorString());
        return QString();
    }

    // Rows that hold anything, each with the number of times it repeats.
    struct RowRun
    {
        int first = 0;
        int count = 1;
        std::array<Cell, SheetCells::kColumns> cells;
    };
    std::vector<RowRun> runs;
    int lastUsedRow = -1;

private:
    bool isRowGroup() const
    {
        return m_xml.namespaceUri() == kTableNs
            && (m_xml.name() == QLatin1String("table-header-rows") || m_xml.name() == QLatin1String("table-row-group")
                || m_xml.name() == QLatin1String("table-rows"));
    }

    static int repeat(const QXmlStreamAttributes& attributes, const QString& name)
    {
        bool ok = false;
        const int count = attributes.value(kTableNs, name).toInt(&ok);
        return ok && count > 0 ? count : 1;
    }

    void readRow()
    {
        const int rowRepeat = repeat(m_xml.attributes(), QStringLiteral("number-rows-repeated"));
        std::array<Cell, SheetCells::kColumns> cells;
        bool used = false;
        int column = 0;
        while (m_xml.readNextStartElement()) {
            const bool isCell = m_xml.namespaceUri() == kTableNs
                && (m_xml.name() == QLatin1String("table-cell") || m_xml.name() == QLatin1String("covered-table-cell"));
            if (!isCell) {
                m_xml.skipCurrentElement();
                continue;
            }
            const int columnRepeat = repeat(m_xml.attributes(), QStringLiteral("number-columns-repeated"));
            if (column >= SheetCells::kColumns) { // beyond Z: only whether it holds anything
                if (m_xml.attributes().hasAttribute(kOfficeNs, QStringLiteral("value-type")))
                    used = true;
                m_xml.skipCurrentElement();
                continue;
            }
            m_column = column;
            const Cell cell = readCell();
            if (cell.kind != Cell::Kind::Empty)
                used = true;
            for (int k = 0; k < columnRepeat && column + k < SheetCells::kColumns; ++k)
                cells[static_cast<size_t>(column + k)] = cell;
            column = static_cast<int>(std::min<long long>(static_cast<long long>(column) + columnRepeat, 1 << 20));
        }
        if (used && m_row < kMaxRows) {
            const int count = std::min(rowRepeat, kMaxRows - m_row);
            m_usedRows += count;
            if (m_usedRows > SheetCells::kMaxUsedRows)
                throw SheetLimitError(QStringLiteral("工作表中有内容的行超过 %1 行的上限").arg(SheetCells::kMaxUsedRows));
            runs.push_back({m_row, count, cells});
            lastUsedRow = m_row + count - 1;
        }
        m_row = static_cast<int>(std::min<long long>(static_cast<long long>(m_row) + rowRepeat, kMaxRows));
    }

    Cell readCell()
    {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        const QString type = attributes.value(kOfficeNs, QStringLiteral("value-type")).toString();
        const QString text = readCellText();
        Cell cell;
        if (type.isEmpty()) {
            if (!text.isEmpty()) {
                cell.kind = Cell::Kind::String;
                cell.text = text;
            }
        } else if (type == QLatin1String("string")) {
            cell.kind = Cell::Kind::String;
            cell.text = attributes.hasAttribute(kOfficeNs, QStringLiteral("string-value"))
                ? attributes.value(kOfficeNs, QStringLiteral("string-value")).toString()
                : text;
        } else if (type == QLatin1String("float") || type == QLatin1String("percentage")
                   || type == QLatin1String("currency")) {
            cell.kind = Cell::Kind::Number;
            cell.number = attributes.value(kOfficeNs, QStringLiteral("value")).toDouble();
        } else if (type == QLatin1String("date")) {
            cell.kind = Cell::Kind::Number;
            cell.number = serialOfDate(attributes.value(kOfficeNs, QStringLiteral("date-value")).toString());
        } else if (type == QLatin1String("time")) {
            cell.kind = Cell::Kind::Number;
            cell.number = daysOfDuration(attributes.value(kOfficeNs, QStringLiteral("time-value")).toString());
        } else {
            cell.kind = Cell::Kind::Other; // boolean and anything unknown
        }
        return cell;
    }

    // The cell's paragraphs, joined by line breaks; notes attached to the cell are left out.
    QString readCellText()
    {
        QString text;
        bool first = true;
        while (m_xml.readNextStartElement()) {
            if (m_xml.namespaceUri() == kTextNs && m_xml.name() == QLatin1String("p")) {
                if (!first)
                    text += QLatin1Char('\n');
                first = false;
                text += readInline();
                SheetCells::clipCellText(text);
            } else {
                m_xml.skipCurrentElement();
            }
        }
        return text;
    }

    // Text of the current element and everything nested in it, up to its end
    // tag. Iterative: the nesting of spans is not bounded by the file.
    QString readInline()
    {
        QString text;
        int depth = 1;
        while (depth > 0 && !m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::Characters) {
                text += m_xml.text();
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            } else if (token == QXmlStreamReader::StartElement) {
                if (m_xml.namespaceUri() == kTextNs && m_xml.name() == QLatin1String("s")) {
                    bool ok = false;
                    const int count = m_xml.attributes().value(kTextNs, QStringLiteral("c")).toInt(&ok);
                    const int spaces = ok && count > 0 ? std::min(count, SheetCells::kMaxCellChars + 1) : 1;
                    text += QString(spaces, QLatin1Char(' '));
                    m_xml.skipCurrentElement();
                } else if (m_xml.namespaceUri() == kTextNs && m_xml.name() == QLatin1String("tab")) {
                    text += QLatin1Char('\t');
                    m_xml.skipCurrentElement();
                } else if (m_xml.namespaceUri() == kTextNs && m_xml.name() == QLatin1String("line-break")) {
                    text += QLatin1Char('\n');
                    m_xml.skipCurrentElement();
                } else if (m_xml.namespaceUri() == kOfficeNs && m_xml.name() == QLatin1String("annotation")) {
                    m_xml.skipCurrentElement();
                } else {
                    ++depth; // a span, a link: its text counts
                }
            }
            SheetCells::clipCellText(text);
        }
        return text;
    }

    QXmlStreamReader m_xml;
    int m_sheet = 0;
    int m_skipped = 0;
    int m_row = 0;
    int m_column = 0;
    int m_usedRows = 0;
};

} // namespace

QString OdsSheetReader::Read(const QByteArray& content, SheetCells& cells, int sheet)
{
    QByteArray manifest;
    QByteArray xml;
    try {
        const ZipPackage zip(content);
        zip.read(QStringLiteral("META-INF/manifest.xml"), manifest);
        if (manifest.contains("encryption-data"))
            return QStringLiteral("文件受密码保护");
        if (!zip.read(QStringLiteral("content.xml"), xml))
            return QStringLiteral("文件中没有表格内容");
    } catch (const ZipPackage::Damaged& damaged) {
        return damaged.reason == QStringLiteral("文件受密码保护") ? damaged.reason
                                                                   : QStringLiteral("文件已损坏：%1").arg(damaged.reason);
    }

    ContentReader reader(xml, sheet);
    const QString error = reader.read();
    if (!error.isEmpty())
        return error;
    if (!reader.found && sheet > 0)
        return SheetParser::MissingSheetReason(sheet);
    xml.clear();
    cells.resize(reader.lastUsedRow + 1);
    for (const auto& run : reader.runs) {
        for (int row = run.first; row < run.first + run.count; ++row) {
            for (int c = 0; c < SheetCells::kColumns; ++c) {
                const Cell& cell = run.cells[static_cast<size_t>(c)];
                switch (cell.kind) {
                case Cell::Kind::Empty: break;
                case Cell::Kind::String: cells.setString(row, c, cell.text); break;
                case Cell::Kind::Number: cells.setNumber(row, c, cell.number); break;
                case Cell::Kind::Other: cells.setOther(row, c); break;
                }
            }
        }
    }
    return QString();
}
