#pragma once

#include <QString>

// The rollback journal beside a database file ("<file>-journal"), looked at
// before SQLite opens the file. SQLite plays a hot journal back into the file
// it lies beside without asking where it came from: its header names no
// database. A journal of another database copied beside the file would
// overwrite the file's pages with that database's.
//
// Every write of this program starts by writing page 1 (see Transaction), so
// the first page its journal keeps is the file's own first page as it was
// before the save: with the file's identity (user_version, a random number
// given when the file is made) and its change counter. A journal belongs to
// the file when it has that page, the identity is the file's and the counter
// is the file's or one behind (the save had written page 1 already).
namespace JournalCheck {

enum class State {
    None,    // no journal, an empty or finished one, or one a live writer is using
    Hot,     // a journal of this file that must be rolled back before the file is read
    Foreign, // a journal that does not belong to the file: never to be played back
};

struct Finding
{
    State state = State::None;
    QString journalPath;
    QString reason; // for Foreign: why it does not belong, in the user's words
};

Finding inspect(const QString& databasePath);

// The write-ahead log beside the file ("<file>-wal"). SQLite reads a -wal it
// finds beside a file even when the file does not use one, so one beside a
// file with a rollback journal belongs to another database. Beside a file in
// WAL mode it is the file's own unless a copy of page 1 in it carries another
// identity. Foreign or None.
Finding inspectWal(const QString& databasePath);

// True when another process holds SQLite's write lock on the file (its
// journal is then in use, not left behind).
bool writeLockHeldElsewhere(const QString& databasePath);

} // namespace JournalCheck
