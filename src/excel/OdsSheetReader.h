#pragma once

#include <QByteArray>
#include <QString>

class SheetCells;

// Reads the first table of an OpenDocument spreadsheet (.ods) from its
// content.xml. The archive is opened with liborcus; the cells are read here
// because liborcus' own import drops covered cells (the hidden part of a
// merged range) and with them the column of every cell to their right, and
// reads truth values as empty cells.
class OdsSheetReader
{
public:
    // Returns an empty text on success, otherwise the reason. Never throws.
    static QString Read(const QByteArray& content, SheetCells& cells);
};
