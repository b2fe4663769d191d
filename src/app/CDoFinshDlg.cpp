#include "app/CDoFinshDlg.h"

#include <QProgressBar>
#include <QVBoxLayout>

CDoFinshDlg::CDoFinshDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFixedSize(600, 66);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 50);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(m_bar);
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &CDoFinshDlg::tick);
    m_timer.start();
}

void CDoFinshDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (parentWidget()) {
        const QRect frame = parentWidget()->window()->geometry();
        move(frame.center() - rect().center());
    }
}

void CDoFinshDlg::tick()
{
    ++m_ticks;
    if (m_step > 110) {
        m_timer.stop();
        accept();
        return;
    }
    m_step += 2;
    // Positions past the end keep the bar full.
    m_bar->setValue(std::min(m_step, m_bar->maximum()));
}
