#pragma once

#include "dialogs/plan/WeekGrid.h"

// The working week as the week dialog edits it: days 1..7 and periods 2..9
// chosen by index in two combos, a preview grid sized from a fixed area.
class WorkWeekLogic
{
public:
    static constexpr int kDayItems = 7;    // "1" .. "7"
    static constexpr int kPeriodItems = 8; // "2" .. "9"

    int dayCount = 1;
    int periodCount = 2;
    // False when 周工作计划 had no row: the dialog starts from the first combo
    // items, and Save adds row 1.
    bool rowFound = false;

    // The week as stored when the dialog opened (0 x 0 without a row): what
    // the constraints apply to until the new week is saved.
    int storedDays = 0;
    int storedPeriods = 0;

    // Reads 周工作计划 (the last row wins). Throws StoreError.
    void load();

    // Combo index of the current numbers; -1 when a stored number is not offered.
    int dayIndex() const;
    int periodIndex() const;
    // A change in either combo: both numbers from the two selections (-1: none).
    void setFromCombos(int dayIndex, int periodIndex);

    // Where the preview is drawn: left 10, top 40, 610 x 405 pixels (the
    // dialog scales the area with its font).
    QRect previewArea{10, 40, 610, 405};
    WeekGridGeometry preview() const;

    // The question to ask before saving when the new week leaves fixed
    // lessons or zone marks outside it; empty when it leaves none. Reads the
    // constraint tables. Throws StoreError.
    QString outsideQuestion() const;

    // Writes the row the readers use, the last one (adding row 1 when the
    // table has none). Throws StoreError.
    void save() const;
};
