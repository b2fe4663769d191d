#pragma once

#include "base/Failure.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

// Exit codes of vorlat-cli.
enum ExitCode : int {
    ExitDone = 0,
    ExitStoreFailure = 1, // database or file error
    ExitUsage = 2,
    ExitRefused = 3, // refused by a rule of the system
};

// The exit code of each kind of failure: the one place that decides it.
int exitCodeFor(const Failure& failure);
// Prints the failure's message on stderr and returns its exit code.
int report(const Failure& failure);

// Writes text as UTF-8, with a line break.
void printOut(const QString& text);
void printErr(const QString& text);

// Options of one subcommand: flags that take a value ("--db PATH"), flags that
// stand alone ("--json") and positional arguments.
class CommandLine
{
public:
    // Parses args; unknown options or a missing value give an error text.
    CommandLine(const QStringList& args, const QStringList& valueOptions, const QStringList& switchOptions);

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    bool has(const QString& option) const { return m_values.count(option) != 0; }
    QString value(const QString& option, const QString& fallback = QString()) const;
    const QStringList& positional() const { return m_positional; }

    // The database path: --db, or ./Vorlat.db.
    QString databasePath() const;

private:
    std::map<QString, QString> m_values;
    QStringList m_positional;
    QString m_error;
};

// Column-aligned text table that accounts for double-width CJK characters.
class TextTable
{
public:
    void addRow(const QStringList& cells) { m_rows.push_back(cells); }
    QString render(int gap = 2) const;

    static int displayWidth(const QString& text);

private:
    std::vector<QStringList> m_rows;
};

// Subcommands. Each takes the arguments after its name and returns an exit code.
int runInit(const QStringList& args);
int runShow(const QStringList& args);
int runSchedule(const QStringList& args);
int runTimetable(const QStringList& args);
int runImportAssignment(const QStringList& args);
int runExport(const QStringList& args);

// Opens the planning database of a command; on failure prints the message and
// returns false.
// Commands that only read the plan or the timetable open it read-only, so that
// a read-only file (on a shared drive, a copy sent by a colleague) still serves them.
bool openDatabaseForCommand(const QString& path, bool readOnly = false);
