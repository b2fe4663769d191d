#pragma once

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
    // The members above without the enclosing braces, so that a caller can put
    // its own members before and after them.
    static QString members(const TimetableData& model);
    // {members}
    static QString object(const TimetableData& model);

    // A JSON string literal, quotes included.
    static QString quote(const QString& text);
};
