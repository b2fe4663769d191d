#pragma once

// Zip packages built in memory, entry by entry, so that a test can make the
// archive say what it likes: an entry that claims another size than it has,
// a deflated run of bytes far bigger than the archive.

#include <QByteArray>
#include <QString>

#include <zlib.h>

#include <vector>

namespace ZipFixture {

struct Entry
{
    QString name;
    QByteArray data;
    bool deflate = true;
    qint64 claimedSize = -1; // the uncompressed size written into the headers; -1: the real one
};

inline void put16(QByteArray& out, quint32 value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

inline void put32(QByteArray& out, quint32 value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

inline QByteArray rawDeflate(const QByteArray& data)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.truncate(static_cast<qsizetype>(stream.total_out));
    deflateEnd(&stream);
    return out;
}

inline QByteArray archive(const std::vector<Entry>& entries)
{
    QByteArray out;
    QByteArray directory;
    for (const Entry& entry : entries) {
        const QByteArray name = entry.name.toUtf8();
        const QByteArray stored = entry.deflate ? rawDeflate(entry.data) : entry.data;
        const quint32 crc = static_cast<quint32>(
            crc32(0, reinterpret_cast<const Bytef*>(entry.data.constData()), static_cast<uInt>(entry.data.size())));
        const quint32 size = static_cast<quint32>(entry.claimedSize >= 0 ? entry.claimedSize : entry.data.size());
        const quint32 offset = static_cast<quint32>(out.size());
        auto common = [&](QByteArray& header) {
            put16(header, 20);                     // version needed
            put16(header, 0);                      // flags
            put16(header, entry.deflate ? 8 : 0);  // method
            put32(header, 0);                      // time, date
            put32(header, crc);
            put32(header, static_cast<quint32>(stored.size()));
            put32(header, size);
            put16(header, static_cast<quint32>(name.size()));
            put16(header, 0); // extra
        };
        put32(out, 0x04034b50);
        common(out);
        out += name + stored;

        put32(directory, 0x02014b50);
        put16(directory, 20); // version made by
        common(directory);
        put16(directory, 0); // comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, offset);
        directory += name;
    }
    const quint32 directoryOffset = static_cast<quint32>(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<quint32>(entries.size()));
    put16(out, static_cast<quint32>(entries.size()));
    put32(out, static_cast<quint32>(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}

// An .xlsx package around one worksheet and an optional shared-string table.
inline QByteArray xlsx(const QByteArray& sheetXml, const QByteArray& sharedStringsXml = {},
                       qint64 claimedSheetSize = -1)
{
    const QByteArray types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
    const QByteArray rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
        "</Relationships>";
    const QByteArray workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
        " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets><sheet name=\"教师分工\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    QByteArray workbookRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    if (!sharedStringsXml.isEmpty())
        workbookRels += "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    workbookRels += "</Relationships>";
    std::vector<Entry> entries{
        {QStringLiteral("[Content_Types].xml"), types},
        {QStringLiteral("_rels/.rels"), rels},
        {QStringLiteral("xl/workbook.xml"), workbook},
        {QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRels},
        {QStringLiteral("xl/worksheets/sheet1.xml"), sheetXml, true, claimedSheetSize},
    };
    if (!sharedStringsXml.isEmpty())
        entries.push_back({QStringLiteral("xl/sharedStrings.xml"), sharedStringsXml});
    return archive(entries);
}

// <worksheet> around the given rows.
inline QByteArray sheetXml(const QByteArray& rows)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData>" + rows + "</sheetData></worksheet>";
}

inline QByteArray sharedStrings(const QStringList& strings)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    for (const QString& s : strings)
        xml += "<si><t>" + s.toHtmlEscaped().toUtf8() + "</t></si>";
    return xml + "</sst>";
}

// An .ods package around the given content.xml.
inline QByteArray ods(const QByteArray& contentXml, qint64 claimedContentSize = -1)
{
    return archive({
        {QStringLiteral("mimetype"), "application/vnd.oasis.opendocument.spreadsheet", false},
        {QStringLiteral("content.xml"), contentXml, true, claimedContentSize},
    });
}

} // namespace ZipFixture
