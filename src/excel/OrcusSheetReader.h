#pragma once

#include <QByteArray>
#include <QString>

class SheetCells;

// Reads a CSV text through liborcus. The rows read run from sheet row 1 to
// the last row that holds anything.
class OrcusSheetReader
{
public:
    static constexpr qint64 kMaxCsvBytes = 8 * 1024 * 1024;

    // Returns an empty text on success, otherwise the reason the file could
    // not be read. Throws SheetLimitError when the file goes beyond a limit.
    static QString ReadCsv(const QByteArray& content, SheetCells& cells);

    // CSV text as UTF-8: valid UTF-8 stays as it is (a byte-order mark is
    // dropped), anything else is taken as GB18030, the encoding Chinese
    // spreadsheet programs save CSV in. Returns false when the text is neither.
    static bool DecodeCsvText(const QByteArray& content, QByteArray& utf8);
};
