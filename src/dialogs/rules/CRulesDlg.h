#pragma once

#include "dialogs/plan/DialogLook.h"

class QPushButton;

// "排课规则": the four rule dialogs, one button each.
class CRulesDlg : public PlanDialog
{
    Q_OBJECT

public:
    explicit CRulesDlg(QWidget* parent = nullptr);

    // 0 教师不排课, 1 教师课时限制, 2 场地限制, 3 连堂设置.
    QPushButton* button(int i) const { return m_buttons[i]; }

private:
    QPushButton* m_buttons[4];
};
