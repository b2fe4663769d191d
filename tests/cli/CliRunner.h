#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtTest>

// Runs vorlat-cli (path from the VORLAT_CLI environment variable set by ctest)
// and collects its exit code and output.
struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Waits for a started process and collects what it gave back.
inline CliRun collect(QProcess& process)
{
    CliRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

inline CliRun runCli(const QStringList& args, const QString& workingDir = QString())
{
    QProcess process;
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(qEnvironmentVariable("VORLAT_CLI"), args);
    return collect(process);
}
