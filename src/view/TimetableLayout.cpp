#include "view/TimetableLayout.h"

#include "view/TimetableData.h"

void TimetableLayout::UpdateGeometry(const TimetableData& data, int teacherCount, int screenWidth)
{
    const int slots = data.slotCount();
    if (!showsTimetable()) {
        cellWidth = 45;
        cellHeight = 25;
        contentWidth = 0;
        contentHeight = 0;
    } else if (showsTeacherTable()) {
        cellWidth = 75;
        cellHeight = 20;
        contentWidth = slots * 75 + 160;
        contentHeight = teacherCount * 20 + 50;
    } else {
        cellWidth = 45;
        cellHeight = 22;
        if (45 * (slots + 1) < screenWidth - 10)
            cellWidth = (screenWidth - 10) / (slots + 1);
        contentWidth = (slots + 1) * cellWidth + 10;
        contentHeight = (data.classCount + 1) * 2 * cellHeight + 10;
    }
}

// ---- Points and cells -----------------------------------------------------------

std::optional<TimetableLayout::Cell> TimetableLayout::MasterCellAt(const TimetableData& data, int x, int y, int scrollX,
                                                                int scrollY) const
{
    const int px = x + scrollX;
    const int py = y + scrollY;
    if (px < 0 || py < 0 || cellWidth <= 0 || cellHeight <= 0 || data.periodCount <= 0)
        return std::nullopt;
    const int row = py / (2 * cellHeight) - 1;
    const int column = px / cellWidth - 1;
    if (row < 0 || row >= data.classCount || column < 0 || column >= data.slotCount())
        return std::nullopt;
    return Cell{row, column / data.periodCount, column % data.periodCount};
}

int TimetableLayout::TeacherRowAt(int y, int scrollY) const
{
    const int py = y + scrollY;
    if (cellHeight <= 0)
        return -1;
    // Points above the table count as the first header line.
    return py < 0 ? -2 : py / cellHeight - 2;
}
