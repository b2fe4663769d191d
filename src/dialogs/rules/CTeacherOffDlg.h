#pragma once

#include "dialogs/plan/DialogLook.h"
#include "dialogs/rules/TeacherOffLogic.h"

class QComboBox;
class QLabel;
class QPushButton;
class TeacherOffGrid;

// "教师不排课": the teachers with marks, the week grid of the periods they
// cannot teach (click and drag to toggle), a day with 整天 / 上午 / 下午
// buttons, "清除所有" and "保存" (TeacherOffLogic).
class CTeacherOffDlg : public PlanDialog
{
    Q_OBJECT

public:
    explicit CTeacherOffDlg(QWidget* parent = nullptr);

    const TeacherOffLogic& logic() const { return m_logic; }
    ReportList* teacherList() const { return m_teachers; }
    QWidget* gridWidget() const;
    QComboBox* dayChoice() const { return m_day; }
    QPushButton* partButton(TeacherOffLogic::Part part) const;
    QPushButton* saveButton() const { return m_save; }
    QLabel* noteLabel() const { return m_note; }

private:
    void showMarks();
    void onSave();

    TeacherOffLogic m_logic;
    ReportList* m_teachers;
    TeacherOffGrid* m_grid = nullptr;
    QComboBox* m_day;
    QPushButton* m_wholeDay;
    QPushButton* m_morning;
    QPushButton* m_afternoon;
    QPushButton* m_clear;
    QPushButton* m_save;
    QLabel* m_note;
};
