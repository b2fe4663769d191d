#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>

#include <optional>
#include <vector>

class QPainter;

// The week grid drawn on the background of the week, subject-zone and
// teacher-zone dialogs: a header row of day names, a header column of period
// names, and one data cell per (day, period). Row 0 / column 0 are the
// headers; cell (row r, column c) with r, c >= 1 is day c - 1, period r - 1.
struct WeekGridGeometry
{
    int days = 0;
    int periods = 0;
    int left = 0;
    int top = 0;
    int cellWidth = 0;
    int cellHeight = 0;

    // Cell size from a fixed area: width / (days + 1), height / (periods + 1),
    // integer division.
    static WeekGridGeometry fitted(int days, int periods, int left, int top, int areaWidth, int areaHeight);

    QRect fullRect(int row, int column) const;
    // The full rectangle shrunk by one pixel on each side.
    QRect innerRect(int row, int column) const;
    QRect dataCellInner(int day, int period) const { return innerRect(period + 1, day + 1); }
    QPoint dataCellCentre(int day, int period) const { return dataCellInner(day, period).center(); }
    // The whole grid, headers included.
    QRect bounds() const;

    // True when the point lies in the data area (not on a header cell).
    bool inDataArea(QPoint point) const;
    struct Cell
    {
        int day = 0;
        int period = 0;
    };
    // The data cell whose inner rectangle holds the point; nothing for a
    // header cell, for a point outside the grid and for the 1-pixel margin of
    // a cell.
    std::optional<Cell> dataCellAt(QPoint point) const;
};

namespace WeekGridColours {
inline QColor background() { return QColor(240, 240, 240); }
inline QColor header() { return QColor(100, 100, 100); }
inline QColor freeCell() { return QColor(200, 200, 200); }
inline QColor headerText() { return QColor(255, 255, 0); }
inline QColor chosenCell() { return QColor(0, 230, 0); }
} // namespace WeekGridColours

// Paints the grid: the client rectangle in the background colour, every
// cell's inner rectangle in the header colour, every data cell's in the free
// colour, then the day and period names in yellow. When chosen is given
// (days x periods flags, day-major), the chosen data cells are painted green
// with "预排".
void paintWeekGrid(QPainter& painter, const QRect& client, const WeekGridGeometry& grid,
                   const std::vector<bool>* chosen = nullptr);
