#pragma once

#include "dialogs/plan/CombineLogic.h"
#include "dialogs/plan/DialogLook.h"

class QLabel;
class QPushButton;

// "合班设置": pick a subject, tick two to five classes of one teacher, add
// them as a group; "保存" replaces the stored groups.
class CCombineSetDlg : public PlanDialog
{
    Q_OBJECT

public:
    explicit CCombineSetDlg(QWidget* parent = nullptr);

    const CombineLogic& logic() const { return m_logic; }
    ReportList* subjectList() const { return m_subjects; }
    ReportList* classList() const { return m_classes; }
    ReportList* groupList() const { return m_groups; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* saveButton() const { return m_save; }
    QLabel* statusLabel() const { return m_status; }

private:
    void showSubjects();
    void showClasses();
    void showGroups();
    void onAdd();
    void onRemove();
    void onSave();

    CombineLogic m_logic;
    ReportList* m_subjects;
    ReportList* m_classes;
    ReportList* m_groups;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_save;
    QLabel* m_status;
};
