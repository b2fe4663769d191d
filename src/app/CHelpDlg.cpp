#include "app/CHelpDlg.h"

#include <QAction>
#include <QPainter>
#include <QToolBar>

CHelpDlg::CHelpDlg(QWidget* parent, QList<PictureBook::ToolButtonLook> toolbar)
    : QDialog(parent)
    , m_toolbar(std::move(toolbar))
{
    setWindowTitle(QStringLiteral("帮助"));
    const QSize size = PictureBook::nativeSize(PictureBook::HelpPicture);
    resize(size);
    setMinimumSize(size / 2);
}

QList<PictureBook::ToolButtonLook> CHelpDlg::buttonsOf(const QToolBar* toolbar)
{
    QList<PictureBook::ToolButtonLook> buttons;
    for (QAction* action : toolbar->actions()) {
        if (action->isSeparator() || !action->isVisible() || action->text().isEmpty())
            continue;
        buttons.append({action->icon().pixmap(toolbar->iconSize()), action->text()});
    }
    return buttons;
}

QStringList CHelpDlg::toolbarTexts() const
{
    QStringList texts;
    for (const PictureBook::ToolButtonLook& button : m_toolbar)
        texts << button.text;
    return texts;
}

void CHelpDlg::paintEvent(QPaintEvent*)
{
    if (m_picture.size() != size())
        m_picture = QPixmap::fromImage(PictureBook::renderHelp(size(), m_toolbar));
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}
