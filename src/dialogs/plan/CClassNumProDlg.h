#pragma once

#include "dialogs/plan/DialogLook.h"
#include "dialogs/plan/LessonPlanLogic.h"

class QLineEdit;
class QPushButton;

// "周课时计划": lessons per week of every subject for each grade, edited in
// place in the rows of the grades in use; "保存" refuses while such a row does
// not add up to the week's lessons. A cell takes 0 .. days x periods.
class CClassNumProDlg : public PlanDialog
{
    Q_OBJECT

public:
    explicit CClassNumProDlg(QWidget* parent = nullptr);
    ~CClassNumProDlg() override;

    const LessonPlanLogic& logic() const { return m_logic; }
    ReportList* list() const { return m_list; }
    QLineEdit* editor() const { return m_editor; }
    QPushButton* clearButton() const { return m_clear; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* copyButton() const { return m_copy; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillList();
    void onCellClicked(int row, int column);
    void beginEdit(int row, int column);
    // Commits the cell being edited and opens the editor on the next one.
    void moveEditor(LessonPlanLogic::Step step);
    void cancelEdit();
    void onEditorChanged(const QString& text);
    void onEditorDone();
    void onClear();
    // "复制到…": the counts of the grade row chosen in the list to the grades
    // ticked in a small chooser.
    void onCopy();
    void onSave();

    LessonPlanLogic m_logic;
    ReportList* m_list;
    QLineEdit* m_editor;
    QPushButton* m_clear;
    QPushButton* m_save;
    QPushButton* m_copy;
    int m_editRow = -1;
    int m_editColumn = -1;
    bool m_editing = false;
};
