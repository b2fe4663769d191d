#include "dialogs/constraints/CStableSubDlg.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>

CStableSubDlg::CStableSubDlg(QWidget* parent)
    : PlanDialog(parent, QStringLiteral("设置固定科目"), 573, 244),
      m_classes(new ReportList({QStringLiteral("班级"), ListMarks::selectAllHeader()}, {60, 65}, this)),
      m_days(new ReportList({QStringLiteral("星期"), QStringLiteral("单选")}, {45, 40}, this)),
      m_periods(new ReportList({QStringLiteral("节次"), QStringLiteral("单选")}, {45, 40}, this)),
      m_subjects(new ReportList({QStringLiteral("固定科目"), QStringLiteral("单选")}, {60, 40}, this)),
      m_entries(new ReportList({QStringLiteral("班级"), QStringLiteral("星期"), QStringLiteral("节次"),
                                QStringLiteral("固定科目")},
                               {50, 50, 50, 60}, this)),
      m_add(new QPushButton(QStringLiteral("添加   >>"), this)),
      m_remove(new QPushButton(QStringLiteral("<<   移除"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this))
{
    place(m_classes, 7, 7, 98, 230);
    place(m_days, 110, 7, 72, 231);
    place(m_periods, 187, 7, 72, 231);
    place(m_subjects, 264, 7, 83, 230);
    place(m_add, 353, 87, 52, 19);
    place(m_remove, 353, 112, 52, 19);
    place(m_save, 353, 218, 52, 19);
    place(m_entries, 410, 7, 156, 230);
    m_save->setDefault(true);

    load([this] { return m_logic.load(); });
    showAll();

    connect(m_classes, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickClass(row);
        showAll();
    });
    connect(m_classes->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column != 1)
            return;
        m_classes->setHeaderText(1, m_logic.classHeaderClicked());
        showAll();
    });
    connect(m_days, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickDay(row);
        showAll();
    });
    connect(m_periods, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickPeriod(row);
        showAll();
    });
    connect(m_subjects, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickSubject(row);
        showAll();
    });
    connect(m_add, &QPushButton::clicked, this, [this] {
        m_logic.add();
        showAll();
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        m_logic.remove(m_entries->currentRow());
        showAll();
        m_entries->setCurrentCell(-1, -1);
    });
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (save([this] { m_logic.save(); }))
            accept();
    });
}

void CStableSubDlg::showMarks(ReportList* list, const QStringList& texts, const ListMarks& marks)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < texts.size(); ++i)
        rows.push_back({texts[i], marks.marks.value(i)});
    const int scroll = list->verticalScrollBar()->value();
    list->setRows(rows);
    list->verticalScrollBar()->setValue(scroll);
}

void CStableSubDlg::showAll()
{
    showMarks(m_classes, m_logic.classes, m_logic.classMarks);
    showMarks(m_days, m_logic.days, m_logic.dayMarks);
    showMarks(m_periods, m_logic.periods, m_logic.periodMarks);
    showMarks(m_subjects, m_logic.subjects, m_logic.subjectMarks);
    const int scroll = m_entries->verticalScrollBar()->value();
    const int current = m_entries->currentRow();
    m_entries->setRows(m_logic.entries);
    m_entries->verticalScrollBar()->setValue(scroll);
    if (current >= 0 && current < m_entries->rowCount())
        m_entries->setCurrentCell(current, 0);
}
