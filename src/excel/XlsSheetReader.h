#pragma once

#include <QString>

class SheetCells;

// Reads a worksheet (the first unless asked for another) of a legacy Excel workbook (.xls, BIFF) through
// libfreexl. Limits of that library: a truth value arrives as the number 1 or
// 0, and merged ranges are not reported (their hidden cells are empty anyway).
// Dates arrive as text and are turned back into the day numbers a spreadsheet
// holds for them.
class XlsSheetReader
{
public:
    // Returns an empty text on success, otherwise the reason. Never throws.
    static QString Read(const QString& path, SheetCells& cells, int sheet = 0);
};
