#pragma once

#include "dialogs/plan/DialogLook.h"
#include "dialogs/plan/WorkWeekLogic.h"

class QComboBox;
class QPushButton;

// "周工作计划": the number of working days and of periods a day, with a live
// preview of the week grid. Writes 周工作计划 on "保存", after asking when the
// new week leaves fixed lessons or zone marks outside it (declined: the
// dialog stays open, nothing written); closing writes nothing.
class CDayNumDlg : public PlanDialog
{
    Q_OBJECT

public:
    explicit CDayNumDlg(QWidget* parent = nullptr);

    const WorkWeekLogic& logic() const { return m_logic; }
    QComboBox* dayCombo() const { return m_days; }
    QComboBox* periodCombo() const { return m_periods; }
    QPushButton* saveButton() const { return m_save; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onComboChanged();
    void onSave();

    WorkWeekLogic m_logic;
    QComboBox* m_days;
    QComboBox* m_periods;
    QPushButton* m_save;
};
