#include "dialogs/constraints/ZoneGridWidget.h"

#include "dialogs/constraints/ZoneEditor.h"

#include <QMouseEvent>
#include <QPainter>

ZoneGridWidget::ZoneGridWidget(const ZoneEditor& editor, QWidget* dialog) : QWidget(dialog), m_editor(editor)
{
    fitToGrid();
}

void ZoneGridWidget::fitToGrid()
{
    setGeometry(m_editor.grid.geometry().bounds().adjusted(0, 0, 1, 1));
}

void ZoneGridWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.translate(-pos());
    paintWeekGrid(painter, geometry(), m_editor.grid.geometry(), &m_editor.grid.chosen());
}

void ZoneGridWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT pressed(event->position().toPoint() + pos());
}

void ZoneGridWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        Q_EMIT moved(event->position().toPoint() + pos());
}

void ZoneGridWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT released();
}
