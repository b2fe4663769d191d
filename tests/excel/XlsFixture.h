#pragma once

// A legacy Excel workbook (.xls) built byte by byte: a BIFF8 "Workbook" stream
// with one worksheet, in a version 3 compound document. Enough for libfreexl:
// a shared string table, LABELSST, NUMBER and BOOLERR cells, a DIMENSION record.

#include "SheetFixtures.h"

#include <QByteArray>
#include <QString>

#include <cstring>

namespace XlsFixture {

inline void put16(QByteArray& out, quint16 value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8));
}

inline void put32(QByteArray& out, quint32 value)
{
    put16(out, static_cast<quint16>(value & 0xFFFF));
    put16(out, static_cast<quint16>(value >> 16));
}

inline void set32(QByteArray& out, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline QByteArray record(quint16 type, const QByteArray& body)
{
    QByteArray out;
    put16(out, type);
    put16(out, static_cast<quint16>(body.size()));
    return out + body;
}

// A BIFF8 unicode string: character count, flags (1 = UTF-16), characters.
inline QByteArray unicodeString(const QString& text, bool longCount)
{
    QByteArray out;
    if (longCount)
        put16(out, static_cast<quint16>(text.size()));
    else
        out.append(static_cast<char>(text.size()));
    out.append('\x01');
    for (const QChar ch : text)
        put16(out, ch.unicode());
    return out;
}

inline QByteArray bof(quint16 kind)
{
    QByteArray body;
    put16(body, 0x0600); // BIFF8
    put16(body, kind);   // 0x0005 workbook globals, 0x0010 worksheet
    put16(body, 0x0DBB);
    put16(body, 0x07CC);
    put32(body, 0);
    put32(body, 0x06);
    return record(0x0809, body);
}

inline QByteArray workbookStream(const FixtureSheet& sheet, bool withPassword)
{
    QStringList strings;
    for (const FixtureCell& cell : sheet)
        if (cell.type == FixtureCell::Type::Text && !strings.contains(cell.text))
            strings << cell.text;

    QByteArray globals = bof(0x0005);
    if (withPassword) {
        QByteArray filePass;
        put16(filePass, 0); // XOR obfuscation, key and hash left zero
        put16(filePass, 0);
        put16(filePass, 0);
        globals += record(0x002F, filePass);
    }
    QByteArray codePage;
    put16(codePage, 0x04B0);
    globals += record(0x0042, codePage);
    // Padding the library skips, so that the stream is larger than the mini-stream cutoff.
    globals += record(0x00E1, QByteArray(2500, '\0'));
    globals += record(0x00E1, QByteArray(2500, '\0'));
    QByteArray boundSheet;
    put32(boundSheet, 0); // offset of the sheet's BOF, set below
    boundSheet.append('\0');
    boundSheet.append('\0');
    boundSheet += unicodeString(QStringLiteral("教师分工"), false);
    const qsizetype boundSheetAt = globals.size() + 4;
    globals += record(0x0085, boundSheet);
    QByteArray sst;
    put32(sst, static_cast<quint32>(strings.size()));
    put32(sst, static_cast<quint32>(strings.size()));
    for (const QString& text : strings)
        sst += unicodeString(text, true);
    globals += record(0x00FC, sst);
    globals += record(0x000A, QByteArray());
    set32(globals, boundSheetAt, static_cast<quint32>(globals.size()));

    QByteArray worksheet = bof(0x0010);
    QByteArray dimension;
    put32(dimension, 0);
    put32(dimension, static_cast<quint32>(fixtureRows(sheet)));
    put16(dimension, 0);
    put16(dimension, static_cast<quint16>(fixtureColumns(sheet)));
    put16(dimension, 0);
    worksheet += record(0x0200, dimension);
    for (const FixtureCell& cell : sheet) {
        QByteArray body;
        put16(body, static_cast<quint16>(cell.row));
        put16(body, static_cast<quint16>(cell.column));
        put16(body, 0x0F); // cell format
        switch (cell.type) {
        case FixtureCell::Type::Text:
            put32(body, static_cast<quint32>(strings.indexOf(cell.text)));
            worksheet += record(0x00FD, body);
            break;
        case FixtureCell::Type::Number: {
            char bytes[8];
            std::memcpy(bytes, &cell.number, 8);
            body.append(bytes, 8);
            worksheet += record(0x0203, body);
            break;
        }
        case FixtureCell::Type::Truth:
            body.append(cell.truth ? '\x01' : '\x00');
            body.append('\x00'); // a truth value, not an error
            worksheet += record(0x0205, body);
            break;
        }
    }
    worksheet += record(0x000A, QByteArray());
    return globals + worksheet;
}

// A version 3 compound document (512-byte sectors) holding one stream of at
// least 4096 bytes: sector 0 the allocation table, sector 1 the directory,
// then the stream.
inline QByteArray compoundDocument(const QString& streamName, const QByteArray& stream)
{
    constexpr quint32 kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSector = 0xFFFFFFFD;
    const int streamSectors = static_cast<int>((stream.size() + 511) / 512);

    QByteArray header("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header += QByteArray(16, '\0');
    put16(header, 0x003E);
    put16(header, 0x0003);
    put16(header, 0xFFFE);
    put16(header, 0x0009);
    put16(header, 0x0006);
    header += QByteArray(6, '\0');
    put32(header, 0);       // directory sectors (always 0 in version 3)
    put32(header, 1);       // allocation-table sectors
    put32(header, 1);       // first directory sector
    put32(header, 0);
    put32(header, 0x1000);  // mini-stream cutoff
    put32(header, kEnd);    // no mini allocation table
    put32(header, 0);
    put32(header, kEnd);    // no extra allocation-table index
    put32(header, 0);
    put32(header, 0);       // the allocation table is sector 0
    for (int i = 1; i < 109; ++i)
        put32(header, kFree);

    QByteArray fat;
    put32(fat, kFatSector);
    put32(fat, kEnd);
    for (int s = 0; s < streamSectors; ++s)
        put32(fat, s + 1 < streamSectors ? static_cast<quint32>(2 + s + 1) : kEnd);
    while (fat.size() < 512)
        put32(fat, kFree);

    auto entry = [](const QString& name, quint8 type, quint32 child, quint32 start, quint32 size) {
        QByteArray out;
        for (const QChar ch : name)
            put16(out, ch.unicode());
        out += QByteArray(64 - out.size(), '\0');
        put16(out, name.isEmpty() ? 0 : static_cast<quint16>((name.size() + 1) * 2));
        out.append(static_cast<char>(type));
        out.append(static_cast<char>(name.isEmpty() ? 0 : 1)); // black
        put32(out, 0xFFFFFFFF);
        put32(out, 0xFFFFFFFF);
        put32(out, child);
        out += QByteArray(16 + 4 + 8 + 8, '\0');
        put32(out, start);
        put32(out, size);
        put32(out, 0);
        return out;
    };
    QByteArray directory = entry(QStringLiteral("Root Entry"), 5, 1, kEnd, 0);
    directory += entry(streamName, 2, 0xFFFFFFFF, 2, static_cast<quint32>(stream.size()));
    directory += entry(QString(), 0, 0xFFFFFFFF, 0, 0);
    directory += entry(QString(), 0, 0xFFFFFFFF, 0, 0);

    QByteArray body = stream;
    body += QByteArray(streamSectors * 512 - stream.size(), '\0');
    return header + fat + directory + body;
}

inline QByteArray workbook(const FixtureSheet& sheet, bool withPassword = false)
{
    return compoundDocument(QStringLiteral("Workbook"), workbookStream(sheet, withPassword));
}

} // namespace XlsFixture
