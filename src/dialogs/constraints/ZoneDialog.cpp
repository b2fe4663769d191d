#include "dialogs/constraints/ZoneDialog.h"

#include "dialogs/constraints/ZoneEditor.h"
#include "dialogs/constraints/ZoneGridWidget.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

ZoneDialog::ZoneDialog(QWidget* parent, const QString& caption, int widthDlu, int heightDlu, ZoneEditor& editor)
    : PlanDialog(parent, caption, widthDlu, heightDlu),
      m_editor(editor),
      m_clear(new QPushButton(QStringLiteral("清除所有"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this)),
      m_status(new QLabel(this)),
      m_count(new QLabel(this))
{
    QPalette look = palette();
    look.setColor(QPalette::Window, QColor(240, 240, 240));
    setPalette(look);
    setAutoFillBackground(true);
    m_save->setDefault(true);
}

void ZoneDialog::scaleGridArea()
{
    m_editor.gridArea = units().scaledPixels(m_editor.gridArea);
}

void ZoneDialog::setUpGrid(const QRect& status, const QRect& clear, const QRect& save)
{
    m_grid = new ZoneGridWidget(m_editor, this);
    m_grid->lower();
    place(m_status, status.x(), status.y(), status.width(), status.height());
    place(m_clear, clear.x(), clear.y(), clear.width(), clear.height());
    place(m_save, save.x(), save.y(), save.width(), save.height());
    // The count line sits under the grid, left of the buttons and never over
    // them; a text too long for it is shortened and shown whole as a tooltip.
    const QRect bounds = m_editor.grid.geometry().bounds();
    const int gap = units().x(4);
    const int height = fontMetrics().height() + 2;
    m_count->setGeometry(bounds.left(), m_clear->geometry().center().y() - height / 2,
                         std::max(0, m_clear->x() - gap - bounds.left()), height);
    for (QLabel* label : {m_count, m_status})
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_clear->raise();
    m_save->raise();
    marksChanged();

    connect(m_grid, &ZoneGridWidget::pressed, this, &ZoneDialog::onPressed);
    connect(m_grid, &ZoneGridWidget::moved, this, [this](QPoint point) {
        if (m_editor.grid.move(point))
            m_grid->update();
    });
    connect(m_grid, &ZoneGridWidget::released, this, [this] { m_editor.grid.release(); });
    connect(m_clear, &QPushButton::clicked, this, [this] {
        m_editor.grid.clear();
        m_grid->update();
    });
    connect(m_save, &QPushButton::clicked, this, &ZoneDialog::onSave);
}

void ZoneDialog::marksChanged()
{
    const int pairs = m_editor.coveredPairs();
    const QString text = pairs > 0 ? countText(pairs) : QString();
    const QString shown = m_count->fontMetrics().elidedText(text, Qt::ElideRight, m_count->width());
    m_count->setText(shown);
    m_count->setToolTip(shown == text ? QString() : text);
    if (m_grid)
        m_grid->update();
}

void ZoneDialog::onPressed(QPoint point)
{
    switch (m_editor.press(point)) {
    case ZoneGrid::Press::Ignored:
        break;
    case ZoneGrid::Press::NeedsSelection:
        showMessage(needsSelectionMessage());
        break;
    case ZoneGrid::Press::Started:
        m_grid->update();
        break;
    }
}

void ZoneDialog::onSave()
{
    m_count->clear();
    m_status->setText(QStringLiteral("数据正在处理中,请稍后 ...."));
    m_status->repaint();
    if (save([this] { m_editor.save(); })) {
        accept();
        return;
    }
    m_status->clear();
    marksChanged();
}
