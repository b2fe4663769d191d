#include "excel/SheetReader.h"

#include "excel/SheetParser.h"
#include "excel/SheetReply.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedAddressSpace = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitizedAddressSpace = true;
#else
constexpr bool kSanitizedAddressSpace = false;
#endif
#else
constexpr bool kSanitizedAddressSpace = false;
#endif

std::mutex s_limitsMutex;
SheetReader::Limits s_limits;

Failure failure(const QString& path, const QString& reason)
{
    return Failure::file(QStringLiteral("无法读取“%1”：%2。").arg(QDir::toNativeSeparators(path), reason));
}

QString unreadable(const QString& why)
{
    return QStringLiteral("文件已损坏或无法读取（%1）").arg(why);
}

QString signalName(int signal)
{
    switch (signal) {
    case SIGSEGV: return QStringLiteral("SIGSEGV");
    case SIGBUS: return QStringLiteral("SIGBUS");
    case SIGABRT: return QStringLiteral("SIGABRT");
    case SIGFPE: return QStringLiteral("SIGFPE");
    case SIGILL: return QStringLiteral("SIGILL");
    case SIGKILL: return QStringLiteral("SIGKILL");
    case SIGXCPU: return QStringLiteral("SIGXCPU");
    case SIGXFSZ: return QStringLiteral("SIGXFSZ");
    default: return QStringLiteral("信号 %1").arg(signal);
    }
}

void setLimit(int resource, rlim_t value)
{
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
}

// Runs the helper on the file and decodes its reply as it arrives; status
// is its wait status. startError tells when the run itself went wrong.
struct ChildRun
{
    SheetReply::Decoder reply;
    qint64 outputBytes = 0;
    int status = 0;
    bool overOutput = false;
    bool overTime = false;
    QString startError;
};

void runChild(const QString& helper, const QString& path, int sheet, const SheetReader::Limits& limits, ChildRun& run)
{
    const QByteArray program = QFile::encodeName(helper);
    const QByteArray argument = QFile::encodeName(path);
    // The first sheet is asked for without a number.
    const QByteArray sheetArgument = QByteArray::number(sheet);
    char* const argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(argument.constData()),
                          sheet > 0 ? const_cast<char*>(sheetArgument.constData()) : nullptr, nullptr};

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        run.startError = QStringLiteral("无法建立读取进程的管道（%1）").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    const int devNull = open("/dev/null", O_RDWR | O_CLOEXEC);

    // Between fork and exec only calls that are safe in a child of a threaded
    // process: dup2, close_range, setrlimit, execv, _exit. Nothing of Qt is
    // touched there, so the desktop program may call this from any thread.
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        if (devNull >= 0) {
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDERR_FILENO);
        }
        // Nothing else of the parent (the database file, sockets) reaches the reader.
        syscall(SYS_close_range, 3U, ~0U, 0U);
        if (!kSanitizedAddressSpace && limits.addressSpaceBytes > 0)
            setLimit(RLIMIT_AS, static_cast<rlim_t>(limits.addressSpaceBytes));
        const rlimit cpu{static_cast<rlim_t>(limits.cpuSeconds), static_cast<rlim_t>(limits.cpuSeconds + 1)};
        setrlimit(RLIMIT_CPU, &cpu);
        setLimit(RLIMIT_FSIZE, static_cast<rlim_t>(limits.outputBytes));
        setLimit(RLIMIT_CORE, 0);
        execv(argv[0], argv);
        _exit(127);
    }
    close(pipeFds[1]);
    if (devNull >= 0)
        close(devNull);
    if (pid < 0) {
        close(pipeFds[0]);
        run.startError = QStringLiteral("无法启动读取进程（%1）").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }

    // Every wait below ends by the wall-clock deadline.
    QElapsedTimer clock;
    clock.start();
    const qint64 deadline = qint64(limits.wallSeconds) * 1000;
    char buffer[65536];
    for (;;) {
        const qint64 left = deadline - clock.elapsed();
        if (left <= 0) {
            run.overTime = true;
            break;
        }
        pollfd fd{pipeFds[0], POLLIN, 0};
        const int ready = poll(&fd, 1, static_cast<int>(std::min<qint64>(left, 1000)));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue;
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got <= 0)
            break; // end of output
        if (run.outputBytes + got > limits.outputBytes) {
            run.overOutput = true;
            break;
        }
        run.outputBytes += got;
        // A malformed reply is drained all the same: how the child ends tells why.
        run.reply.feed(buffer, got);
    }
    close(pipeFds[0]);
    if (run.overTime || run.overOutput)
        kill(pid, SIGKILL);
    // A child that closed its output but does not end gets the rest of the time.
    for (;;) {
        const pid_t done = waitpid(pid, &run.status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            return;
        if (done == 0 && clock.elapsed() >= deadline) {
            run.overTime = true;
            kill(pid, SIGKILL);
            while (waitpid(pid, &run.status, 0) < 0 && errno == EINTR) {
            }
            return;
        }
        usleep(5000);
    }
}

} // namespace

SheetReader::Limits SheetReader::limits()
{
    const std::lock_guard<std::mutex> lock(s_limitsMutex);
    return s_limits;
}

void SheetReader::setLimits(const Limits& limits)
{
    const std::lock_guard<std::mutex> lock(s_limitsMutex);
    s_limits = limits;
}

bool SheetReader::addressSpaceLimited()
{
    return !kSanitizedAddressSpace;
}

QString SheetReader::HelperPath()
{
    const QByteArray chosen = qgetenv("VORLAT_SHEET_READER");
    if (!chosen.isEmpty())
        return QFile::decodeName(chosen);
    QString dir;
    if (QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    else
        dir = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
    return QDir(dir).filePath(QStringLiteral("vorlat-sheet-reader"));
}

QByteArray SheetReader::EncodeReply(const QString& reason, const SheetCells& cells)
{
    return SheetReply::Encode(reason, cells);
}

bool SheetReader::DecodeReply(const QByteArray& bytes, QString& reason, SheetCells& cells)
{
    SheetReply::Decoder decoder;
    return decoder.feed(bytes.constData(), bytes.size()) && decoder.finish(reason, cells);
}

SheetReader::Result SheetReader::Read(const QString& path, int sheet)
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
    {
        // Only a regular file is read: opening a pipe or a device could wait
        // for ever, and here nothing limits the wait yet.
        QString problem;
        const int fd = SheetParser::OpenRegularFile(path, problem);
        if (fd < 0) {
            result.status = failure(path, problem);
            return result;
        }
        close(fd);
    }

    const QString helper = HelperPath();
    if (!QFileInfo(helper).isExecutable()) {
        result.status = failure(path, QStringLiteral("找不到读取程序“%1”，请重新安装本程序")
                                         .arg(QDir::toNativeSeparators(helper)));
        return result;
    }

    const Limits limits = SheetReader::limits();
    ChildRun run;
    runChild(helper, info.absoluteFilePath(), sheet, limits, run);
    if (!run.startError.isEmpty()) {
        result.status = failure(path, run.startError);
        return result;
    }

    QString reason;
    if (run.overTime) {
        reason = unreadable(QStringLiteral("读取超过 %1 秒的时间上限").arg(limits.wallSeconds));
    } else if (run.overOutput) {
        reason = unreadable(QStringLiteral("读出的内容超过 %1 MB 的上限").arg(limits.outputBytes / (1024 * 1024)));
    } else if (WIFSIGNALED(run.status)) {
        const int signal = WTERMSIG(run.status);
        if (signal == SIGXCPU || signal == SIGKILL)
            reason = unreadable(QStringLiteral("读取超过 %1 秒的计算时间上限").arg(limits.cpuSeconds));
        else
            reason = unreadable(QStringLiteral("读取时程序崩溃（%1）").arg(signalName(signal)));
    } else if (WIFEXITED(run.status) && WEXITSTATUS(run.status) == 127 && run.outputBytes == 0) {
        reason = QStringLiteral("读取程序“%1”无法启动").arg(QDir::toNativeSeparators(helper));
    } else if (!run.reply.finish(reason, result.cells)) {
        reason = WIFEXITED(run.status) && WEXITSTATUS(run.status) != 0
            ? unreadable(QStringLiteral("读取程序异常退出，退出码 %1").arg(WEXITSTATUS(run.status)))
            : unreadable(QStringLiteral("读取程序的回复不完整"));
        result.cells = SheetCells();
    }

    if (sheet > 0 && reason == SheetParser::MissingSheetReason(sheet)) {
        result.sheetMissing = true;
        result.cells = SheetCells();
        return result;
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
