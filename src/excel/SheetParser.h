#pragma once

#include "excel/SheetCells.h"

#include <QString>

// Reads a worksheet (the first unless asked for another) of a workbook in this process: .xlsx, .ods, .xls
// or .csv. What the file is gets decided by its content (a zip package, a
// compound document); a text file is read as CSV when its name ends in .csv.
//
// This is the parsing itself, bounded in memory and time by the limits of
// SheetCells and ZipPackage. The .xls library it uses cannot be trusted with
// a hostile file, so the program never calls this directly on a user's file:
// SheetReader runs it in a child process (vorlat-sheet-reader). Fuzz targets
// and that child call it.
namespace SheetParser {

constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;

// Returns an empty text on success, otherwise the reason (without the file
// name). Never throws; running out of memory is a reason too.
QString Parse(const QString& path, SheetCells& cells, int sheet = 0);

// The reason given when the workbook has no worksheet `sheet` (0-based) to
// read; a CSV file has only the first. Callers asking for an optional sheet
// take this reason as "no such sheet".
QString MissingSheetReason(int sheet);

// Opens path for reading when it is a regular file, without waiting on a
// pipe or a device: returns the descriptor (the caller closes it), or -1 and
// the reason.
int OpenRegularFile(const QString& path, QString& reason);

// The reason given when the memory the reader may use is not enough.
QString OutOfMemoryReason();

} // namespace SheetParser
