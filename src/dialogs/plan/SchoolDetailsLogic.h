#pragma once

#include "base/SchoolDetails.h"

#include <QString>

// The school details as their dialog edits them: the name and the term shown
// on every printed timetable, and how many periods of a day are morning ones.
// An empty name or term is allowed; a morning count beyond the day is not.
class SchoolDetailsLogic
{
public:
    SchoolDetails details;
    // Periods of the stored week's day: the largest morning count allowed.
    // Without a week row, any day the week can have.
    int periods = 0;

    // Reads 学校信息 and 周工作计划. Throws StoreError.
    void load();

    // What keeps the details from being saved, in words; empty when they may be.
    QString refusal() const;

    // Writes the details (names and term trimmed) when refusal() is empty and
    // returns the refusal otherwise, writing nothing. Throws StoreError.
    QString save();
};
