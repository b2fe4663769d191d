#include "excel/ZipPackage.h"

#include "excel/SheetCells.h"

#include <zlib.h>

#include <algorithm>

namespace {

[[noreturn]] void damaged(const QString& reason)
{
    throw ZipPackage::Damaged{reason};
}

quint16 get16(const QByteArray& data, qint64 at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData() + at);
    return static_cast<quint16>(p[0] | (p[1] << 8));
}

quint32 get32(const QByteArray& data, qint64 at)
{
    return static_cast<quint32>(get16(data, at)) | (static_cast<quint32>(get16(data, at + 2)) << 16);
}

void need(const QByteArray& data, qint64 at, qint64 length)
{
    if (at < 0 || length < 0 || at + length > data.size())
        damaged(QStringLiteral("压缩包的目录超出了文件末尾"));
}

constexpr quint32 kEndOfDirectory = 0x06054b50;
constexpr quint32 kDirectoryEntry = 0x02014b50;
constexpr quint32 kLocalHeader = 0x04034b50;

QString tooBig(const QString& name)
{
    return QStringLiteral("压缩包中的“%1”解压后超过 %2 MB 的上限").arg(name).arg(ZipPackage::kMaxEntryBytes / (1024 * 1024));
}

} // namespace

ZipPackage::ZipPackage(const QByteArray& content) : m_content(content)
{
    // The end-of-directory record: the last 22 bytes plus at most a 64 KB comment.
    const qint64 size = content.size();
    qint64 end = -1;
    for (qint64 at = size - 22; at >= 0 && at >= size - 22 - 65535; --at) {
        if (get32(content, at) == kEndOfDirectory) {
            end = at;
            break;
        }
    }
    if (end < 0)
        damaged(QStringLiteral("找不到压缩包的目录"));
    const quint16 count = get16(content, end + 10);
    const quint32 directorySize = get32(content, end + 12);
    const quint32 directoryOffset = get32(content, end + 16);
    if (count == 0xFFFF || directoryOffset == 0xFFFFFFFF)
        damaged(QStringLiteral("不支持超大压缩包（ZIP64）格式"));
    if (count > kMaxEntries)
        damaged(QStringLiteral("压缩包中的文件超过 %1 个").arg(kMaxEntries));
    need(content, directoryOffset, directorySize);

    qint64 at = directoryOffset;
    m_entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        need(content, at, 46);
        if (get32(content, at) != kDirectoryEntry)
            damaged(QStringLiteral("压缩包的目录已损坏"));
        Entry entry;
        entry.flags = get16(content, at + 8);
        entry.method = get16(content, at + 10);
        entry.compressedSize = get32(content, at + 20);
        entry.size = get32(content, at + 24);
        const quint16 nameLength = get16(content, at + 28);
        const quint16 extraLength = get16(content, at + 30);
        const quint16 commentLength = get16(content, at + 32);
        entry.localOffset = get32(content, at + 42);
        need(content, at + 46, nameLength);
        entry.name = QString::fromUtf8(content.constData() + at + 46, nameLength);
        m_entries.push_back(entry);
        at += 46 + nameLength + extraLength + commentLength;
    }
}

const ZipPackage::Entry* ZipPackage::find(const QString& name) const
{
    // The last entry of a name wins, as in the archive programs.
    const auto it = std::find_if(m_entries.rbegin(), m_entries.rend(), [&](const Entry& e) { return e.name == name; });
    return it == m_entries.rend() ? nullptr : &*it;
}

bool ZipPackage::contains(const QString& name) const
{
    return find(name) != nullptr;
}

bool ZipPackage::read(const QString& name, QByteArray& out) const
{
    const Entry* entry = find(name);
    if (!entry)
        return false;
    if (entry->flags & 0x1)
        damaged(QStringLiteral("文件受密码保护"));
    if (entry->size == 0xFFFFFFFF || entry->compressedSize == 0xFFFFFFFF)
        damaged(QStringLiteral("不支持超大压缩包（ZIP64）格式"));
    if (entry->size > kMaxEntryBytes)
        throw SheetLimitError(tooBig(name));

    const qint64 header = entry->localOffset;
    need(m_content, header, 30);
    if (get32(m_content, header) != kLocalHeader)
        damaged(QStringLiteral("压缩包中“%1”的位置不对").arg(name));
    const qint64 data = header + 30 + get16(m_content, header + 26) + get16(m_content, header + 28);
    need(m_content, data, entry->compressedSize);
    const char* source = m_content.constData() + data;

    if (entry->method == 0) {
        if (entry->compressedSize != entry->size)
            damaged(QStringLiteral("压缩包中“%1”的大小与记录不符").arg(name));
        out = QByteArray(source, entry->compressedSize);
        return true;
    }
    if (entry->method != 8)
        damaged(QStringLiteral("压缩包中“%1”使用了不支持的压缩方法（%2）").arg(name).arg(entry->method));

    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        damaged(QStringLiteral("无法解压"));
    struct End
    {
        z_stream* s;
        ~End() { inflateEnd(s); }
    } end{&stream};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(source));
    stream.avail_in = entry->compressedSize;

    // Grow in steps; the recorded size is a hint, the cap is the rule.
    out.clear();
    qint64 produced = 0;
    qint64 capacity = std::min<qint64>(std::max<qint64>(entry->size, 4096), kMaxEntryBytes + 1);
    out.resize(capacity);
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (produced == capacity) {
            if (capacity > kMaxEntryBytes)
                throw SheetLimitError(tooBig(name));
            capacity = std::min<qint64>(capacity * 2, kMaxEntryBytes + 1);
            out.resize(capacity);
        }
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        stream.avail_out = static_cast<uInt>(capacity - produced);
        status = inflate(&stream, Z_NO_FLUSH);
        produced = capacity - stream.avail_out;
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            damaged(QStringLiteral("压缩包中的“%1”不完整").arg(name));
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            damaged(QStringLiteral("压缩包中的“%1”无法解压").arg(name));
    }
    if (produced > kMaxEntryBytes)
        throw SheetLimitError(tooBig(name));
    if (produced != entry->size)
        damaged(QStringLiteral("压缩包中“%1”的大小与记录不符").arg(name));
    out.truncate(produced);
    return true;
}
