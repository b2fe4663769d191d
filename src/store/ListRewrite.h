#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Writes a list-valued table the way every list writer does: count the rows,
// add placeholder rows until there are enough, reset every text column of
// every row to "H", then update row 编号 = i + 1 with entry i. The table never
// shrinks; rows beyond the entries stay placeholders.
//
// Runs inside a Transaction (its own, or the caller's when one is open), so a
// failure leaves the table as it was.
//
// columns: the text columns written, in order (usually all of the table's).
// rows: one list of values per entry, in the order of `columns`.
void rewriteList(const QString& table, const QStringList& columns,
                 const std::vector<QStringList>& rows, const QString& purpose);

// Convenience: all text columns of the table.
void rewriteList(const QString& table, const std::vector<QStringList>& rows, const QString& purpose);

// Gives a positional table the rows 编号 1 .. count without gaps (another
// tool may have deleted a row), then adds placeholder rows up to `wanted`.
// Renumbering keeps the rows' order; every writer rewrites them afterwards.
void makeRowsPositional(const QString& table, int wanted, const QString& purpose);

// Number of rows of a table.
int countRows(const QString& table);

// update <table> set <columns> where 编号 = rowId; throws StoreError when no
// row (or more than one) was changed.
void updateRow(const QString& table, const QStringList& columns, const QStringList& values,
               int rowId, const QString& purpose);
