#pragma once

#include "base/Failure.h"
#include "view/daily/DailyRecords.h"

#include <map>
#include <vector>

// Reading and writing what the daily work keeps: 校历 and 校历调整 (the term
// calendar), 教师请假 (absences) and 代课安排 (the covers chosen), on the
// shared connection. A table missing from a file opened for reading is taken
// as empty; a row whose first column is "H" is skipped. Every write runs in
// one transaction; a database failure throws StoreError, to be caught at the
// edge of the command.
class DailyStore
{
public:
    // The saved timetable (TimetableStore), the calendar, the absences, the
    // covers and the daily limits of 教师课时限制. The status is the
    // timetable's.
    static Status Load(DailyData& data);

    static TermCalendar ReadCalendar();
    // Replaces the calendar and all its special days.
    static void SaveCalendar(const TermCalendar& calendar);

    static std::vector<Absence> ReadAbsences();
    // Returns the new row's id.
    static int AddAbsence(const Absence& absence);
    // False when no such absence is recorded.
    static bool RemoveAbsence(int id);

    static std::vector<Cover> ReadCovers();
    // Records the choice for its date, period and class, replacing the one
    // made before for that lesson. Returns the new row's id.
    static int SetCover(const Cover& cover);
    static bool RemoveCover(int id);

    // 教师课时限制: teacher → lessons a day at most (only positive limits).
    static std::map<QString, int> ReadDailyLimits();
};
