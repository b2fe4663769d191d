#include "dialogs/plan/CClassNumProDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace {

// Lets the editor take only what a cell accepts: a keystroke that would make
// the count larger than the week's lessons is not taken.
class CountValidator : public QValidator
{
public:
    CountValidator(const LessonPlanLogic& logic, QObject* parent) : QValidator(parent), m_logic(logic) {}

    State validate(QString& input, int&) const override
    {
        return m_logic.acceptsCount(input) ? Acceptable : Invalid;
    }

private:
    const LessonPlanLogic& m_logic;
};

} // namespace

CClassNumProDlg::CClassNumProDlg(QWidget* parent)
    : PlanDialog(parent, QStringLiteral("周课时计划"), 683, 186),
      m_list(nullptr),
      m_editor(nullptr),
      m_clear(new QPushButton(QStringLiteral("清空列表"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this))
{
    load([this] {
        m_logic.load();
        return QString();
    });

    QStringList headers{QStringLiteral("周课时"), QStringLiteral("年级")};
    std::vector<int> widths{50, 60};
    for (const QString& subject : m_logic.subjects) {
        headers << subject;
        widths.push_back(45);
    }
    m_list = new ReportList(headers, widths, this);
    place(m_list, 7, 4, 669, 158);
    auto* note = new QLabel(
        QStringLiteral("注：根据教师分工安排，只需在对应的年级设置课时，且周课时总量要与周计划一致！"), this);
    place(note, 14, 171, 305, 8);
    note->adjustSize();
    place(m_clear, 567, 166, 50, 14);
    place(m_save, 627, 166, 50, 14);
    m_save->setDefault(true);

    m_editor = new QLineEdit(m_list->viewport());
    m_editor->setAlignment(Qt::AlignCenter);
    m_editor->setValidator(new CountValidator(m_logic, m_editor));
    m_editor->hide();

    fillList();
    connect(m_list, &ReportList::rowClicked, this, &CClassNumProDlg::onCellClicked);
    connect(m_editor, &QLineEdit::textEdited, this, &CClassNumProDlg::onEditorChanged);
    connect(m_editor, &QLineEdit::editingFinished, this, &CClassNumProDlg::onEditorDone);
    connect(m_clear, &QPushButton::clicked, this, &CClassNumProDlg::onClear);
    connect(m_save, &QPushButton::clicked, this, &CClassNumProDlg::onSave);
}

CClassNumProDlg::~CClassNumProDlg()
{
    // Hiding a dialog that is being destroyed takes the focus from the
    // editor; that must not reach this half-destroyed dialog.
    m_editor->disconnect(this);
}

void CClassNumProDlg::fillList()
{
    m_list->setRows(m_logic.rows);
}

void CClassNumProDlg::onCellClicked(int row, int column)
{
    m_editRow = row;
    m_editColumn = column;
    if (!m_logic.canEdit(row, column))
        return;
    m_editor->setGeometry(m_list->visualRect(m_list->model()->index(row, column)));
    m_editor->setText(m_logic.cell(row, column));
    m_editing = true;
    m_editor->show();
    m_editor->setFocus();
    m_editor->selectAll();
}

void CClassNumProDlg::onEditorChanged(const QString& text)
{
    if (m_logic.canEdit(m_editRow, m_editColumn))
        m_list->setText(m_editRow, 0, m_logic.totalWhileTyping(m_editRow, m_editColumn, text));
}

void CClassNumProDlg::onEditorDone()
{
    if (!m_editing)
        return;
    m_editing = false;
    const QString text = m_editor->text();
    m_editor->hide();
    if (!m_logic.canEdit(m_editRow, m_editColumn))
        return;
    m_logic.setCell(m_editRow, m_editColumn, text);
    m_list->setText(m_editRow, m_editColumn, m_logic.cell(m_editRow, m_editColumn));
    m_list->setText(m_editRow, 0, m_logic.cell(m_editRow, 0));
}

void CClassNumProDlg::onClear()
{
    onEditorDone();
    m_logic.clearAll();
    fillList();
}

void CClassNumProDlg::onSave()
{
    onEditorDone();
    QString refusal;
    if (!save([&] { refusal = m_logic.save(); }))
        return;
    if (!refusal.isEmpty()) {
        showMessage(refusal);
        return;
    }
    accept();
}
