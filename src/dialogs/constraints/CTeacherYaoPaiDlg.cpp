#include "dialogs/constraints/CTeacherYaoPaiDlg.h"

#include <QHeaderView>
#include <QScrollBar>

CTeacherYaoPaiDlg::CTeacherYaoPaiDlg(QWidget* parent)
    : ZoneDialog(parent, QStringLiteral("设置教师排课区"), 483, 288, m_logic),
      m_teachers(new ReportList({QStringLiteral("教师"), ListMarks::selectAllHeader()}, {60, 65}, this))
{
    place(m_teachers, 7, 4, 99, 260);
    scaleGridArea();
    load([this] { return m_logic.load(); });
    setUpGrid(QRect(184, 272, 163, 8), QRect(367, 269, 50, 14), QRect(426, 269, 50, 14));
    showMarks();

    connect(m_teachers, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickTeacher(row);
        showMarks();
    });
    connect(m_teachers->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column != 1)
            return;
        m_teachers->setHeaderText(1, m_logic.teacherHeaderClicked());
        showMarks();
    });
}

QString CTeacherYaoPaiDlg::countText(int pairs) const
{
    return QStringLiteral("所选教师共任 %1 个班级科目：保存时它们的排课区都设为上面所选的节次").arg(pairs);
}

void CTeacherYaoPaiDlg::showMarks()
{
    std::vector<QStringList> rows;
    for (int i = 0; i < m_logic.teachers.size(); ++i)
        rows.push_back({m_logic.teachers[i], m_logic.teacherMarks.marks[i]});
    const int scroll = m_teachers->verticalScrollBar()->value();
    m_teachers->setRows(rows);
    m_teachers->verticalScrollBar()->setValue(scroll);
    marksChanged();
}
