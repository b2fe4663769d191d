#include "view/TimetableLayout.h"

#include "view/TimetableData.h"

#include <algorithm>

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
    if (cellWidth <= 0 || cellHeight <= 0 || data.periodCount <= 0)
        return std::nullopt;
    // The header band and the name column stay where they are.
    if (x < cellWidth || y < 2 * cellHeight)
        return std::nullopt;
    const int px = x + scrollX;
    const int py = y + scrollY;
    const int row = py / (2 * cellHeight) - 1;
    const int column = px / cellWidth - 1;
    if (row < 0 || row >= data.classCount || column < 0 || column >= data.slotCount())
        return std::nullopt;
    return Cell{row, column / data.periodCount, column % data.periodCount};
}

int TimetableLayout::TeacherRowAt(int y, int scrollY) const
{
    if (cellHeight <= 0)
        return -1;
    // Points above the table count as the first header line; the header band
    // does not scroll.
    if (y < 0)
        return -2;
    if (y < 2 * cellHeight)
        return y / cellHeight - 2;
    return (y + scrollY) / cellHeight - 2;
}

int TimetableLayout::ScrollToShowRow(int row, int scrollY, int viewHeight) const
{
    if (!showsTimetable() || row < 0)
        return scrollY;
    const int top = rowTop(row);
    const int bottom = top + rowHeight();
    // The rows visible lie between the header band and the bottom of the view.
    if (top - scrollY < headerHeight())
        scrollY = top - headerHeight();
    else if (bottom - scrollY > viewHeight)
        scrollY = std::min(bottom - viewHeight, top - headerHeight());
    return std::max(0, scrollY);
}
