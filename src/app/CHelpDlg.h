#pragma once

#include "view/widgets/PictureBook.h"

#include <QDialog>
#include <QPixmap>

class QToolBar;

// The user guide: one picture of the four steps of the work. Its toolbar row
// shows the buttons it is given: the main window passes its own toolbar's.
class CHelpDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CHelpDlg(QWidget* parent = nullptr,
                      QList<PictureBook::ToolButtonLook> toolbar = PictureBook::toolbarButtons());

    // The visible buttons of a toolbar, as the picture shows them.
    static QList<PictureBook::ToolButtonLook> buttonsOf(const QToolBar* toolbar);
    // The texts of the toolbar row the picture shows.
    QStringList toolbarTexts() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<PictureBook::ToolButtonLook> m_toolbar;
    QPixmap m_picture; // painted for the dialog's size
};
