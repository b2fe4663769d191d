#pragma once

#include "base/Failure.h"
#include "excel/SheetCells.h"

#include <QByteArray>
#include <QString>

// Reads the first worksheet of a teacher-assignment workbook: .xlsx, .ods,
// .xls or .csv. The one entry point for the desktop program and the
// command-line tool.
//
// A workbook comes from elsewhere and may be damaged or hostile, and one of
// the libraries behind the reading (.xls) cannot be trusted with such a file.
// So the file is read by a short-lived child process, vorlat-sheet-reader,
// installed beside the programs, under limits on its address space, CPU time
// and output; it hands the cell table back through a pipe. A crash or a limit
// in the child becomes a refusal of the file, never a crash of the program.
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
        // The workbook has no worksheet of the number asked for: not a
        // failure, and no cells.
        bool sheetMissing = false;
        bool ok() const { return status.ok(); }
        QString error() const { return status.message(); }
    };

    // What the reading child may use.
    struct Limits
    {
        // Not applied in sanitizer builds. About 100 MB of it are the libraries mapped in.
        qint64 addressSpaceBytes = qint64(256) * 1024 * 1024;
        int cpuSeconds = 10;
        int wallSeconds = 30;
        qint64 outputBytes = qint64(64) * 1024 * 1024;
    };
    static Limits limits();
    static void setLimits(const Limits& limits);
    // False in builds whose sanitizer needs a large address space.
    static bool addressSpaceLimited();

    // Never throws; a malformed file gives an error.
    // `sheet` is the worksheet's 0-based place in the workbook.
    static Result Read(const QString& path, int sheet = 0);

    // The reading child: vorlat-sheet-reader beside the running program, or
    // the program named by the environment variable VORLAT_SHEET_READER.
    static QString HelperPath();

    // What the child writes to its output and the parent decodes.
    static QByteArray EncodeReply(const QString& reason, const SheetCells& cells);
    static bool DecodeReply(const QByteArray& bytes, QString& reason, SheetCells& cells);

    // The reason given for a file a reading library choked on; detail is the
    // library's own message, which may be empty or missing.
    static QString DamagedFileReason(const char* detail = nullptr);
};
