#include "dialogs/plan/CClassNumProDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
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
      m_save(new QPushButton(QStringLiteral("保存"), this)),
      m_copy(new QPushButton(QStringLiteral("复制到…"), this))
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
    place(m_copy, 507, 166, 50, 14);
    m_copy->setToolTip(QStringLiteral("把列表中选中年级的各科周课时复制到其他年级"));
    // Enter belongs to the cells: "保存" is pressed by its button only.
    for (QPushButton* button : {m_copy, m_clear, m_save}) {
        button->setDefault(false);
        button->setAutoDefault(false);
    }

    m_editor = new QLineEdit(m_list->viewport());
    m_editor->setAlignment(Qt::AlignCenter);
    m_editor->setValidator(new CountValidator(m_logic, m_editor));
    m_editor->hide();
    m_editor->installEventFilter(this);
    m_list->installEventFilter(this);

    fillList();
    connect(m_list, &ReportList::rowClicked, this, &CClassNumProDlg::onCellClicked);
    connect(m_editor, &QLineEdit::textEdited, this, &CClassNumProDlg::onEditorChanged);
    connect(m_editor, &QLineEdit::editingFinished, this, &CClassNumProDlg::onEditorDone);
    connect(m_clear, &QPushButton::clicked, this, &CClassNumProDlg::onClear);
    connect(m_copy, &QPushButton::clicked, this, &CClassNumProDlg::onCopy);
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
    // Grades no class belongs to cannot be edited: they look it.
    for (int r = 0; r < static_cast<int>(m_logic.rows.size()); ++r)
        m_list->setRowLocked(r, !m_logic.canEdit(r, 2));
}

void CClassNumProDlg::onCellClicked(int row, int column)
{
    m_editRow = row;
    m_editColumn = column;
    beginEdit(row, column);
}

bool CClassNumProDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return PlanDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool shift = key->modifiers() & Qt::ShiftModifier;
    if (watched == m_editor && m_editing) {
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            moveEditor(shift ? LessonPlanLogic::Step::Up : LessonPlanLogic::Step::Down);
            return true;
        case Qt::Key_Tab:
            moveEditor(shift ? LessonPlanLogic::Step::Left : LessonPlanLogic::Step::Right);
            return true;
        case Qt::Key_Backtab:
            moveEditor(LessonPlanLogic::Step::Left);
            return true;
        case Qt::Key_Escape:
            cancelEdit();
            return true;
        default:
            break;
        }
    } else if (watched == m_list && !m_editing
               && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_F2)) {
        // Enter on the list opens the editor on the current cell.
        const QModelIndex current = m_list->currentIndex();
        if (current.isValid() && m_logic.canEdit(current.row(), current.column())) {
            onCellClicked(current.row(), current.column());
            return true;
        }
    }
    return PlanDialog::eventFilter(watched, event);
}

void CClassNumProDlg::moveEditor(LessonPlanLogic::Step step)
{
    const auto [row, column] = m_logic.nextCell(m_editRow, m_editColumn, step);
    onEditorDone();
    if (row < 0) {
        // Nowhere to go: the keyboard stays on the list at this cell.
        m_list->setCurrentCell(m_editRow, m_editColumn);
        m_list->setFocus();
        return;
    }
    m_list->setCurrentCell(row, column);
    onCellClicked(row, column);
}

void CClassNumProDlg::cancelEdit()
{
    m_editing = false;
    m_editor->hide();
    if (m_logic.canEdit(m_editRow, m_editColumn))
        m_list->setText(m_editRow, 0, m_logic.cell(m_editRow, 0));
    m_list->setCurrentCell(m_editRow, m_editColumn);
    m_list->setFocus();
}

void CClassNumProDlg::beginEdit(int row, int column)
{
    if (!m_logic.canEdit(row, column))
        return;
    m_list->scrollTo(m_list->model()->index(row, column));
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

void CClassNumProDlg::onCopy()
{
    onEditorDone();
    const int from = m_list->currentRow();
    if (!m_logic.canEdit(from, 2)) {
        showMessage(QStringLiteral("请先在列表中点选要复制的年级（教师分工中有班级的年级）"));
        return;
    }
    const std::vector<int> targets = m_logic.copyTargets(from);
    if (targets.empty()) {
        showMessage(QStringLiteral("教师分工中没有其他年级，无处可复制"));
        return;
    }
    QDialog chooser(this);
    chooser.setWindowTitle(QStringLiteral("复制周课时"));
    auto* layout = new QVBoxLayout(&chooser);
    layout->addWidget(new QLabel(QStringLiteral("把%1的各科周课时复制到：").arg(m_logic.cell(from, 1)), &chooser));
    std::vector<std::pair<int, QCheckBox*>> boxes;
    for (const int r : targets) {
        auto* box = new QCheckBox(m_logic.cell(r, 1), &chooser);
        layout->addWidget(box);
        boxes.emplace_back(r, box);
    }
    auto* buttons = new QDialogButtonBox(&chooser);
    buttons->addButton(QStringLiteral("复制"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &chooser, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &chooser, &QDialog::reject);
    if (chooser.exec() != QDialog::Accepted)
        return;
    std::vector<int> chosen;
    for (const auto& [row, box] : boxes)
        if (box->isChecked())
            chosen.push_back(row);
    if (m_logic.copyCounts(from, chosen) > 0)
        fillList();
    m_list->setCurrentCell(from, 1);
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
