#pragma once

#include "dialogs/plan/DialogLook.h"
#include "dialogs/plan/SchoolDetailsLogic.h"

class QLineEdit;
class QPushButton;
class QSpinBox;

// "学校信息": the school's name, the term and the morning period count the
// printed timetables use. Writes 学校信息 on "保存"; a morning count beyond
// the day is refused with a message and the dialog stays open; closing
// writes nothing.
class CSchoolDlg : public PlanDialog
{
    Q_OBJECT

public:
    explicit CSchoolDlg(QWidget* parent = nullptr);

    const SchoolDetailsLogic& logic() const { return m_logic; }
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* termEdit() const { return m_term; }
    QSpinBox* morningBox() const { return m_morning; }
    QPushButton* saveButton() const { return m_save; }

private:
    void onSave();

    SchoolDetailsLogic m_logic;
    QLineEdit* m_name;
    QLineEdit* m_term;
    QSpinBox* m_morning;
    QPushButton* m_save;
};
