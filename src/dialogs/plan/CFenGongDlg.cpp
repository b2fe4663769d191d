#include "dialogs/plan/CFenGongDlg.h"

#include "view/widgets/CPrograssDlg.h"
#include "dialogs/plan/AssignmentView.h"
#include "excel/ExcelProgress.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

#include <atomic>

CFenGongDlg::CFenGongDlg(QWidget* parent)
    : PlanDialog(parent, QStringLiteral("导入教师分工"), 649, 274),
      m_list(nullptr),
      m_skipped(new QLabel(this)),
      m_importButton(new QPushButton(QStringLiteral("导入教师分工"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this))
{
    QStringList letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters << QString(QLatin1Char(c));
    m_list = new ReportList(letters, std::vector<int>(26, 55), this);
    place(m_list, 0, 0, 649, 253);
    m_list->hide();
    place(m_importButton, 523, 256, 60, 14);
    place(m_save, 592, 256, 50, 14);
    place(m_skipped, 4, 256, 515, 14);
    m_skipped->setStyleSheet(QStringLiteral("color: rgb(160, 40, 20);"));
    m_save->setDefault(true);
    // A teacher is changed in its own cell: the list selects cells, not rows.
    m_list->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    connect(m_list, &QTableWidget::cellChanged, this, &CFenGongDlg::onCellChanged);
    connect(m_list->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) { onEditorClosed(hint); });

    m_chooseFile = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, QStringLiteral("导入教师分工"), QString(), fileFilters());
    };
    connect(m_importButton, &QPushButton::clicked, this, &CFenGongDlg::onImport);
    connect(m_save, &QPushButton::clicked, this, &CFenGongDlg::onSave);

    load([this] {
        m_table.loadStored();
        return QString();
    });
    if (m_table.classCount() > 0)
        showTable();
}

QString CFenGongDlg::fileFilters()
{
    return QStringLiteral("工作簿 (*.xlsx *.xls *.ods *.csv);;Excel 工作簿 (*.xlsx);;Excel 97-2003 工作簿 (*.xls);;"
                          "OpenDocument 表格 (*.ods);;CSV 文本 (*.csv);;所有文件 (*)");
}

void CFenGongDlg::onImport()
{
    if (m_table.isModified()) {
        QMessageBox box(QMessageBox::Question, windowTitle(),
                        QStringLiteral("表中修改的 %1 处任课教师还没有保存，导入的工作簿将替换它们。是否继续导入？")
                            .arg(m_table.changedCount()),
                        QMessageBox::NoButton, this);
        QPushButton* proceed = box.addButton(QStringLiteral("导入"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() != proceed)
            return;
    }
    const QString path = m_chooseFile(this);
    if (!path.isEmpty())
        importFile(path);
}

void CFenGongDlg::importFile(const QString& path)
{
    AssignmentImport attempt = m_import;
    Status read;
    std::atomic<int> progressState{ExcelProgress::Running};
    CPrograssDlg::run(this, progressState, [&] { read = attempt.Import(path, progressState); });
    if (!read.ok()) {
        showMessage(read.message());
        return;
    }
    m_import = std::move(attempt);
    m_table.takeImport(m_import);
    showTable();
}

void CFenGongDlg::showTable()
{
    m_filling = true;
    m_list->setRows(m_table.rows());
    for (int r = 0; r < m_list->rowCount(); ++r)
        for (int c = 0; c < m_list->columnCount(); ++c)
            if (m_table.isTeacherCell(r, c))
                m_list->item(r, c)->setFlags(m_list->item(r, c)->flags() | Qt::ItemIsEditable);
    m_filling = false;
    showNotes();
    m_list->show();
}

void CFenGongDlg::showNotes()
{
    QString summary;
    QString tip;
    bool warning = true;
    if (m_table.origin() == AssignmentTable::Origin::Imported) {
        summary = AssignmentView::noteSummary(m_table.assignment());
        tip = AssignmentView::noteLines(m_table.assignment()).join(QLatin1Char('\n'));
    }
    const QString changed = AssignmentView::changeNote(m_table.origin() == AssignmentTable::Origin::Stored,
                                                       m_table.changedCount());
    if (summary.isEmpty()) {
        summary = changed;
        warning = m_table.isModified();
    } else if (m_table.isModified()) {
        summary = changed + QStringLiteral("  ") + summary;
    }
    m_skipped->setStyleSheet(warning ? QStringLiteral("color: rgb(160, 40, 20);") : QStringLiteral("color: rgb(70, 70, 70);"));
    m_skipped->setText(fontMetrics().elidedText(summary, Qt::ElideRight, m_skipped->width()));
    m_skipped->setToolTip(tip.isEmpty() ? summary : tip);
}

void CFenGongDlg::onCellChanged(int row, int column)
{
    if (m_filling)
        return;
    QTableWidgetItem* cell = m_list->item(row, column);
    if (!cell)
        return;
    const QString shown = m_table.setTeacher(row, column, cell->text());
    m_filling = true;
    cell->setText(shown);
    QFont font = cell->font();
    font.setBold(m_table.isChanged(row, column));
    cell->setFont(font);
    m_filling = false;
    showNotes();
}

void CFenGongDlg::keyPressEvent(QKeyEvent* event)
{
    // The list passes on an Enter pressed on a cell that is not being edited;
    // it must not reach "保存", the default button.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* focus = focusWidget();
    if (enter && m_list->isVisible() && focus && (focus == m_list || m_list->isAncestorOf(focus))) {
        event->accept();
        return;
    }
    PlanDialog::keyPressEvent(event);
}

void CFenGongDlg::onEditorClosed(QAbstractItemDelegate::EndEditHint hint)
{
    // Enter took the text: the same subject's cell of the next class becomes current.
    if (hint != QAbstractItemDelegate::SubmitModelCache)
        return;
    const int row = m_list->currentRow();
    const int column = m_list->currentColumn();
    QMetaObject::invokeMethod(
        this,
        [this, row, column] {
            if (row + 1 < m_list->rowCount())
                m_list->setCurrentCell(row + 1, column);
        },
        Qt::QueuedConnection);
}

void CFenGongDlg::onSave()
{
    if (m_table.origin() == AssignmentTable::Origin::Imported) {
        saveImport();
        return;
    }
    if (m_table.classCount() == 0) {
        showMessage(QStringLiteral("未设置教师分工！"));
        return;
    }
    // The stored assignment with changed teachers: the subjects stay, so
    // nothing kept by subject moves and there is nothing to ask.
    if (m_table.isModified()) {
        Status saved;
        if (!save([&] { saved = m_table.SaveChanges(); }))
            return;
        if (!saved.ok()) {
            showMessage(saved.message());
            return;
        }
    }
    accept();
}

void CFenGongDlg::saveImport()
{
    const AssignmentImport& import = m_table.assignment();
    if (import.classCount() == 0) {
        showMessage(QStringLiteral("未设置教师分工！"));
        return;
    }
    // What the stored counts, zones, fixed lessons and groups become; the
    // user agrees before anything moves or is deleted.
    SubjectRemap remap;
    if (!save([&] { remap = import.PrepareSave(); }))
        return;
    const QString question = AssignmentView::saveQuestion(remap);
    if (!question.isEmpty() && !confirmSave(question, remap.losesData()))
        return;
    Status saved;
    if (!save([&] { saved = import.Save(remap); }))
        return;
    if (!saved.ok()) {
        showMessage(saved.message());
        return;
    }
    accept();
}

bool CFenGongDlg::confirmSave(const QString& question, bool losesData)
{
    QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::NoButton, this);
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    // Deleting settings is never the answer Enter gives.
    box.setDefaultButton(losesData ? cancel : save);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == save;
}

void CFenGongDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, width() - 12, height() - 42), assignmentInstructionPicture());
}
