#pragma once

#include <QString>

// Spreadsheet column letters.
// ColumnLetter: 0 gives the empty text, 1..26 give "A".."Z".
QString ColumnLetter(int n);
// Column counted from 0 to its letters: 0 "A", 25 "Z", 26 "AA", 27 "AB", 63 "BL".
QString ColumnName(int n);
// Address of a cell, column counted from 0 and row from 1: CellName(0, 1) is "A1".
QString CellName(int column, int row);
