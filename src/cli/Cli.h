#pragma once

#include "base/Failure.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>

// Exit codes of vorlat-cli.
enum ExitCode : int {
    ExitDone = 0,
    ExitStoreFailure = 1, // database or file error
    ExitUsage = 2,
    ExitRefused = 3, // refused by a rule of the system, or proved impossible
    ExitOutOfBudget = 4, // the solver's time or work limit ran out
};

// The exit code of each kind of failure: the one place that decides it.
int exitCodeFor(const Failure& failure);
// Prints the failure's message on stderr and returns its exit code.
int report(const Failure& failure);

// Writes text as UTF-8, with a line break, to stdout or stderr, or to the
// capture while one is active.
void printOut(const QString& text);
void printErr(const QString& text);

// While it lives, printOut and printErr append to out and err instead (each
// line with its line break), so that a test can run commands in-process.
class OutputCapture
{
public:
    OutputCapture(QString& out, QString& err);
    ~OutputCapture();
    OutputCapture(const OutputCapture&) = delete;
    OutputCapture& operator=(const OutputCapture&) = delete;
};

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
    // Every value given to an option that may be repeated, in order.
    QStringList values(const QString& option) const;
    const QStringList& positional() const { return m_positional; }

    // The database path: --db, or ./Vorlat.db.
    QString databasePath() const;

private:
    std::map<QString, QString> m_values;
    std::map<QString, QStringList> m_repeated;
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

// What every subcommand shares: the parsing of its arguments (the --db
// option included), the opening of the database and the reporting of a
// failure.
class Command
{
public:
    struct Spec
    {
        QString name;
        QStringList valueOptions;  // besides --db
        QStringList switchOptions;
        int positional = 0;        // the number of positional arguments it takes
        QString usage;             // shown for a wrong number of them; empty: "<name> 不接受参数 …"
    };

    explicit Command(Spec spec);

    // Parses the arguments after the command's name; prints the usage error
    // and returns false when they do not fit (exit with ExitUsage).
    bool parse(const QStringList& args);
    const CommandLine& line() const { return *m_line; }

    // Opens the database named by --db (or ./Vorlat.db), which must exist;
    // reports the failure and returns false (exit with ExitStoreFailure).
    // A command that only reads opens it read-only, so that a read-only file
    // (on a shared drive, a copy sent by a colleague) still serves it.
    bool openDatabase(bool readOnly = false) const;

private:
    Spec m_spec;
    std::optional<CommandLine> m_line;
};

// The commands that read or write workbooks or paint pages (import-assignment,
// export, notice, counts). They live in vorlat_cli_docs with the libraries they
// need, so that vorlat-cli itself starts without them and hands these commands
// to its sibling program vorlat-cli-docs.
bool isDocumentCommand(const QString& name);

// Runs one of the document commands: its name and the arguments after it.
using DocumentCommandRunner = std::function<int(const QString& name, const QStringList& args)>;

// vorlat-cli without the process: the arguments after the program name; the
// usage, dispatch to a subcommand, and a store failure caught at the edge.
// The document commands go to runDocument. Returns the exit code.
int runVorlatCli(QStringList args, const DocumentCommandRunner& runDocument);

// The same with every command run in-process (defined in vorlat_cli_docs,
// see DocumentCommands.h): what vorlat-cli-docs runs, and the tests.
int runVorlatCli(QStringList args);

// Subcommands. Each takes the arguments after its name and returns an exit code.
int runInit(const QStringList& args);
int runShow(const QStringList& args);
int runSchedule(const QStringList& args);
int runSolve(const QStringList& args);
int runTimetable(const QStringList& args);
// Daily changes.
int runCalendar(const QStringList& args);
int runAbsence(const QStringList& args);
int runSubstitutes(const QStringList& args);
int runCover(const QStringList& args);
