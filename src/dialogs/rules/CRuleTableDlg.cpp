#include "dialogs/rules/CRuleTableDlg.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

CRuleTableDlg::CRuleTableDlg(RuleTableLogic::Kind kind, QWidget* parent)
    : PlanDialog(parent, RuleTableLogic::caption(kind), 330, 230),
      m_logic(kind),
      m_table(new QTableWidget(this)),
      m_hint(new QLabel(RuleTableLogic::hint(kind), this)),
      m_add(new QPushButton(QStringLiteral("添加一行"), this)),
      m_remove(new QPushButton(QStringLiteral("删除所选行"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this))
{
    m_save->setDefault(true);
    m_add->setAutoDefault(false);
    m_remove->setAutoDefault(false);
    place(m_table, 7, 7, 316, 170);
    place(m_hint, 7, 181, 316, 20);
    place(m_add, 7, 209, 60, 14);
    place(m_remove, 72, 209, 60, 14);
    place(m_save, 263, 209, 60, 14);
    m_hint->setWordWrap(true);
    m_table->setColumnCount(4);
    m_table->setHorizontalHeaderLabels(RuleTableLogic::headers(kind));
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::AllEditTriggers);

    load([this] { return m_logic.load(); });
    showRows();

    connect(m_add, &QPushButton::clicked, this, [this] {
        takeRows();
        m_logic.addRow();
        showRows();
        m_table->setFocus();
        m_table->setCurrentCell(m_table->rowCount() - 1, 0); // opens the new row's first cell for typing
    });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        takeRows();
        const int row = m_table->currentRow();
        if (row < 0) {
            showMessage(QStringLiteral("请先选择要删除的行"));
            return;
        }
        m_logic.removeRow(row);
        showRows();
    });
    connect(m_save, &QPushButton::clicked, this, &CRuleTableDlg::onSave);
}

void CRuleTableDlg::showRows()
{
    m_table->setRowCount(static_cast<int>(m_logic.rows.size()));
    for (int r = 0; r < m_table->rowCount(); ++r)
        for (int c = 0; c < 4; ++c)
            m_table->setItem(r, c, new QTableWidgetItem(m_logic.rows[static_cast<size_t>(r)].value(c)));
}

void CRuleTableDlg::takeRows()
{
    // A cell being typed in is committed when the focus leaves it (the
    // buttons take the focus on a click).
    m_logic.rows.clear();
    for (int r = 0; r < m_table->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < 4; ++c)
            row << (m_table->item(r, c) ? m_table->item(r, c)->text() : QString());
        m_logic.rows.push_back(row);
    }
}

void CRuleTableDlg::onSave()
{
    takeRows();
    QString refused;
    if (!save([this, &refused] { refused = m_logic.save(); }))
        return;
    if (!refused.isEmpty()) {
        showMessage(refused);
        return;
    }
    accept();
}
