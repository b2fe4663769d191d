#pragma once

#include <optional>

class TimetableData;

// What the main window shows.
enum class DisplayMode {
    Home,        // no timetable
    MasterTable, // all classes, two lines each
    Adjustment,  // the master table, lessons exchanged by hand
    TeacherTable // one line per teacher
};

// The pixel layout of the display: cell size, the size of the whole content
// and the hit-testing of points. Nothing here draws.
class TimetableLayout
{
public:
    DisplayMode mode = DisplayMode::Home;

    // Geometry in pixels.
    int cellWidth = 45;
    int cellHeight = 25;
    int contentHeight = 0;
    int contentWidth = 0;

    bool showsTimetable() const { return mode != DisplayMode::Home; }
    bool showsTeacherTable() const { return mode == DisplayMode::TeacherTable; }
    bool isAdjusting() const { return mode == DisplayMode::Adjustment; }

    // The geometry of the mode for the timetable (and its teacher count).
    // screenWidth: width of the primary screen in pixels.
    void UpdateGeometry(const TimetableData& data, int teacherCount, int screenWidth);

    // The frozen parts: the header band (the day and period lines) stays at the
    // top and the name column (class names; teacher names and weekly counts)
    // at the left while the cells scroll under them.
    int headerHeight() const { return showsTimetable() ? 2 * cellHeight : 0; }
    int nameWidth() const { return !showsTimetable() ? 0 : showsTeacherTable() ? 2 * cellWidth : cellWidth; }

    struct Cell
    {
        int classIndex = -1;
        int day = -1;
        int period = -1;
        bool operator==(const Cell&) const = default;
    };
    // Master table: the cell under the client point (x, y) with the view
    // scrolled to (scrollX, scrollY), or nothing outside the cells (the header
    // band and the class-name column, which do not scroll; beyond the last
    // class or slot).
    std::optional<Cell> MasterCellAt(const TimetableData& data, int x, int y, int scrollX, int scrollY) const;
    // Teacher table: the row under the point, (y + scrollY) / cellHeight − 2
    // below the header band, which does not scroll; -1 and -2 are the header
    // lines, rows past the last teacher are returned as they are.
    int TeacherRowAt(int y, int scrollY) const;

    // Where a row of the table (a class of the master table, a teacher of the
    // teacher table) lies in the content, and the vertical scroll that shows
    // it whole under the header band: `scrollY` itself when it already is,
    // else the least change (never below 0; the scroll bar keeps its maximum).
    int rowTop(int row) const { return showsTeacherTable() ? (row + 2) * cellHeight : (row + 1) * 2 * cellHeight; }
    int rowHeight() const { return showsTeacherTable() ? cellHeight : 2 * cellHeight; }
    int ScrollToShowRow(int row, int scrollY, int viewHeight) const;
};
