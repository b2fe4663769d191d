#pragma once

#include <QWidget>

class ZoneEditor;

// The week grid of the zone dialogs, with its chosen cells. It covers the
// grid's rectangle of the dialog and reports mouse strokes in dialog
// coordinates; the dialog asks the zone editor what they do.
class ZoneGridWidget : public QWidget
{
    Q_OBJECT

public:
    ZoneGridWidget(const ZoneEditor& editor, QWidget* dialog);
    // Follows the editor's grid geometry.
    void fitToGrid();

Q_SIGNALS:
    void pressed(QPoint dialogPoint);
    void moved(QPoint dialogPoint);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const ZoneEditor& m_editor;
};
