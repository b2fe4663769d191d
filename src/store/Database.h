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
    // A new file is created with all ten tables and the pre-filled rows. An
    // existing file is checked first (SQLite, the ten tables, their columns in
    // order, writable) and never modified when it is refused. Returns true when
    // the file was created. Throws StoreError with a message naming the file.
    static bool open(const QString& path, Opening opening = Opening::CreateIfMissing);
    static void close();
    static bool isOpen();
    // True when the open connection was opened ReadOnly.
    static bool isReadOnly();
    static QString filePath();

    // Throws StoreError when no database is open.
    static QSqlDatabase connection();

    // Prepares a statement on the shared connection and binds the values in
    // order. Table and column names are the only fixed text in a statement.
    static QSqlQuery prepare(const QString& sql, const QVariantList& values, const QString& purpose);
    // Prepares, binds and executes; throws StoreError with the driver's text.
    static QSqlQuery exec(const QString& sql, const QVariantList& values, const QString& purpose);

    // Checks that an open connection holds a planning database; throws when not.
    static void verifySchema(const QSqlDatabase& db, const QString& path);
};
