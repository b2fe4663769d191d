#include "dialogs/constraints/CSubYaoPaiDlg.h"

#include <QHeaderView>
#include <QScrollBar>

CSubYaoPaiDlg::CSubYaoPaiDlg(QWidget* parent)
    : ZoneDialog(parent, QStringLiteral("设置科目排课区"), 591, 295, m_logic),
      m_subjects(new ReportList({QStringLiteral("科目"), ListMarks::selectAllHeader()}, {60, 65}, this)),
      m_classes(new ReportList({QStringLiteral("班级"), ListMarks::selectAllHeader()}, {60, 65}, this))
{
    place(m_subjects, 7, 4, 91, 270);
    place(m_classes, 104, 4, 100, 270);
    scaleGridArea();
    load([this] { return m_logic.load(); });
    setUpGrid(QRect(303, 282, 163, 8), QRect(475, 277, 50, 14), QRect(532, 277, 50, 14));
    showMarks();

    connect(m_subjects, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickSubject(row);
        showMarks();
    });
    connect(m_classes, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickClass(row);
        showMarks();
    });
    connect(m_subjects->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column != 1)
            return;
        m_subjects->setHeaderText(1, m_logic.subjectHeaderClicked());
        showMarks();
    });
    connect(m_classes->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column != 1)
            return;
        m_classes->setHeaderText(1, m_logic.classHeaderClicked());
        showMarks();
    });
}

QString CSubYaoPaiDlg::countText(int pairs) const
{
    return QStringLiteral("已选 %1 个班级科目：保存时它们的排课区都设为上面所选的节次").arg(pairs);
}

void CSubYaoPaiDlg::showMarks()
{
    std::vector<QStringList> subjects;
    for (int i = 0; i < m_logic.subjects.size(); ++i)
        subjects.push_back({m_logic.subjects[i], m_logic.subjectMarks.marks[i]});
    std::vector<QStringList> classes;
    for (int i = 0; i < m_logic.classes.size(); ++i)
        classes.push_back({m_logic.classes[i], m_logic.classMarks.marks[i]});
    const int subjectScroll = m_subjects->verticalScrollBar()->value();
    const int classScroll = m_classes->verticalScrollBar()->value();
    m_subjects->setRows(subjects);
    m_classes->setRows(classes);
    m_subjects->verticalScrollBar()->setValue(subjectScroll);
    m_classes->verticalScrollBar()->setValue(classScroll);
    marksChanged();
}
