#pragma once

#include "base/Failure.h"

#include <QString>
#include <QtGlobal>

#include <cstdint>

// What one scheduling run produced. A refused run carries the Refused failure
// and nothing else; the model then holds what was read before the refusal.
struct ScheduleOutcome
{
    Status status;           // done, or the refusal for the user as it stands
    bool refused() const { return !status.ok(); }
    // The cancel flag stopped the run: the grids are as they were before it.
    bool cancelled = false;

    std::uint32_t seed = 0;  // the generator's seed
    // Lessons the grades ask for: over classes and subjects, the weekly counts (negative ones as 0).
    // (64 bits: the counts come from the user's plan and are not bounded.)
    qint64 requiredLessons = 0;
    // Of those, the lessons that stand in the final grid.
    qint64 placedLessons = 0;
    // Over classes and subjects: max(0, weekly count - lessons of the subject in the grid).
    qint64 unplacedLessons = 0;
    // Over days, periods and teachers other than "H": bookings - 1 where positive;
    // the classes of one combined group holding the group's subject count as one booking.
    int teacherClashes = 0;
};
