#include "dialogs/plan/CCombineSetDlg.h"

#include <QLabel>
#include <QPushButton>

CCombineSetDlg::CCombineSetDlg(QWidget* parent)
    : PlanDialog(parent, QStringLiteral("合班设置"), 555, 287),
      m_subjects(new ReportList({QStringLiteral("合班科目"), QStringLiteral("单选")}, {60, 50}, this)),
      m_classes(new ReportList({QStringLiteral("合班班级"), QStringLiteral("任课教师"), QStringLiteral("选择")},
                               {60, 60, 50}, this)),
      m_groups(new ReportList({QStringLiteral("合班科目"), QStringLiteral("合班1"), QStringLiteral("合班2"),
                               QStringLiteral("合班3"), QStringLiteral("合班4"), QStringLiteral("合班5")},
                              std::vector<int>(6, 60), this)),
      m_add(new QPushButton(QStringLiteral("添加  >>"), this)),
      m_remove(new QPushButton(QStringLiteral("<<  移除"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this)),
      m_status(new QLabel(this))
{
    place(m_subjects, 7, 7, 87, 273);
    place(m_classes, 100, 7, 127, 273);
    place(m_add, 234, 99, 56, 21);
    place(m_remove, 234, 127, 56, 21);
    place(m_save, 233, 259, 56, 21);
    place(m_groups, 295, 7, 252, 273);
    place(m_status, 231, 152, 60, 100);
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    m_status->setStyleSheet(QStringLiteral("color: rgb(160, 40, 20);"));
    m_save->setDefault(true);

    load([this] {
        m_logic.load();
        return QString();
    });
    showSubjects();
    showClasses();
    showGroups();

    connect(m_subjects, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickSubject(row);
        showSubjects();
        showClasses();
    });
    connect(m_classes, &ReportList::rowClicked, this, [this](int row) {
        m_logic.clickClass(row);
        showClasses();
    });
    connect(m_add, &QPushButton::clicked, this, &CCombineSetDlg::onAdd);
    connect(m_remove, &QPushButton::clicked, this, &CCombineSetDlg::onRemove);
    connect(m_save, &QPushButton::clicked, this, &CCombineSetDlg::onSave);
}

void CCombineSetDlg::showSubjects()
{
    std::vector<QStringList> rows;
    for (int i = 0; i < m_logic.subjects.size(); ++i)
        rows.push_back({m_logic.subjects[i], m_logic.subjectMarks.marks[i]});
    m_subjects->setRows(rows);
}

void CCombineSetDlg::showClasses()
{
    std::vector<QStringList> rows;
    for (const CombineLogic::ClassRow& row : m_logic.classRows)
        rows.push_back({row.className, row.teacher, row.ticked ? ListMarks::check() : QString()});
    m_classes->setRows(rows);
    m_add->setEnabled(m_logic.canAdd());
    m_status->setText(m_logic.status());
}

void CCombineSetDlg::showGroups()
{
    m_groups->setRows(m_logic.groups);
}

void CCombineSetDlg::onAdd()
{
    const QString refusal = m_logic.add();
    if (!refusal.isEmpty()) {
        showMessage(refusal);
        return;
    }
    showClasses();
    showGroups();
}

void CCombineSetDlg::onRemove()
{
    const int row = m_groups->currentRow();
    if (row < 0)
        return;
    m_logic.removeGroup(row);
    showGroups();
}

void CCombineSetDlg::onSave()
{
    if (save([this] { m_logic.save(); }))
        accept();
}
