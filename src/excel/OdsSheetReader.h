#pragma once

#include <QByteArray>
#include <QString>

class SheetCells;

// Reads a table (the first unless asked for another) of an OpenDocument spreadsheet (.ods) from its
// content.xml. The cells are read here rather than through liborcus' import,
// which drops covered cells (the hidden part of a merged range) and with them
// the column of every cell to their right, and reads truth values as empty
// cells.
class OdsSheetReader
{
public:
    // Returns an empty text on success, otherwise the reason. Throws
    // SheetLimitError when the file goes beyond a limit.
    static QString Read(const QByteArray& content, SheetCells& cells, int sheet = 0);
};
