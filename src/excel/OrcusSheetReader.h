#pragma once

#include <QByteArray>
#include <QString>

class SheetCells;

// Reads the first worksheet of an .xlsx workbook or of a CSV text through
// liborcus. The rows read run from sheet row 1 to the last row that holds
// anything.
class OrcusSheetReader
{
public:
    enum class Kind { Xlsx, Csv };

    // Returns an empty text on success, otherwise the reason the file could
    // not be read. Never throws.
    static QString Read(const QByteArray& content, Kind kind, SheetCells& cells);

    // CSV text as UTF-8: valid UTF-8 stays as it is (a byte-order mark is
    // dropped), anything else is taken as GB18030, the encoding Chinese
    // spreadsheet programs save CSV in. Returns false when the text is neither.
    static bool DecodeCsvText(const QByteArray& content, QByteArray& utf8);
};
