#pragma once

#include "dialogs/plan/DialogLook.h"
#include "dialogs/rules/RuleTableLogic.h"

class QLabel;
class QPushButton;
class QTableWidget;

// One of the rule tables (教师课时限制, 场地限制, 连堂设置) as an editable table
// with "添加一行", "删除所选行" and "保存"; a refused row is named in a message
// and nothing is written (RuleTableLogic).
class CRuleTableDlg : public PlanDialog
{
    Q_OBJECT

public:
    CRuleTableDlg(RuleTableLogic::Kind kind, QWidget* parent = nullptr);

    const RuleTableLogic& logic() const { return m_logic; }
    QTableWidget* table() const { return m_table; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* saveButton() const { return m_save; }

private:
    void showRows();
    void takeRows();
    void onSave();

    RuleTableLogic m_logic;
    QTableWidget* m_table;
    QLabel* m_hint;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_save;
};
