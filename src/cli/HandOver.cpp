#include "cli/HandOver.h"

#include "cli/Cli.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString reasonOf(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("找不到这个程序");
    case EACCES:
        return QStringLiteral("没有运行它的权限");
    case ENOEXEC:
        return QStringLiteral("它不是可以运行的程序");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace

int handOverToDocuments(const QString& command, char* argv[])
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QString::fromLatin1(kDocumentsProgram));
    const QByteArray file = QFile::encodeName(path);
    // The sibling sees its own path as its name, and every argument unchanged.
    argv[0] = const_cast<char*>(file.constData());
    ::execv(file.constData(), argv);
    const int error = errno;
    printErr(QStringLiteral("无法运行 %1（%2），命令“%3”需要它：它应与 vorlat-cli 在同一文件夹中。")
                 .arg(QDir::toNativeSeparators(path), reasonOf(error), command));
    return ExitStoreFailure;
}
