#pragma once

#include "base/Failure.h"

#include <QString>

#include <atomic>
#include <functional>

typedef struct lxw_workbook lxw_workbook;

class TeacherTable;
class TimetableData;

// Writes the timetable shown to an .xlsx workbook: the master table of all
// classes or the teacher table. Only the grid model is read (classCount,
// dayCount, periodCount, subjectGrid, teacherGrid, teacherTable).
//
// Master table (S = dayCount × periodCount, slot v = d·periodCount + p + 1):
//   A1 "星期", A2 "节次"; row 1: each day's name merged over its periods;
//   row 2: the period numbers 1..periodCount under every day; class k in rows
//   3 + 2k (subjects) and 4 + 2k (teachers), its name merged over A(3+2k):A(4+2k);
//   slot v in column v.
// Both print on A4 across, scaled to the page width, as many pages down as
// the rows need at that scale, the headers and names repeated on each.
// Teacher table: A1:B1 merged "星期", A2 "教师", B2 "周课时"; the day and period
//   headers shifted right by one column; teacher t in row 3 + t, entry j of
//   its teacherTable row in column j.
// Every value is written as text; "H" leaves its cell empty.
//
// The file is always an .xlsx workbook: a name ending in .xls is written as the
// same name ending in .xlsx, any other name that does not end in .xlsx gets
// .xlsx appended. The result tells the name actually written.
class TimetableExport
{
public:
    struct Result
    {
        Status status;       // a File failure naming the file and the reason
        QString writtenPath; // the file written (or attempted)
        bool cancelled = false; // the fill stopped; nothing was written
        bool ok() const { return status.ok(); }
        QString error() const { return status.message(); }
    };

    static QString OutputPath(const QString& chosenPath);

    // How filling a workbook ended: why a cell could not be written (empty
    // when every one was), or cancelled.
    struct FillEnd
    {
        QString writeError;
        bool cancelled = false;
    };
    // Writes a workbook filled by `fill` the way every export does: into a
    // part file beside the target, renamed over it once whole; a failure or a
    // cancel leaves the old file (or none) as it was.
    static Result WriteWorkbook(const QString& chosenPath, std::atomic<int>& progressState,
                                const std::function<FillEnd(lxw_workbook*)>& fill);

    // progressState goes to Running, then to Finished once the file is written,
    // or to Failed. Never throws. Reads the model only, so it may run on a
    // worker thread as long as nobody changes the model meanwhile.
    static Result ExportMasterTable(const TimetableData& model, const QString& chosenPath,
                                    std::atomic<int>& progressState);
    // Uses teacherTable as it is: build it first (BuildTeacherTable).
    static Result ExportTeacherTable(const TimetableData& model, const TeacherTable& teachers,
                                     const QString& chosenPath, std::atomic<int>& progressState);
};
