#include "dialogs/plan/WeekGrid.h"

#include "base/Naming.h"

#include <QPainter>

WeekGridGeometry WeekGridGeometry::fitted(int days, int periods, int left, int top, int areaWidth, int areaHeight)
{
    WeekGridGeometry grid;
    grid.days = days;
    grid.periods = periods;
    grid.left = left;
    grid.top = top;
    grid.cellWidth = areaWidth / (days + 1);
    grid.cellHeight = areaHeight / (periods + 1);
    return grid;
}

QRect WeekGridGeometry::fullRect(int row, int column) const
{
    return QRect(left + column * cellWidth, top + row * cellHeight, cellWidth, cellHeight);
}

QRect WeekGridGeometry::innerRect(int row, int column) const
{
    return fullRect(row, column).adjusted(1, 1, -1, -1);
}

QRect WeekGridGeometry::bounds() const
{
    return QRect(left, top, cellWidth * (days + 1), cellHeight * (periods + 1));
}

bool WeekGridGeometry::inDataArea(QPoint point) const
{
    return point.x() >= left + cellWidth && point.x() <= left + cellWidth * (days + 1)
        && point.y() >= top + cellHeight && point.y() <= top + cellHeight * (periods + 1);
}

std::optional<WeekGridGeometry::Cell> WeekGridGeometry::dataCellAt(QPoint point) const
{
    if (cellWidth <= 0 || cellHeight <= 0 || !inDataArea(point))
        return std::nullopt;
    const int day = (point.x() - left - cellWidth) / cellWidth;
    const int period = (point.y() - top - cellHeight) / cellHeight;
    if (day >= days || period >= periods)
        return std::nullopt;
    if (!dataCellInner(day, period).contains(point))
        return std::nullopt;
    return Cell{day, period};
}

void paintWeekGrid(QPainter& painter, const QRect& client, const WeekGridGeometry& grid,
                   const std::vector<bool>* chosen)
{
    painter.fillRect(client, WeekGridColours::background());
    for (int r = 0; r <= grid.periods; ++r)
        for (int c = 0; c <= grid.days; ++c)
            painter.fillRect(grid.innerRect(r, c), WeekGridColours::header());
    for (int d = 0; d < grid.days; ++d)
        for (int p = 0; p < grid.periods; ++p)
            painter.fillRect(grid.dataCellInner(d, p), WeekGridColours::freeCell());

    painter.save();
    painter.setPen(WeekGridColours::headerText());
    painter.setBackgroundMode(Qt::TransparentMode);
    for (int d = 0; d < grid.days; ++d)
        painter.drawText(grid.fullRect(0, d + 1), Qt::AlignCenter | Qt::TextSingleLine, DayName(d));
    for (int p = 0; p < grid.periods; ++p)
        painter.drawText(grid.fullRect(p + 1, 0), Qt::AlignCenter | Qt::TextSingleLine, PeriodName(p));

    if (chosen) {
        painter.setPen(Qt::black);
        for (int d = 0; d < grid.days; ++d)
            for (int p = 0; p < grid.periods; ++p) {
                const size_t index = static_cast<size_t>(d * grid.periods + p);
                if (index < chosen->size() && (*chosen)[index]) {
                    const QRect inner = grid.dataCellInner(d, p);
                    painter.fillRect(inner, WeekGridColours::chosenCell());
                    painter.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("预排"));
                }
            }
    }
    painter.restore();
}
