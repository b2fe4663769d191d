#pragma once

#include "dialogs/constraints/FixedLessonLogic.h"
#include "dialogs/plan/DialogLook.h"

class QPushButton;

// "设置固定科目": pin a subject of the marked classes to a day and period;
// "保存" replaces the stored fixed lessons.
class CStableSubDlg : public PlanDialog
{
    Q_OBJECT

public:
    explicit CStableSubDlg(QWidget* parent = nullptr);

    const FixedLessonLogic& logic() const { return m_logic; }
    ReportList* classList() const { return m_classes; }
    ReportList* dayList() const { return m_days; }
    ReportList* periodList() const { return m_periods; }
    ReportList* subjectList() const { return m_subjects; }
    ReportList* entryList() const { return m_entries; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* saveButton() const { return m_save; }

private:
    void showAll();
    static void showMarks(ReportList* list, const QStringList& texts, const ListMarks& marks);

    FixedLessonLogic m_logic;
    ReportList* m_classes;
    ReportList* m_days;
    ReportList* m_periods;
    ReportList* m_subjects;
    ReportList* m_entries;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_save;
};
