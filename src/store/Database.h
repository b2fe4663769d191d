#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// The one shared connection to the planning database. It is opened once (at
// start-up, or by a command of the command-line tool) and used by every reader
// and writer on the thread that opened it.
class Database
{
public:
    static QString defaultFileName() { return QStringLiteral("Vorlat.db"); }

    enum class Opening {
        CreateIfMissing, // a path that does not exist gets a new, empty planning database
        ExistingOnly,    // a path that does not exist is refused
        ReadOnly,        // an existing file, opened for reading only: for commands that only
                         // show or export, so that a read-only file still serves them
    };

    // Opens the file as the shared connection, replacing any earlier one.
    // A new file is created with all ten tables, the tables beside them and
    // the pre-filled rows; a writing opening adds missing tables beside the
    // ten to an existing file. An
    // existing file is checked first (SQLite, the ten tables, their columns in
    // order, no code of its own, writable) and never modified when it is
    // refused. A journal left by a save that was killed is rolled back first,
    // also for a reading opening, when the file can be written; a journal that
    // does not belong to the file is refused. Functions in the file's schema
    // are distrusted (trusted_schema off). Returns true when the file was
    // created. Throws StoreError with a message naming the file.
    static bool open(const QString& path, Opening opening = Opening::CreateIfMissing);
    static void close();
    static bool isOpen();
    // True when the open connection was opened ReadOnly.
    static bool isReadOnly();
    static QString filePath();
    // The open file's identity: a random number the file is given when it is
    // made (or first written), kept in its header (user_version). Every write
    // starts by storing it again, so a journal can be told from another
    // file's (see JournalCheck).
    static qint32 identity();

    // Throws StoreError when no database is open.
    static QSqlDatabase connection();

    // Prepares a statement on the shared connection and binds the values in
    // order. Table and column names are the only fixed text in a statement.
    static QSqlQuery prepare(const QString& sql, const QVariantList& values, const QString& purpose);
    // Prepares, binds and executes; throws StoreError with the driver's text.
    static QSqlQuery exec(const QString& sql, const QVariantList& values, const QString& purpose);

    // Checks that an open connection holds a planning database; throws when not.
    // The tables beside the ten are checked only when the file has them.
    static void verifySchema(const QSqlDatabase& db, const QString& path);

    // True when the open file has the table (one of the tables beside the ten
    // may be missing from an older file opened for reading).
    static bool hasTable(const QString& name);
};
