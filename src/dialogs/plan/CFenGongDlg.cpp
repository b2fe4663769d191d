#include "dialogs/plan/CFenGongDlg.h"

#include "app/CPrograssDlg.h"
#include "dialogs/plan/AssignmentView.h"
#include "excel/ExcelProgress.h"

#include <QFileDialog>
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

    m_chooseFile = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, QStringLiteral("导入教师分工"), QString(), fileFilters());
    };
    connect(m_importButton, &QPushButton::clicked, this, &CFenGongDlg::onImport);
    connect(m_save, &QPushButton::clicked, this, &CFenGongDlg::onSave);
}

QString CFenGongDlg::fileFilters()
{
    return QStringLiteral("工作簿 (*.xlsx *.xls *.ods *.csv);;Excel 工作簿 (*.xlsx);;Excel 97-2003 工作簿 (*.xls);;"
                          "OpenDocument 表格 (*.ods);;CSV 文本 (*.csv);;所有文件 (*)");
}

void CFenGongDlg::onImport()
{
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
    showResult();
}

void CFenGongDlg::showResult()
{
    m_list->setRows(AssignmentView::resultRows(m_import));
    const QString summary = AssignmentView::noteSummary(m_import);
    m_skipped->setText(fontMetrics().elidedText(summary, Qt::ElideRight, m_skipped->width()));
    m_skipped->setToolTip(AssignmentView::noteLines(m_import).join(QLatin1Char('\n')));
    m_list->show();
}

void CFenGongDlg::onSave()
{
    if (m_import.classCount() == 0) {
        showMessage(QStringLiteral("未设置教师分工！"));
        return;
    }
    // What the stored counts, zones, fixed lessons and groups become; the
    // user agrees before anything moves or is deleted.
    SubjectRemap remap;
    if (!save([&] { remap = m_import.PrepareSave(); }))
        return;
    const QString question = AssignmentView::saveQuestion(remap);
    if (!question.isEmpty() && !confirmSave(question, remap.losesData()))
        return;
    Status saved;
    if (!save([&] { saved = m_import.Save(remap); }))
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
