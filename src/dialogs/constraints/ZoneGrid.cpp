#include "dialogs/constraints/ZoneGrid.h"

#include <algorithm>

void ZoneGrid::setUp(const WeekGridGeometry& geometry)
{
    m_geometry = geometry;
    m_chosen.assign(static_cast<size_t>(std::max(0, geometry.days * geometry.periods)), false);
    m_visited.assign(m_chosen.size(), false);
    m_stroke = false;
}

bool ZoneGrid::isChosen(int day, int period) const
{
    return m_chosen[static_cast<size_t>(day * m_geometry.periods + period)];
}

int ZoneGrid::chosenCount() const
{
    return static_cast<int>(std::count(m_chosen.begin(), m_chosen.end(), true));
}

void ZoneGrid::clear()
{
    std::fill(m_chosen.begin(), m_chosen.end(), false);
}

bool ZoneGrid::toggleAt(QPoint point)
{
    const auto cell = m_geometry.dataCellAt(point);
    if (!cell)
        return false;
    const size_t index = static_cast<size_t>(cell->day * m_geometry.periods + cell->period);
    if (m_visited[index])
        return false;
    m_visited[index] = true;
    m_chosen[index] = !m_chosen[index];
    return true;
}

ZoneGrid::Press ZoneGrid::press(QPoint point, bool selectionMade)
{
    m_stroke = false;
    if (!m_geometry.inDataArea(point))
        return Press::Ignored;
    if (!selectionMade)
        return Press::NeedsSelection;
    std::fill(m_visited.begin(), m_visited.end(), false);
    m_stroke = true;
    toggleAt(point);
    return Press::Started;
}

bool ZoneGrid::move(QPoint point)
{
    return m_stroke && toggleAt(point);
}

void ZoneGrid::release()
{
    m_stroke = false;
}
