#include "excel/XlsxSheetReader.h"

#include "excel/SheetParser.h"

#include "excel/ColumnName.h"
#include "excel/SheetCells.h"
#include "excel/ZipPackage.h"

#include <QXmlStreamReader>

#include <vector>

namespace {

const QString kMainNs = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
const QString kStrictMainNs = QStringLiteral("http://purl.oclc.org/ooxml/spreadsheetml/main");
const QString kRelNs = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
const QString kStrictRelNs = QStringLiteral("http://purl.oclc.org/ooxml/officeDocument/relationships");

struct Failure
{
    QString reason;
};

[[noreturn]] void fail(const QString& reason)
{
    throw Failure{reason};
}

void checkXml(const QXmlStreamReader& xml, const QString& part)
{
    if (xml.hasError())
        fail(QStringLiteral("“%1”的内容无法解析（第 %2 行：%3）").arg(part).arg(xml.lineNumber()).arg(xml.errorString()));
}

bool isMain(const QXmlStreamReader& xml, const char* name)
{
    return xml.name() == QLatin1String(name) && (xml.namespaceUri() == kMainNs || xml.namespaceUri() == kStrictMainNs);
}

// "xl/workbook.xml" + "worksheets/sheet1.xml" → "xl/worksheets/sheet1.xml".
QString resolve(const QString& base, const QString& target)
{
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QStringList parts = base.split(QLatin1Char('/'));
    parts.removeLast();
    for (const QString& piece : target.split(QLatin1Char('/'))) {
        if (piece == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (piece != QLatin1String(".") && !piece.isEmpty())
            parts << piece;
    }
    return parts.join(QLatin1Char('/'));
}

// "xl/workbook.xml" → "xl/_rels/workbook.xml.rels".
QString relationshipsOf(const QString& part)
{
    const int slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

struct Relationship
{
    QString id;
    QString type;
    QString target;
};

std::vector<Relationship> readRelationships(const ZipPackage& zip, const QString& part)
{
    std::vector<Relationship> out;
    QByteArray bytes;
    const QString name = relationshipsOf(part);
    if (!zip.read(name, bytes))
        return out;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("Relationship")) {
            const QXmlStreamAttributes a = xml.attributes();
            out.push_back({a.value(QLatin1String("Id")).toString(), a.value(QLatin1String("Type")).toString(),
                           a.value(QLatin1String("Target")).toString()});
        }
    }
    checkXml(xml, name);
    return out;
}

// Text of the current <si> or <is>: its <t> runs, without the phonetic guides (<rPh>).
QString readRichText(QXmlStreamReader& xml)
{
    QString text;
    int depth = 1;
    int phonetic = 0;
    bool inText = false;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (isMain(xml, "rPh"))
                ++phonetic;
            else if (isMain(xml, "t"))
                inText = true;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            if (isMain(xml, "rPh"))
                --phonetic;
            else if (isMain(xml, "t"))
                inText = false;
            break;
        case QXmlStreamReader::Characters:
            if (inText && phonetic == 0) {
                text += xml.text();
                if (text.size() > ZipPackage::kMaxEntryBytes)
                    fail(QStringLiteral("共享文字表已损坏"));
            }
            break;
        default:
            break;
        }
    }
    return text;
}

// The shared strings, kept as one text and the end of each string, so that a
// table of many small strings costs little more than its characters.
class SharedStrings
{
public:
    void read(const ZipPackage& zip, const QString& part)
    {
        QByteArray bytes;
        if (!zip.read(part, bytes))
            return;
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && isMain(xml, "si")) {
                m_text += readRichText(xml);
                m_ends.push_back(m_text.size());
            }
        }
        checkXml(xml, part);
    }
    qsizetype size() const { return static_cast<qsizetype>(m_ends.size()); }
    QString at(qsizetype i) const
    {
        const qsizetype begin = i == 0 ? 0 : m_ends[static_cast<size_t>(i - 1)];
        return m_text.mid(begin, m_ends[static_cast<size_t>(i)] - begin);
    }

private:
    QString m_text;
    std::vector<qsizetype> m_ends;
};

// "AB12" → column 27, row 11 (both from 0); false when it is no cell address.
bool parseReference(QStringView reference, int& row, int& column)
{
    qsizetype i = 0;
    long long col = 0;
    while (i < reference.size() && reference[i] >= QLatin1Char('A') && reference[i] <= QLatin1Char('Z') && col < 1000000)
        col = col * 26 + (reference[i++].unicode() - 'A' + 1);
    long long r = 0;
    const qsizetype digits = i;
    while (i < reference.size() && reference[i].isDigit() && r <= SheetCells::kMaxRows)
        r = r * 10 + (reference[i++].unicode() - '0');
    if (col == 0 || i == digits || i != reference.size() || r < 1 || r > SheetCells::kMaxRows)
        return false;
    row = static_cast<int>(r - 1);
    column = static_cast<int>(std::min<long long>(col - 1, 1 << 20));
    return true;
}

class WorksheetReader
{
public:
    WorksheetReader(const QByteArray& bytes, const QString& part, const SharedStrings& strings, SheetCells& cells)
        : m_xml(bytes), m_part(part), m_strings(strings), m_cells(cells)
    {
    }

    void read()
    {
        m_cells.resize(SheetCells::kMaxRows);
        int lastRow = -1;
        while (!m_xml.atEnd()) {
            if (m_xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (isMain(m_xml, "row")) {
                const QStringView number = m_xml.attributes().value(QLatin1String("r"));
                bool ok = false;
                const int r = number.toInt(&ok);
                if (!number.isEmpty() && (!ok || r < 1 || r > SheetCells::kMaxRows))
                    fail(QStringLiteral("工作表中的行号“%1”无效").arg(number.toString()));
                m_row = number.isEmpty() ? m_row + 1 : r - 1;
                m_column = -1;
                if (m_row >= SheetCells::kMaxRows)
                    fail(QStringLiteral("工作表的行数超过 %1 行").arg(SheetCells::kMaxRows));
            } else if (isMain(m_xml, "c")) {
                if (readCell())
                    lastRow = std::max(lastRow, m_row);
            }
        }
        checkXml(m_xml, m_part);
        m_cells.resize(lastRow + 1);
    }

private:
    // One <c> element; true when it holds a value.
    bool readCell()
    {
        const QXmlStreamAttributes attributes = m_xml.attributes();
        const QStringView reference = attributes.value(QLatin1String("r"));
        int row = m_row;
        int column = m_column + 1;
        if (!reference.isEmpty() && !parseReference(reference, row, column))
            fail(QStringLiteral("工作表中的单元格地址“%1”无效").arg(reference.toString()));
        if (row < 0)
            row = 0;
        m_row = row;
        m_column = column;
        const QString type = attributes.value(QLatin1String("t")).toString();

        if (column >= SheetCells::kColumns) { // beyond Z: not read
            m_xml.skipCurrentElement();
            return false;
        }

        QString value;
        QString inlineText;
        bool hasValue = false;
        bool hasInline = false;
        while (m_xml.readNextStartElement()) {
            if (isMain(m_xml, "v")) {
                value = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
                hasValue = true;
            } else if (isMain(m_xml, "is")) {
                inlineText = readRichText(m_xml);
                hasInline = true;
            } else {
                m_xml.skipCurrentElement(); // <f>, <extLst>
            }
        }

        if (type == QLatin1String("inlineStr")) {
            if (!hasInline && !hasValue)
                return false;
            m_cells.setString(row, column, hasInline ? inlineText : value);
            return true;
        }
        if (!hasValue)
            return false; // a cell with a style only
        if (type == QLatin1String("s")) {
            bool ok = false;
            const qlonglong index = value.trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= m_strings.size())
                fail(QStringLiteral("单元格 %1 引用的共享文字（第 %2 条）不存在，共享文字表只有 %3 条")
                         .arg(CellName(column, row + 1), value.trimmed())
                         .arg(m_strings.size()));
            m_cells.setString(row, column, m_strings.at(index));
        } else if (type == QLatin1String("str")) {
            m_cells.setString(row, column, value);
        } else if (type.isEmpty() || type == QLatin1String("n")) {
            bool ok = false;
            const double number = value.trimmed().toDouble(&ok);
            if (ok)
                m_cells.setNumber(row, column, number);
            else
                m_cells.setOther(row, column);
        } else { // "b" truth values, "e" error values, anything else
            m_cells.setOther(row, column);
        }
        return true;
    }

    QXmlStreamReader m_xml;
    QString m_part;
    const SharedStrings& m_strings;
    SheetCells& m_cells;
    int m_row = -1;
    int m_column = -1;
};

} // namespace

QString XlsxSheetReader::Read(const QByteArray& content, SheetCells& cells, int sheet)
{
    try {
        const ZipPackage zip(content);

        // The package's relationships name the workbook.
        QString workbook = QStringLiteral("xl/workbook.xml");
        for (const Relationship& rel : readRelationships(zip, QString()))
            if (rel.type.endsWith(QLatin1String("/officeDocument"))) {
                workbook = resolve(QString(), rel.target);
                break;
            }
        QByteArray bytes;
        if (!zip.read(workbook, bytes))
            return QStringLiteral("文件中没有工作簿内容");

        // The <sheet> asked for (the first by default), by its relationship id.
        QString sheetId;
        {
            QXmlStreamReader xml(bytes);
            int seen = 0;
            while (!xml.atEnd() && sheetId.isEmpty()) {
                if (xml.readNext() == QXmlStreamReader::StartElement && isMain(xml, "sheet") && seen++ == sheet) {
                    const QXmlStreamAttributes a = xml.attributes();
                    sheetId = a.hasAttribute(kRelNs, QStringLiteral("id")) ? a.value(kRelNs, QStringLiteral("id")).toString()
                                                                            : a.value(kStrictRelNs, QStringLiteral("id")).toString();
                    if (sheetId.isEmpty())
                        sheetId = QStringLiteral("?");
                }
            }
            checkXml(xml, workbook);
        }
        if (sheetId.isEmpty())
            return sheet == 0 ? QStringLiteral("工作簿中没有工作表") : SheetParser::MissingSheetReason(sheet);

        QString sheetPart;
        QString stringsPart;
        for (const Relationship& rel : readRelationships(zip, workbook)) {
            if (rel.id == sheetId)
                sheetPart = resolve(workbook, rel.target);
            else if (rel.type.endsWith(QLatin1String("/sharedStrings")))
                stringsPart = resolve(workbook, rel.target);
        }
        if (sheetPart.isEmpty())
            return QStringLiteral("工作簿的第一个工作表找不到（关系“%1”不存在）").arg(sheetId);

        SharedStrings strings;
        if (!stringsPart.isEmpty())
            strings.read(zip, stringsPart);

        if (!zip.read(sheetPart, bytes))
            return QStringLiteral("工作簿的第一个工作表“%1”不在文件中").arg(sheetPart);
        WorksheetReader(bytes, sheetPart, strings, cells).read();
        return QString();
    } catch (const Failure& failure) {
        cells = SheetCells();
        return QStringLiteral("文件已损坏：%1").arg(failure.reason);
    } catch (const ZipPackage::Damaged& damaged) {
        cells = SheetCells();
        return damaged.reason == QStringLiteral("文件受密码保护") ? damaged.reason
                                                                   : QStringLiteral("文件已损坏：%1").arg(damaged.reason);
    }
}
