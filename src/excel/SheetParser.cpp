#include "excel/SheetParser.h"

#include "excel/OdsSheetReader.h"
#include "excel/OrcusSheetReader.h"
#include "excel/XlsSheetReader.h"
#include "excel/XlsxSheetReader.h"
#include "excel/ZipPackage.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <exception>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kCompoundSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
const QByteArray kZipSignature("PK\x03\x04", 4);

// An encrypted .xlsx is a compound document holding an "EncryptedPackage" stream.
bool isEncryptedPackage(const QByteArray& content)
{
    static const QByteArray name = QByteArrayLiteral("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0");
    return content.contains(name);
}

QString notRegularFile()
{
    return QStringLiteral("这不是普通文件（而是管道、设备或套接字），无法读取");
}

enum class ZipKind { Xlsx, Ods, Other };

// The package's own word for what it is: the mimetype entry of an OpenDocument
// file, the workbook part of an .xlsx.
ZipKind zipKind(const QByteArray& content)
{
    const ZipPackage zip(content);
    QByteArray mimetype;
    if (zip.contains(QStringLiteral("mimetype")) && zip.read(QStringLiteral("mimetype"), mimetype)
        && mimetype.trimmed() == "application/vnd.oasis.opendocument.spreadsheet")
        return ZipKind::Ods;
    if (zip.contains(QStringLiteral("[Content_Types].xml"))
        && (zip.contains(QStringLiteral("xl/workbook.xml")) || zip.contains(QStringLiteral("_rels/.rels"))))
        return ZipKind::Xlsx;
    if (zip.contains(QStringLiteral("content.xml")))
        return ZipKind::Ods;
    return ZipKind::Other;
}

QString parseContent(const QString& path, const QByteArray& content, SheetCells& cells, int sheet)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (content.startsWith(kCompoundSignature))
        return isEncryptedPackage(content) ? QStringLiteral("文件受密码保护") : XlsSheetReader::Read(path, cells, sheet);
    if (content.startsWith(kZipSignature)) {
        ZipKind kind = ZipKind::Other;
        try {
            kind = zipKind(content);
        } catch (const ZipPackage::Damaged& damaged) {
            return QStringLiteral("文件已损坏：%1").arg(damaged.reason);
        }
        switch (kind) {
        case ZipKind::Xlsx:
            return XlsxSheetReader::Read(content, cells, sheet);
        case ZipKind::Ods:
            return OdsSheetReader::Read(content, cells, sheet);
        case ZipKind::Other:
            break;
        }
        return suffix == QLatin1String("xlsx") || suffix == QLatin1String("ods")
            ? QStringLiteral("文件已损坏：压缩包中没有工作簿内容")
            : QStringLiteral("这是一个压缩包，但不是 .xlsx 或 .ods 工作簿");
    }
    if (suffix == QLatin1String("csv"))
        return sheet == 0 ? OrcusSheetReader::ReadCsv(content, cells) : SheetParser::MissingSheetReason(sheet);
    if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("xls") || suffix == QLatin1String("ods"))
        return QStringLiteral("文件内容不是工作簿");
    return QStringLiteral("不支持的文件类型（可读取 .xlsx、.xls、.ods 和 .csv）");
}

} // namespace

int SheetParser::OpenRegularFile(const QString& path, QString& reason)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status{};
    // Looked at before it is opened: opening some devices does something.
    if (stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
        reason = notRegularFile();
        return -1;
    }
    // Without waiting, should a pipe have taken its place meanwhile.
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = QStringLiteral("文件无法打开（%1）").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        reason = S_ISDIR(status.st_mode) ? QStringLiteral("这是一个文件夹，不是文件")
                                         : notRegularFile();
        return -1;
    }
    return fd;
}

QString SheetParser::MissingSheetReason(int sheet)
{
    return QStringLiteral("工作簿中没有第%1个工作表").arg(sheet + 1);
}

QString SheetParser::OutOfMemoryReason()
{
    return QStringLiteral("读取需要的内存超过了上限");
}

QString SheetParser::Parse(const QString& path, SheetCells& cells, int sheet)
{
    QString reason;
    try {
        const int fd = OpenRegularFile(path, reason);
        if (fd < 0)
            return reason;
        QFile file;
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            close(fd);
            return QStringLiteral("文件无法打开（%1）").arg(file.errorString());
        }
        if (file.size() > kMaxFileBytes)
            return QStringLiteral("文件超过 %1 MB 的上限").arg(kMaxFileBytes / (1024 * 1024));
        // In steps, so that the buffer grows with the file and never past the cap.
        QByteArray content;
        char buffer[65536];
        for (;;) {
            const qint64 got = file.read(buffer, sizeof buffer);
            if (got < 0)
                return QStringLiteral("文件无法读出（%1）").arg(file.errorString());
            if (got == 0)
                break;
            if (content.size() + got > kMaxFileBytes)
                return QStringLiteral("文件超过 %1 MB 的上限").arg(kMaxFileBytes / (1024 * 1024));
            content.append(buffer, got);
        }
        file.close();
        reason = parseContent(path, content, cells, sheet);
    } catch (const SheetLimitError& limit) {
        reason = limit.message();
    } catch (const std::bad_alloc&) {
        reason = OutOfMemoryReason();
    } catch (...) {
        reason = QStringLiteral("文件已损坏，无法读出表格");
    }
    if (!reason.isEmpty())
        cells = SheetCells();
    return reason;
}
