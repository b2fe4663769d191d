#pragma once

// Workbooks written by the tests: one logical sheet, stored as .xlsx (through
// libxlsxwriter), .csv (plain text) or .ods (a content.xml zipped with the
// zip program, when it is installed).

#include <xlsxwriter.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <vector>

struct FixtureCell
{
    enum class Type { Text, Number, Truth };
    int row = 0;    // 0-based sheet row
    int column = 0; // 0-based column
    Type type = Type::Text;
    QString text;
    double number = 0;
    bool truth = false;
};

inline FixtureCell textCell(int row, int column, const QString& text)
{
    return {row, column, FixtureCell::Type::Text, text, 0, false};
}
inline FixtureCell numberCell(int row, int column, double number)
{
    return {row, column, FixtureCell::Type::Number, QString(), number, false};
}
inline FixtureCell truthCell(int row, int column, bool truth)
{
    return {row, column, FixtureCell::Type::Truth, QString(), 0, truth};
}

using FixtureSheet = std::vector<FixtureCell>;

inline void writeCells(lxw_worksheet* worksheet, const FixtureSheet& sheet);

// The sheet, then `second` as the second worksheet (by default one that the
// assignment import passes over).
inline bool writeXlsx(const QString& path, const FixtureSheet& sheet,
                      const std::function<void(lxw_worksheet*)>& extra = {}, const FixtureSheet* second = nullptr)
{
    lxw_workbook* workbook = workbook_new(QFile::encodeName(path).constData());
    if (!workbook)
        return false;
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, nullptr);
    writeCells(worksheet, sheet);
    if (extra)
        extra(worksheet);
    lxw_worksheet* other = workbook_add_worksheet(workbook, nullptr);
    if (second)
        writeCells(other, *second);
    else
        worksheet_write_string(other, 0, 0, "第二个工作表", nullptr);
    return workbook_close(workbook) == LXW_NO_ERROR;
}

inline void writeCells(lxw_worksheet* worksheet, const FixtureSheet& sheet)
{
    for (const FixtureCell& cell : sheet) {
        switch (cell.type) {
        case FixtureCell::Type::Text:
            worksheet_write_string(worksheet, cell.row, cell.column, cell.text.toUtf8().constData(), nullptr);
            break;
        case FixtureCell::Type::Number:
            worksheet_write_number(worksheet, cell.row, cell.column, cell.number, nullptr);
            break;
        case FixtureCell::Type::Truth:
            worksheet_write_boolean(worksheet, cell.row, cell.column, cell.truth, nullptr);
            break;
        }
    }
}

inline int fixtureRows(const FixtureSheet& sheet)
{
    int rows = 0;
    for (const FixtureCell& cell : sheet)
        rows = std::max(rows, cell.row + 1);
    return rows;
}

inline int fixtureColumns(const FixtureSheet& sheet)
{
    int columns = 0;
    for (const FixtureCell& cell : sheet)
        columns = std::max(columns, cell.column + 1);
    return columns;
}

// CSV text as UTF-8; truth values are written as TRUE / FALSE.
inline QByteArray csvText(const FixtureSheet& sheet)
{
    const int rows = fixtureRows(sheet);
    const int columns = fixtureColumns(sheet);
    std::vector<QStringList> table(static_cast<size_t>(rows), QStringList(columns));
    for (const FixtureCell& cell : sheet) {
        QString text;
        switch (cell.type) {
        case FixtureCell::Type::Text: text = cell.text; break;
        case FixtureCell::Type::Number: text = QString::number(cell.number, 'g', 17); break;
        case FixtureCell::Type::Truth: text = cell.truth ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); break;
        }
        if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n')))
            text = QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
        table[static_cast<size_t>(cell.row)][cell.column] = text;
    }
    QByteArray out;
    for (const QStringList& row : table)
        out += row.join(QLatin1Char(',')).toUtf8() + "\r\n";
    return out;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline bool zipAvailable()
{
    return !QStandardPaths::findExecutable(QStringLiteral("zip")).isEmpty();
}

// Packs an OpenDocument spreadsheet from the given content.xml (and manifest).
inline bool writeOdsPackage(const QString& path, const QByteArray& contentXml, const QByteArray& manifestXml = {})
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return false;
    const QByteArray manifest = manifestXml.isEmpty()
        ? QByteArrayLiteral(
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">\n"
              " <manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>\n"
              " <manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>\n"
              "</manifest:manifest>\n")
        : manifestXml;
    QDir(dir.path()).mkpath(QStringLiteral("META-INF"));
    if (!writeFile(dir.filePath(QStringLiteral("mimetype")), "application/vnd.oasis.opendocument.spreadsheet")
        || !writeFile(dir.filePath(QStringLiteral("content.xml")), contentXml)
        || !writeFile(dir.filePath(QStringLiteral("META-INF/manifest.xml")), manifest))
        return false;
    QFile::remove(path);
    auto run = [&](const QStringList& args) {
        QProcess zip;
        zip.setWorkingDirectory(dir.path());
        zip.start(QStringLiteral("zip"), args);
        return zip.waitForFinished(30000) && zip.exitStatus() == QProcess::NormalExit && zip.exitCode() == 0;
    };
    return run({QStringLiteral("-q"), QStringLiteral("-X"), QStringLiteral("-0"), path, QStringLiteral("mimetype")})
        && run({QStringLiteral("-q"), QStringLiteral("-X"), QStringLiteral("-r"), path, QStringLiteral("content.xml"),
                QStringLiteral("META-INF")});
}

inline QString xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped();
}

// content.xml of a one-table document: each row given as its cell elements.
inline QByteArray odsContent(const QStringList& rowsXml)
{
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
        " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
        " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\">"
        "<office:body><office:spreadsheet><table:table table:name=\"教师分工\">"
        "<table:table-column table:number-columns-repeated=\"1024\"/>";
    for (const QString& row : rowsXml)
        xml += "<table:table-row>" + row.toUtf8() + "</table:table-row>";
    // As office suites write it: the rest of the sheet as one repeated empty row.
    xml += "<table:table-row table:number-rows-repeated=\"1048000\">"
           "<table:table-cell table:number-columns-repeated=\"1024\"/></table:table-row>";
    xml += "</table:table><table:table table:name=\"其他\"><table:table-row><table:table-cell office:value-type=\"string\">"
           "<text:p>第二个工作表</text:p></table:table-cell></table:table-row></table:table>"
           "</office:spreadsheet></office:body></office:document-content>";
    return xml;
}

// The logical sheet as OpenDocument rows (empty runs compressed with number-columns-repeated).
inline QStringList odsRows(const FixtureSheet& sheet)
{
    const int rows = fixtureRows(sheet);
    const int columns = fixtureColumns(sheet);
    std::vector<std::vector<const FixtureCell*>> grid(static_cast<size_t>(rows),
                                                      std::vector<const FixtureCell*>(static_cast<size_t>(columns)));
    for (const FixtureCell& cell : sheet)
        grid[static_cast<size_t>(cell.row)][static_cast<size_t>(cell.column)] = &cell;
    QStringList out;
    for (const auto& row : grid) {
        QString xml;
        int empties = 0;
        auto flush = [&] {
            if (empties > 0)
                xml += QStringLiteral("<table:table-cell table:number-columns-repeated=\"%1\"/>").arg(empties);
            empties = 0;
        };
        for (const FixtureCell* cell : row) {
            if (!cell) {
                ++empties;
                continue;
            }
            flush();
            switch (cell->type) {
            case FixtureCell::Type::Text:
                xml += QStringLiteral("<table:table-cell office:value-type=\"string\"><text:p>%1</text:p></table:table-cell>")
                           .arg(xmlEscaped(cell->text));
                break;
            case FixtureCell::Type::Number:
                xml += QStringLiteral("<table:table-cell office:value-type=\"float\" office:value=\"%1\"><text:p>%1</text:p></table:table-cell>")
                           .arg(QString::number(cell->number, 'g', 17));
                break;
            case FixtureCell::Type::Truth:
                xml += QStringLiteral("<table:table-cell office:value-type=\"boolean\" office:boolean-value=\"%1\"><text:p>%2</text:p></table:table-cell>")
                           .arg(cell->truth ? QStringLiteral("true") : QStringLiteral("false"),
                                cell->truth ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
                break;
            }
        }
        out << xml;
    }
    return out;
}
