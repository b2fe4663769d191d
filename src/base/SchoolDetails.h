#pragma once

#include <QString>

#include <algorithm>

// What the printed timetables say about the school: its name, the term, and
// how many periods of a day are in the morning (the rest are afternoon, with
// the 午休 between them).
struct SchoolDetails
{
    static constexpr int kDefaultMorningPeriods = 4;

    QString name;
    QString term;
    int morningPeriods = kDefaultMorningPeriods;

    // The morning periods of a day of `periods` periods: a stored count larger
    // than the day (the week was shortened since) means the whole day.
    int morningOf(int periods) const { return std::clamp(morningPeriods, 0, std::max(periods, 0)); }
};
