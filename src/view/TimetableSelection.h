#pragma once

class TimetableData;

// The selected cell or teacher row and whether a swap is armed.
struct TimetableSelection
{
    // Class row (master table) or teacher row (teacher table); -1 = none.
    int selectedClass = -1;
    int selectedDay = -1;
    int selectedPeriod = -1;
    int swapArmed = 0; // 1 after a left-click selected a master-table cell

    void select(int c, int d, int p)
    {
        selectedClass = c;
        selectedDay = d;
        selectedPeriod = p;
    }

    // In adjustment: can the selected lesson move to (d, p) of its own row
    // without booking either teacher twice? False without a valid selection.
    bool IsMovableSlot(const TimetableData& data, int d, int p) const;
};
