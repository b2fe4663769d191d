#include "app/OutputCommands.h"

#include "app/CMainFrame.h"
#include "app/CPrintDlg.h"
#include "app/OutputRun.h"
#include "dialogs/plan/CSchoolDlg.h"
#include "excel/PageSheetsExport.h"
#include "print/PageOutput.h"
#include "print/PrintDocument.h"
#include "store/SchoolStore.h"
#include "store/StoreError.h"
#include "view/widgets/CVorlatView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>

using Kind = PrintChoice::Kind;

namespace {

const char* const kCaptions[] = {"打印课表", "导出 PDF", "导出图片", "导出工作簿"};

QString caption(OutputCommands::Output output)
{
    return QString::fromUtf8(kCaptions[int(output)]);
}

QString lastFolder()
{
    const QString folder = QSettings().value(QStringLiteral("export/folder")).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace

OutputCommands::OutputCommands(CMainFrame* frame)
    : QObject(frame), m_frame(frame)
{
    m_menu = new QMenu(QStringLiteral("课表(&T)"), frame);
    m_menu->setObjectName(QStringLiteral("outputMenu"));
    m_school = m_menu->addAction(QStringLiteral("学校信息…"), this, &OutputCommands::editSchoolDetails);
    m_menu->addSeparator();
    m_actions[int(Output::Print)] = m_menu->addAction(QStringLiteral("打印…"), this, [this] { run(Output::Print); });
    m_actions[int(Output::Print)]->setShortcut(QKeySequence::Print);
    m_selected = m_menu->addAction(QStringLiteral("打印选中的班级或教师…"), this, [this] {
        const auto named = PrintChoice::selected(m_frame->view()->model());
        if (!named) {
            QMessageBox::information(m_frame, QStringLiteral("Vorlat"),
                                     QStringLiteral("请先在总课表中选中一个班级的课，或在教师表中选中一位教师。"));
            return;
        }
        run(Output::Print, named);
    });
    m_menu->addSeparator();
    m_actions[int(Output::Pdf)] = m_menu->addAction(QStringLiteral("导出 PDF…"), this, [this] { run(Output::Pdf); });
    m_actions[int(Output::Pictures)] =
        m_menu->addAction(QStringLiteral("导出图片…"), this, [this] { run(Output::Pictures); });
    m_actions[int(Output::Workbook)] =
        m_menu->addAction(QStringLiteral("导出分页工作簿…"), this, [this] { run(Output::Workbook); });

    // Before 帮助, the last menu.
    QMenuBar* bar = frame->menuBar();
    const QList<QAction*> menus = bar->actions();
    if (menus.isEmpty())
        bar->addMenu(m_menu);
    else
        bar->insertMenu(menus.first(), m_menu);

    connect(frame->view(), &CVorlatView::nameMenuRequested, this, &OutputCommands::showNameMenu);
}

QAction* OutputCommands::action(Output output) const
{
    return m_actions[int(output)];
}

PrintDocument OutputCommands::document(const PrintChoice& choice, const TimetableData& data,
                                       const SchoolDetails& school)
{
    switch (choice.kind()) {
    case Kind::MasterOverview:
        return PrintDocument::MasterOverview(data, school);
    case Kind::TeacherOverview:
        return PrintDocument::TeacherOverview(data, school);
    case Kind::Teachers:
        return PrintDocument::Teachers(data, school, choice.chosenNames());
    case Kind::Classes:
        break;
    }
    return PrintDocument::Classes(data, school, choice.chosenRows());
}

QString OutputCommands::suggestedName(const PrintChoice& choice, Output output)
{
    QString name;
    switch (choice.kind()) {
    case Kind::MasterOverview: name = QStringLiteral("总课表"); break;
    case Kind::TeacherOverview: name = QStringLiteral("教师总课表"); break;
    case Kind::Classes:
    case Kind::Teachers:
        if (choice.chosenCount() == 1)
            name = choice.chosenNames().first();
        else
            name = choice.kind() == Kind::Classes ? QStringLiteral("班级课表") : QStringLiteral("教师课表");
        break;
    }
    switch (output) {
    case Output::Pdf: return PageOutput::SafeFileName(name, QStringLiteral(".pdf")) + QStringLiteral(".pdf");
    case Output::Workbook: return PageOutput::SafeFileName(name, QStringLiteral(".xlsx")) + QStringLiteral(".xlsx");
    default: return PageOutput::SafeFileName(name, QString());
    }
}

void OutputCommands::editSchoolDetails()
{
    CSchoolDlg dialog(m_frame);
    dialog.exec(); // it saves on 保存 itself
}

std::optional<SchoolDetails> OutputCommands::loadSchool()
{
    try {
        return SchoolStore::Load();
    } catch (const StoreError& error) {
        QMessageBox::critical(m_frame, QStringLiteral("Vorlat"), QStringLiteral("无法读取学校信息。\n%1").arg(error.message()));
        return std::nullopt;
    }
}

void OutputCommands::run(Output output, const std::optional<PrintChoice::Named>& only)
{
    const TimetableModel& shown = m_frame->view()->model();
    PrintChoice choice = PrintChoice::fromTimetable(shown);
    if (shown.classCount == 0) {
        QMessageBox::information(m_frame, QStringLiteral("Vorlat"), choice.refusal());
        return;
    }
    if (only) {
        if (!choice.chooseOnly(only->kind, only->name))
            return;
    } else {
        // The teacher table shown: the teachers come first.
        if (shown.layout.showsTeacherTable())
            choice.setKind(Kind::Teachers);
        const QString go = output == Output::Print ? QStringLiteral("打印预览…") : QStringLiteral("导出…");
        CPrintDlg dialog(m_frame, caption(output), go, choice);
        dialog.offerOverviews(output != Output::Workbook);
        if (dialog.exec() != QDialog::Accepted)
            return;
        choice = dialog.choice();
    }
    const std::optional<SchoolDetails> school = loadSchool();
    if (!school)
        return;
    // The document holds copies: the timetable may be painted on the worker.
    const PrintDocument pages = document(choice, shown, *school);
    if (output == Output::Print) {
        preview(pages, QFileInfo(suggestedName(choice, output)).completeBaseName());
        return;
    }
    const QString target = askTarget(choice, output);
    if (target.isEmpty())
        return;
    const int count = output == Output::Pictures ? pages.pictureCount() : pages.pageCount();
    const QString label = output == Output::Pictures ? QStringLiteral("正在写入 %1 张图片……").arg(count)
                        : output == Output::Pdf      ? QStringLiteral("正在写入 %1 页 PDF……").arg(count)
                                                     : QStringLiteral("正在写入 %1 张工作表……").arg(pages.pages().size());
    const OutputResult result = OutputRun::run(m_frame, caption(output), label, [&](const OutputProgress& progress) {
        switch (output) {
        case Output::Pdf: return PageOutput::WritePdf(pages, target, progress);
        case Output::Pictures: return PageOutput::WritePictures(pages, target, progress);
        default: return PageSheetsExport::Write(pages.pages(), target, progress);
        }
    });
    report(result, output, target);
}

void OutputCommands::preview(const PrintDocument& document, const QString& what)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(document.pageLayout());
    printer.setDocName(what);
    QPrintPreviewDialog dialog(&printer, m_frame);
    dialog.setObjectName(QStringLiteral("printPreview"));
    dialog.setWindowTitle(QStringLiteral("打印预览 — %1").arg(what));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&document](QPrinter* device) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        document.paintAll(*device);
        QApplication::restoreOverrideCursor();
    });
    dialog.resize(m_frame->size() * 9 / 10);
    dialog.exec();
}

QString OutputCommands::askTarget(const PrintChoice& choice, Output output)
{
    const QString folder = lastFolder();
    QString chosen;
    if (output == Output::Pictures) {
        chosen = QFileDialog::getExistingDirectory(m_frame, QStringLiteral("选择存放图片的文件夹"), folder);
    } else {
        const bool pdf = output == Output::Pdf;
        QFileDialog dialog(m_frame, caption(output), QDir(folder).filePath(suggestedName(choice, output)));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(pdf ? QStringLiteral("PDF 文件 (*.pdf)") : QStringLiteral("Excel 工作簿 (*.xlsx)"));
        dialog.setDefaultSuffix(pdf ? QStringLiteral("pdf") : QStringLiteral("xlsx"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().first();
    }
    if (!chosen.isEmpty())
        QSettings().setValue(QStringLiteral("export/folder"),
                             output == Output::Pictures ? chosen : QFileInfo(chosen).absolutePath());
    return chosen;
}

void OutputCommands::report(const OutputResult& result, Output output, const QString& target)
{
    if (result.cancelled) {
        m_frame->showNote(QStringLiteral("已取消导出，没有留下文件"));
        return;
    }
    if (!result.ok()) {
        QMessageBox::warning(m_frame, QStringLiteral("Vorlat"), QStringLiteral("课表没有导出。\n%1").arg(result.status.message()));
        return;
    }
    if (output == Output::Pictures)
        QMessageBox::information(m_frame, QStringLiteral("Vorlat"),
                                 QStringLiteral("已写入 %1 张图片到：\n%2")
                                     .arg(result.written.size())
                                     .arg(QDir::toNativeSeparators(target)));
    else
        QMessageBox::information(m_frame, QStringLiteral("Vorlat"),
                                 QStringLiteral("课表已导出到：\n%1").arg(QDir::toNativeSeparators(target)));
}

void OutputCommands::showNameMenu(const PrintChoice::Named& named, const QPoint& globalPos)
{
    QMenu menu(m_frame);
    menu.setObjectName(QStringLiteral("nameMenu"));
    const QString who = QStringLiteral("“%1”").arg(named.name);
    QAction* print = menu.addAction(QStringLiteral("打印%1的课表…").arg(who));
    QAction* pdf = menu.addAction(QStringLiteral("将%1的课表导出为 PDF…").arg(who));
    QAction* picture = menu.addAction(QStringLiteral("将%1的课表导出为图片…").arg(who));
    QAction* chosen = menu.exec(globalPos);
    if (chosen == print)
        run(Output::Print, named);
    else if (chosen == pdf)
        run(Output::Pdf, named);
    else if (chosen == picture)
        run(Output::Pictures, named);
}
