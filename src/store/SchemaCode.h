#pragma once

#include <QSqlDatabase>
#include <QStringList>

// Code a planning file brings with it. The program's own schema is ten plain
// tables; a file from elsewhere may add triggers (run on every save), views,
// virtual tables, computed columns, constraints and indexes whose expressions
// run when rows are written. None of that is ours, so a file that has any of
// it is not opened.
namespace SchemaCode {

// What the file defines beyond plain tables, each named for the user
// ("触发器“wipe”"); empty when there is nothing. Throws StoreError when the
// schema cannot be read.
QStringList find(const QSqlDatabase& db, const QString& purpose);

// The findings as one text, at most a few of them and names cut short.
QString describe(const QStringList& findings);

} // namespace SchemaCode
