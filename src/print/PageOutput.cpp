#include "print/PageOutput.h"

#include "print/GrayPng.h"
#include "print/PrintDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace PageOutput {
namespace {

// Room kept for " (NNN)" when two names end up alike.
constexpr int kSuffixRoom = 8;

Failure fileFailure(const QString& path, const QString& reason)
{
    return Failure::file(QStringLiteral("无法写入“%1”：%2。").arg(QDir::toNativeSeparators(path), reason));
}

// Why a write into `folder` went wrong, in words: a full disk is named as such.
QString writeReason(const QString& folder, const QString& systemText)
{
    QStorageInfo storage(folder);
    if (storage.isValid() && storage.bytesAvailable() < 1024 * 1024)
        return QStringLiteral("磁盘已满，文件没有写完（%1）").arg(systemText);
    return QStringLiteral("写入时出错（%1）").arg(systemText);
}

// Why nothing can be written into `folder`, or an empty text.
QString folderProblem(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("文件夹“%1”不存在").arg(QDir::toNativeSeparators(info.absoluteFilePath()));
    if (!info.isDir())
        return QStringLiteral("“%1”不是文件夹").arg(QDir::toNativeSeparators(info.absoluteFilePath()));
    if (!info.isWritable())
        return QStringLiteral("没有在文件夹“%1”中写入的权限").arg(QDir::toNativeSeparators(info.absoluteFilePath()));
    return QString();
}

bool renameOver(const QString& from, const QString& to, QString& why)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    why = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// A file being written under a temporary name beside its target; removed
// unless kept.
struct PartFile
{
    std::unique_ptr<QTemporaryFile> file;
    QString target;
};

std::unique_ptr<QTemporaryFile> openPart(const QString& folder, const QString& extension, QString& why)
{
    auto file = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QStringLiteral(".vorlat-XXXXXX") + extension));
    if (!file->open()) {
        why = file->errorString();
        return nullptr;
    }
    // Readable like any file the user makes (a temporary file starts private).
    file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                         | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return file;
}

} // namespace

QString SafeFileName(const QString& name, const QString& extension)
{
    QString safe;
    safe.reserve(name.size());
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        const bool refused = c < 0x20 || c == 0x7F || c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?'
            || c == u'"' || c == u'<' || c == u'>' || c == u'|';
        safe += refused ? QChar(u'_') : ch;
    }
    safe = safe.trimmed();
    if (safe.startsWith(QLatin1Char('.')))
        safe[0] = QLatin1Char('_');
    const qsizetype room = NAME_MAX - QFile::encodeName(extension).size() - kSuffixRoom;
    while (!safe.isEmpty() && QFile::encodeName(safe).size() > room) {
        safe.chop(1);
        if (!safe.isEmpty() && safe.back().isHighSurrogate())
            safe.chop(1);
    }
    safe = safe.trimmed();
    return safe.isEmpty() ? QStringLiteral("_") : safe;
}

OutputResult WritePdf(const PrintDocument& document, const QString& path, const OutputProgress& progress)
{
    OutputResult result;
    const QFileInfo target(path);
    if (target.fileName().trimmed().isEmpty() || target.isDir()) {
        result.status = fileFailure(path, QStringLiteral("这是一个文件夹，不是文件，请给出文件名"));
        return result;
    }
    const QString folder = target.absolutePath();
    if (const QString problem = folderProblem(folder); !problem.isEmpty()) {
        result.status = fileFailure(path, problem);
        return result;
    }
    if (target.exists() && !target.isWritable()) {
        result.status = fileFailure(path, QStringLiteral("已有的文件是只读的，无法替换"));
        return result;
    }
    QString why;
    std::unique_ptr<QTemporaryFile> part = openPart(folder, QStringLiteral(".pdf"), why);
    if (!part) {
        result.status = fileFailure(path, QStringLiteral("无法在文件夹中创建文件（%1）").arg(why));
        return result;
    }
    bool painted = false;
    {
        QPdfWriter writer(part.get());
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Vorlat"));
        writer.setTitle(QFileInfo(path).completeBaseName());
        painted = document.paintAll(writer, progress);
    }
    if (progress.cancelled()) {
        result.cancelled = true;
        return result; // the part file goes with its object
    }
    if (!painted || !part->flush() || part->error() != QFileDevice::NoError) {
        result.status = fileFailure(path, writeReason(folder, part->errorString()));
        return result;
    }
    part->close();
    part->setAutoRemove(false);
    if (!renameOver(part->fileName(), target.absoluteFilePath(), why)) {
        QFile::remove(part->fileName());
        result.status = fileFailure(path, QStringLiteral("无法替换文件（%1）").arg(why));
        return result;
    }
    result.written << target.absoluteFilePath();
    return result;
}

OutputResult WritePictures(const PrintDocument& document, const QString& folderPath, const OutputProgress& progress)
{
    OutputResult result;
    const QFileInfo folderInfo(QDir::cleanPath(folderPath)); // "out/" names the folder out
    const QString folder = folderInfo.absoluteFilePath();
    bool madeFolder = false;
    if (!folderInfo.exists()) {
        const QFileInfo parent(folderInfo.absolutePath());
        if (!parent.isDir()) {
            result.status = fileFailure(folderPath, QStringLiteral("文件夹“%1”不存在").arg(QDir::toNativeSeparators(parent.absoluteFilePath())));
            return result;
        }
        if (!QDir().mkdir(folder)) {
            result.status = fileFailure(folderPath, QStringLiteral("无法建立这个文件夹（没有写入权限？）"));
            return result;
        }
        madeFolder = true;
    } else if (const QString problem = folderProblem(folder); !problem.isEmpty()) {
        result.status = fileFailure(folderPath, problem);
        return result;
    }

    std::vector<PartFile> parts;
    // Nothing half-made stays: the parts go, and a folder made here goes when empty.
    const auto giveUp = [&] {
        parts.clear();
        if (madeFolder)
            QDir().rmdir(folder);
    };
    const QDir dir(folder);
    QSet<QString> taken;
    const int count = document.pictureCount();
    for (int i = 0; i < count; ++i) {
        if (progress.cancelled()) {
            giveUp();
            result.cancelled = true;
            return result;
        }
        const QString base = SafeFileName(document.pictureName(i), QStringLiteral(".png"));
        QString fileName = base + QStringLiteral(".png");
        for (int n = 2; taken.contains(fileName.toCaseFolded()); ++n)
            fileName = QStringLiteral("%1 (%2).png").arg(base).arg(n);
        taken.insert(fileName.toCaseFolded());
        const QString target = dir.filePath(fileName);
        if (QFileInfo(target).isDir()) {
            giveUp();
            result.status = fileFailure(target, QStringLiteral("这里已有同名的文件夹"));
            return result;
        }
        QString why;
        std::unique_ptr<QTemporaryFile> part = openPart(folder, QStringLiteral(".png"), why);
        if (!part) {
            giveUp();
            result.status = fileFailure(target, QStringLiteral("无法在文件夹中创建文件（%1）").arg(why));
            return result;
        }
        // Grey pictures: a page is black and grey on white, and grey PNGs are quick to write.
        const QByteArray png = GrayPng::Encode(document.picture(i));
        if (png.isEmpty() || part->write(png) != png.size() || !part->flush()
            || part->error() != QFileDevice::NoError) {
            const QString text = part->error() != QFileDevice::NoError ? part->errorString() : QStringLiteral("内存不足");
            giveUp();
            result.status = fileFailure(target, writeReason(folder, text));
            return result;
        }
        part->close();
        parts.push_back({std::move(part), target});
        progress.report(i + 1, count);
    }

    // All whole: each takes its name.
    for (size_t i = 0; i < parts.size(); ++i) {
        QString why;
        parts[i].file->setAutoRemove(false);
        if (!renameOver(parts[i].file->fileName(), parts[i].target, why)) {
            QFile::remove(parts[i].file->fileName());
            parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(i) + 1); // the rest go with their objects
            result.status = fileFailure(parts[i].target, QStringLiteral("无法替换文件（%1）").arg(why));
            return result;
        }
        result.written << parts[i].target;
    }
    return result;
}

} // namespace PageOutput
