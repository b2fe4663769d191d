#pragma once

#include "dialogs/constraints/ZoneDialog.h"
#include "dialogs/constraints/ZoneEditor.h"

// "设置科目排课区": mark subjects and classes, choose the periods in the week
// grid, "保存" gives every marked pair that zone and writes 科目要排节次.
class CSubYaoPaiDlg : public ZoneDialog
{
    Q_OBJECT

public:
    explicit CSubYaoPaiDlg(QWidget* parent = nullptr);

    const SubjectZoneLogic& logic() const { return m_logic; }
    ReportList* subjectList() const { return m_subjects; }
    ReportList* classList() const { return m_classes; }

protected:
    QString needsSelectionMessage() const override { return QStringLiteral("请选择科目和班级后再确定科目排课区域"); }
    QString countText(int pairs) const override;

private:
    void showMarks();

    SubjectZoneLogic m_logic;
    ReportList* m_subjects;
    ReportList* m_classes;
};
