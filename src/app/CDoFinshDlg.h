#pragma once

#include <QDialog>
#include <QTimer>

class QProgressBar;

// The short animation at the end of a scheduling run: a borderless bar that
// fills up and closes itself on the 57th tick of a 10 ms timer.
class CDoFinshDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDoFinshDlg(QWidget* parent = nullptr);

    int stepCounter() const { return m_step; }
    int ticks() const { return m_ticks; }
    QProgressBar* bar() const { return m_bar; }

    // One timer tick; public so that the sequence can be followed step by step.
    void tick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QProgressBar* m_bar;
    QTimer m_timer;
    int m_step = 0;
    int m_ticks = 0;
};
