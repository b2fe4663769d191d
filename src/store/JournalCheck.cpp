#include "store/JournalCheck.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace JournalCheck {

namespace {

const QByteArray kJournalMagic("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
const QByteArray kFileMagic("SQLite format 3\0", 16);

quint32 bigEndian32(const QByteArray& bytes, int at)
{
    return (quint32(quint8(bytes[at])) << 24) | (quint32(quint8(bytes[at + 1])) << 16)
           | (quint32(quint8(bytes[at + 2])) << 8) | quint32(quint8(bytes[at + 3]));
}

quint32 pageSizeOf(const QByteArray& fileHeader)
{
    const quint32 size = (quint32(quint8(fileHeader[16])) << 8) | quint32(quint8(fileHeader[17]));
    return size == 1 ? 65536 : size;
}

bool isPowerOfTwoBetween(quint32 value, quint32 low, quint32 high)
{
    return value >= low && value <= high && (value & (value - 1)) == 0;
}

Finding foreign(const QString& journal, const QString& reason)
{
    return {State::Foreign, journal, reason};
}

} // namespace

bool writeLockHeldElsewhere(const QString& databasePath)
{
    const int fd = ::open(QFile::encodeName(databasePath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // SQLite's reserved lock is one byte just past its pending byte at 1 GiB.
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0x40000001;
    lock.l_len = 1;
    const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

Finding inspect(const QString& databasePath)
{
    const QString journalPath = databasePath + QStringLiteral("-journal");
    const QFileInfo info(journalPath);
    if (!info.exists() && !info.isSymLink())
        return {State::None, journalPath, {}};
    if (!info.isFile())
        return foreign(journalPath, QStringLiteral("它不是普通文件"));

    QFile journal(journalPath);
    if (!journal.open(QIODevice::ReadOnly))
        return foreign(journalPath, QStringLiteral("它无法读取"));
    const qint64 size = journal.size();
    const QByteArray header = journal.read(28);
    // SQLite leaves an empty journal, or one whose first byte is zero, alone:
    // nothing in it is played back.
    if (header.isEmpty() || header[0] == '\0')
        return {State::None, journalPath, {}};
    if (writeLockHeldElsewhere(databasePath))
        return {State::None, journalPath, {}};
    // Without its magic number SQLite plays nothing back and only removes the
    // file: harmless, but it needs an opener that can write.
    if (header.size() < 28 || !header.startsWith(kJournalMagic))
        return {State::Hot, journalPath, {}};

    QFile file(databasePath);
    if (!file.open(QIODevice::ReadOnly))
        return foreign(journalPath, QStringLiteral("数据库无法读取"));
    const QByteArray fileHeader = file.read(100);
    if (fileHeader.size() < 100 || !fileHeader.startsWith(kFileMagic))
        return foreign(journalPath, QStringLiteral("数据库没有完整的文件头"));

    const quint32 records = bigEndian32(header, 8);
    const quint32 sectorSize = bigEndian32(header, 20);
    const quint32 pageSize = bigEndian32(header, 24);
    if (!isPowerOfTwoBetween(pageSize, 512, 65536) || !isPowerOfTwoBetween(sectorSize, 32, 65536))
        return foreign(journalPath, QStringLiteral("它已损坏"));
    if (pageSize != pageSizeOf(fileHeader))
        return foreign(journalPath, QStringLiteral("页大小不同，它来自另一个数据库"));

    // The records of the first segment: page number, page, checksum.
    const qint64 recordSize = qint64(pageSize) + 8;
    QByteArray firstPage;
    qint64 at = sectorSize;
    for (quint32 i = 0; i < records && at + recordSize <= size; ++i, at += recordSize) {
        if (!journal.seek(at))
            break;
        const QByteArray number = journal.read(4);
        if (number.size() < 4)
            break;
        if (bigEndian32(number, 0) == 1) {
            firstPage = journal.read(100);
            break;
        }
    }
    if (firstPage.size() < 100 || !firstPage.startsWith(kFileMagic))
        return foreign(journalPath, QStringLiteral("其中没有这个数据库的文件头，无法确认它的来历"));

    const quint32 journalCounter = bigEndian32(firstPage, 24);
    const quint32 fileCounter = bigEndian32(fileHeader, 24);
    const quint32 journalIdentity = bigEndian32(firstPage, 60);
    const quint32 fileIdentity = bigEndian32(fileHeader, 60);
    const bool pageOneWritten = fileCounter == journalCounter + 1;
    // A save that gave an older file its identity journaled the page without one.
    const bool sameFile = journalIdentity == fileIdentity || (journalIdentity == 0 && pageOneWritten);
    if (!sameFile)
        return foreign(journalPath, QStringLiteral("它来自另一个数据库"));
    if (fileCounter != journalCounter && !pageOneWritten)
        return foreign(journalPath, QStringLiteral("它来自这个数据库的另一个版本"));
    return {State::Hot, journalPath, {}};
}

Finding inspectWal(const QString& databasePath)
{
    const QString walPath = databasePath + QStringLiteral("-wal");
    const QFileInfo info(walPath);
    if ((!info.exists() && !info.isSymLink()) || (info.isFile() && info.size() == 0))
        return {State::None, walPath, {}};
    if (!info.isFile())
        return foreign(walPath, QStringLiteral("它不是普通文件"));

    QFile file(databasePath);
    if (!file.open(QIODevice::ReadOnly))
        return foreign(walPath, QStringLiteral("数据库无法读取"));
    const QByteArray fileHeader = file.read(100);
    if (fileHeader.size() < 100 || !fileHeader.startsWith(kFileMagic))
        return foreign(walPath, QStringLiteral("数据库没有完整的文件头"));
    if (fileHeader[19] != 2)
        return foreign(walPath, QStringLiteral("这个数据库不使用 WAL 日志"));

    QFile wal(walPath);
    if (!wal.open(QIODevice::ReadOnly))
        return foreign(walPath, QStringLiteral("它无法读取"));
    const QByteArray header = wal.read(32);
    if (header.size() < 32)
        return {State::None, walPath, {}}; // SQLite reads nothing from it
    const quint32 pageSize = bigEndian32(header, 8);
    if (!isPowerOfTwoBetween(pageSize, 512, 65536))
        return {State::None, walPath, {}};
    if (pageSize != pageSizeOf(fileHeader))
        return foreign(walPath, QStringLiteral("页大小不同，它来自另一个数据库"));
    // Frames: page number, size after commit, the two salts of the log, checksums, page.
    const QByteArray salts = header.mid(16, 8);
    const qint64 frameSize = qint64(pageSize) + 24;
    for (qint64 at = 32; at + frameSize <= wal.size(); at += frameSize) {
        if (!wal.seek(at))
            break;
        const QByteArray frame = wal.read(24);
        if (frame.size() < 24 || frame.mid(8, 8) != salts)
            break; // the end of what SQLite would read
        if (bigEndian32(frame, 0) != 1)
            continue;
        const QByteArray page = wal.read(100);
        if (page.size() == 100 && bigEndian32(page, 60) != bigEndian32(fileHeader, 60))
            return foreign(walPath, QStringLiteral("它来自另一个数据库"));
    }
    return {State::None, walPath, {}};
}

} // namespace JournalCheck
