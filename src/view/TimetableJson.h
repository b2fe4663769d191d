#pragma once

#include "base/OrderedJson.h"

#include <QString>

class TimetableData;

// The timetable as one line of compact JSON, the form other tools compare
// runs and saved timetables by. Keys in this order:
//   "dayCount", "periodCount", "subjectNames" (24 strings),
//   "classes" ([{"name", "subjects", "teachers"}], slots day by day, "H" for free),
//   "fixedLessons" ([[c, d, p, s], …]), "combinedClasses" ([[s, m1, …, m5], …]).
class TimetableJson
{
public:
    // The members above, so that a caller can put its own members before and
    // after them.
    static OrderedJson members(const TimetableData& model);
    // {members} as text.
    static QString object(const TimetableData& model);
};
