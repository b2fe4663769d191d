#include "excel/SheetReader.h"

#include "excel/OdsSheetReader.h"
#include "excel/OrcusSheetReader.h"
#include "excel/XlsSheetReader.h"

#include <orcus/format_detection.hpp>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace {

const QByteArray kCompoundSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
const QByteArray kZipSignature("PK\x03\x04", 4);

// An encrypted .xlsx is a compound document holding an "EncryptedPackage" stream.
bool isEncryptedPackage(const QByteArray& content)
{
    static const QByteArray name = QByteArrayLiteral("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0");
    return content.contains(name);
}

orcus::format_t detectZip(const QByteArray& content)
{
    try {
        return orcus::detect(reinterpret_cast<const unsigned char*>(content.constData()),
                             static_cast<size_t>(content.size()));
    } catch (...) {
        return orcus::format_t::unknown;
    }
}

Failure failure(const QString& path, const QString& reason)
{
    return Failure::file(QStringLiteral("无法读取“%1”：%2。").arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

SheetReader::Result SheetReader::Read(const QString& path)
{
    Result result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = failure(path, QStringLiteral("文件不存在"));
        return result;
    }
    if (info.isDir()) {
        result.status = failure(path, QStringLiteral("这是一个文件夹，不是文件"));
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = failure(path, QStringLiteral("文件无法打开（%1）").arg(file.errorString()));
        return result;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = failure(path, QStringLiteral("文件无法读出（%1）").arg(file.errorString()));
        return result;
    }
    file.close();

    const QString suffix = info.suffix().toLower();
    QString reason;
    if (content.startsWith(kCompoundSignature)) {
        reason = isEncryptedPackage(content) ? QStringLiteral("文件受密码保护")
                                             : XlsSheetReader::Read(path, result.cells);
    } else if (content.startsWith(kZipSignature)) {
        switch (detectZip(content)) {
        case orcus::format_t::xlsx:
            reason = OrcusSheetReader::Read(content, OrcusSheetReader::Kind::Xlsx, result.cells);
            break;
        case orcus::format_t::ods:
            reason = OdsSheetReader::Read(content, result.cells);
            break;
        default:
            reason = suffix == QLatin1String("xlsx") || suffix == QLatin1String("ods")
                ? DamagedFileReason()
                : QStringLiteral("这是一个压缩包，但不是 .xlsx 或 .ods 工作簿");
            break;
        }
    } else if (suffix == QLatin1String("csv")) {
        reason = OrcusSheetReader::Read(content, OrcusSheetReader::Kind::Csv, result.cells);
    } else if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("xls") || suffix == QLatin1String("ods")) {
        reason = QStringLiteral("文件内容不是工作簿");
    } else {
        reason = QStringLiteral("不支持的文件类型（可读取 .xlsx、.xls、.ods 和 .csv）");
    }

    if (!reason.isEmpty()) {
        result.status = failure(path, reason);
        result.cells = SheetCells();
    }
    return result;
}

QString SheetReader::DamagedFileReason(const char* detail)
{
    const QString text = detail ? QString::fromUtf8(detail).trimmed() : QString();
    return text.isEmpty() ? QStringLiteral("文件已损坏，无法读出表格")
                          : QStringLiteral("文件已损坏，无法读出表格（%1）").arg(text);
}
