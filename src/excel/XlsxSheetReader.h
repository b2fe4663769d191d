#pragma once

#include <QByteArray>
#include <QString>

class SheetCells;

// Reads a worksheet (the first unless asked for another) of an .xlsx workbook:
// the package's relationships lead to the workbook, the sheet and the shared strings. Text cells may
// be shared strings, inline strings (as streaming writers and many school
// systems write them) or the text result of a formula; a formula cell gives
// the value the workbook last calculated.
class XlsxSheetReader
{
public:
    // Returns an empty text on success, otherwise the reason. Throws
    // SheetLimitError when the file goes beyond a limit.
    static QString Read(const QByteArray& content, SheetCells& cells, int sheet = 0);
};
