#pragma once

#include "base/Failure.h"
#include "excel/SheetCells.h"

#include <QString>

// Reads the first worksheet of a teacher-assignment workbook: .xlsx, .ods,
// .xls or .csv. What the file is gets decided by its content (a zip package,
// a compound document); a text file is read as CSV when its name ends in .csv.
//
// The rows read run from sheet row 1 to the last row that holds anything, so
// a table that starts lower down loses none of its rows.
class SheetReader
{
public:
    struct Result
    {
        Status status; // a File failure naming the file and the reason
        SheetCells cells;
        bool ok() const { return status.ok(); }
        QString error() const { return status.message(); }
    };

    // Never throws; a malformed file gives an error.
    static Result Read(const QString& path);

    // The reason given for a file a reading library choked on; detail is the
    // library's own message, which may be empty or missing.
    static QString DamagedFileReason(const char* detail = nullptr);
};
