#include "print/GrayPng.h"

#include <zlib.h>

#include <cstring>
#include <vector>

namespace GrayPng {
namespace {

void put32(QByteArray& out, quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    out.append(bytes, 4);
}

void chunk(QByteArray& out, const char* type, const QByteArray& data)
{
    put32(out, static_cast<quint32>(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.constData() + start),
                            static_cast<uInt>(out.size() - start));
    put32(out, static_cast<quint32>(crc));
}

} // namespace

QByteArray Encode(const QImage& source)
{
    if (source.isNull())
        return {};
    // Grey straight from 32-bit pixels (as qGray weighs them); anything else is converted first.
    const bool direct = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
        || source.format() == QImage::Format_Grayscale8;
    const QImage image = direct ? source : source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    std::vector<unsigned char> line(static_cast<size_t>(width)), above(static_cast<size_t>(width), 0);
    const auto greyRow = [&](int y, std::vector<unsigned char>& out) {
        if (image.format() == QImage::Format_Grayscale8) {
            std::memcpy(out.data(), image.constScanLine(y), static_cast<size_t>(width));
            return;
        }
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb p = pixels[x];
            out[static_cast<size_t>(x)] = static_cast<unsigned char>((qRed(p) * 11 + qGreen(p) * 16 + qBlue(p) * 5) / 32);
        }
    };

    // Filtered rows: a filter byte (2, "up") then the row minus the row above.
    std::vector<unsigned char> raw(static_cast<size_t>(height) * (static_cast<size_t>(width) + 1));
    for (int y = 0; y < height; ++y) {
        unsigned char* row = raw.data() + static_cast<size_t>(y) * (static_cast<size_t>(width) + 1);
        greyRow(y, line);
        row[0] = 2;
        for (int x = 0; x < width; ++x)
            row[1 + x] = static_cast<unsigned char>(line[static_cast<size_t>(x)] - above[static_cast<size_t>(x)]);
        line.swap(above);
    }

    z_stream stream{};
    if (deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
        return {};
    QByteArray packed(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(raw.size()))), Qt::Uninitialized);
    stream.next_in = raw.data();
    stream.avail_in = static_cast<uInt>(raw.size());
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = static_cast<uInt>(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    const uLong packedSize = stream.total_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        return {};
    packed.truncate(static_cast<qsizetype>(packedSize));

    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    put32(header, static_cast<quint32>(width));
    put32(header, static_cast<quint32>(height));
    header.append(char(8)); // bit depth
    header.append(char(0)); // grey
    header.append(char(0)); // deflate
    header.append(char(0)); // adaptive filtering (per-row filter bytes)
    header.append(char(0)); // not interlaced
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", QByteArray());
    return out;
}

} // namespace GrayPng
