#pragma once

#include "dialogs/plan/WeekGrid.h"

#include <QPoint>

#include <vector>

// The chosen cells of a zone dialog's week grid and what a mouse stroke does
// to them. A press toggles the cell under it; dragging on toggles every
// further cell the stroke enters, once per stroke. Points on a header, off
// the grid or on a cell's 1-pixel margin change nothing.
class ZoneGrid
{
public:
    enum class Press {
        Ignored,        // off the data area: headers and outside
        NeedsSelection, // in the data area, but nothing to edit is marked
        Started,        // a stroke started (the cell under it, if any, toggled)
    };

    void setUp(const WeekGridGeometry& geometry);
    const WeekGridGeometry& geometry() const { return m_geometry; }
    const std::vector<bool>& chosen() const { return m_chosen; }
    std::vector<bool>& chosen() { return m_chosen; }
    bool isChosen(int day, int period) const;
    int chosenCount() const;
    void clear();

    Press press(QPoint point, bool selectionMade);
    // True when the move entered a new cell and toggled it.
    bool move(QPoint point);
    void release();

private:
    bool toggleAt(QPoint point);

    WeekGridGeometry m_geometry;
    std::vector<bool> m_chosen;
    std::vector<bool> m_visited;
    bool m_stroke = false;
};
