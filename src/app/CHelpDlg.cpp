#include "app/CHelpDlg.h"

#include "app/PictureBook.h"

#include <QPainter>

CHelpDlg::CHelpDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("帮助"));
    const QSize size = PictureBook::nativeSize(PictureBook::HelpPicture);
    resize(size);
    setMinimumSize(size / 2);
}

void CHelpDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), PictureBook::pictureAt(PictureBook::HelpPicture, size()));
}
