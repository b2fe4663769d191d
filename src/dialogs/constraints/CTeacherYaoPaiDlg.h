#pragma once

#include "dialogs/constraints/ZoneDialog.h"
#include "dialogs/constraints/ZoneEditor.h"

// "设置教师排课区": mark teachers, choose the periods in the week grid;
// "保存" gives every lesson of the marked teachers that zone and writes
// 教师要排节次.
class CTeacherYaoPaiDlg : public ZoneDialog
{
    Q_OBJECT

public:
    explicit CTeacherYaoPaiDlg(QWidget* parent = nullptr);

    const TeacherZoneLogic& logic() const { return m_logic; }
    ReportList* teacherList() const { return m_teachers; }

protected:
    QString needsSelectionMessage() const override { return QStringLiteral("请选择教师后再确定排课区"); }
    QString countText(int pairs) const override;

private:
    void showMarks();

    TeacherZoneLogic m_logic;
    ReportList* m_teachers;
};
