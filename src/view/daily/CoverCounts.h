#pragma once

#include "view/daily/DailyRecords.h"

#include <QString>

#include <vector>

class DailyIndex;

// Per teacher and month: lessons covered for others and lessons missed, for
// the office's pay or balance sheet.
//
// covered: substitutions given (代课; a combined lesson once).
// missed: the teacher's own lessons given by a substitute or as self-study,
//   and those of their absences not yet arranged. A lesson swapped (调课) is
//   given by the teacher on the other date: it counts in `swapped`, not as
//   missed.
// Choices already made count as recorded, even when the timetable has changed
// since or the teacher is no longer in it: the history stays.
struct CoverCountRow
{
    QString teacher;
    int covered = 0;
    int missed = 0;
    int swapped = 0;
};

struct CoverCounts
{
    int year = 0;
    int month = 0;
    // The timetable's teachers in their order, then other names met in the
    // month's records, by name.
    std::vector<CoverCountRow> rows;

    static CoverCounts count(const DailyData& data, const DailyIndex& index, int year, int month);
};
