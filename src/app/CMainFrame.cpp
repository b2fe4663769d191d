#include "app/CMainFrame.h"

#include "app/CDoFinshDlg.h"
#include "app/CHelpDlg.h"
#include "view/widgets/CPrograssDlg.h"
#include "app/EditIcons.h"
#include "app/HelpPages.h"
#include "app/OptimizeProgress.h"
#include "app/OptimizeRun.h"
#include "app/OutputCommands.h"
#include "view/ShownFaults.h"
#include "view/widgets/PictureBook.h"
#include "app/TileActions.h"
#include "dialogs/daily/DailyMenu.h"
#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "store/PlanReader.h"
#include "excel/TimetableExport.h"
#include "store/StoreError.h"
#include "view/widgets/CVorlatView.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <atomic>
#include <QFileDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <thread>

#ifndef VORLAT_PROJECT_URL
#define VORLAT_PROJECT_URL ""
#endif

namespace {

const struct
{
    int id;
    const char* text;
} kToolButtons[] = {
    {ToolbarCommands::Home, "返回主页"},      {ToolbarCommands::Adjust, "手工调课"},
    {ToolbarCommands::Save, "保存课表"},      {ToolbarCommands::MasterTable, "查询总表"},
    {ToolbarCommands::TeacherTable, "查教师表"}, {ToolbarCommands::Export, "导出课表"},
    {ToolbarCommands::Optimize, "优化课表"},
};

} // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Vorlat"));
    setWindowIcon(PictureBook::picture(PictureBook::AppIcon));
    m_view = new CVorlatView(this);
    setCentralWidget(m_view);
    buildLegendBar();
    buildEditActions();
    buildToolBar();
    commandAction(ToolbarCommands::Optimize)->setEnabled(false); // on the home screen
    buildMenu();
    new OutputCommands(this); // the 课表 menu: school details, printing and the page outputs
    connect(m_view, &CVorlatView::homeAction, this, [this](HomeScreen::Action a) { homeAction(int(a)); });
    connect(m_view, &CVorlatView::modifiedChanged, this, [this] { updateTitle(); });
    // The optimisation's before → after holds only while its step is done.
    // So does the run's line: undoing a run brings back the line of the one before.
    connect(&m_view->undoStack(), &QUndoStack::indexChanged, this, [this] {
        followRunSteps();
        updateResultLine();
    });
    m_noteTimer.setSingleShot(true);
    m_noteTimer.setInterval(4000);
    connect(&m_noteTimer, &QTimer::timeout, this, [this] { updateResultLine(); });
    updateResultLine();
}

CMainFrame::~CMainFrame()
{
    // The view and its undo stack outlive this part of the window: their
    // last signals must not reach it.
    disconnect(&m_view->undoStack(), nullptr, this, nullptr);
}

void CMainFrame::buildEditActions()
{
    // Undo and redo of runs, optimisations and hand swaps: in the 编辑 menu, on
    // the toolbar and from the keyboard anywhere in the window. Each is
    // enabled only while there is a step to take; its tooltip names the step.
    QUndoStack& steps = m_view->undoStack();
    m_undoAction = new QAction(EditIcons::undo(), QStringLiteral("撤销"), this);
    m_undoAction->setObjectName(QStringLiteral("undo"));
    m_undoAction->setShortcuts(QKeySequence::Undo);
    m_redoAction = new QAction(EditIcons::redo(), QStringLiteral("重做"), this);
    m_redoAction->setObjectName(QStringLiteral("redo"));
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(m_undoAction, &QAction::triggered, &steps, &QUndoStack::undo);
    connect(m_redoAction, &QAction::triggered, &steps, &QUndoStack::redo);
    const auto follow = [this] {
        const QUndoStack& steps = m_view->undoStack();
        m_undoAction->setEnabled(steps.canUndo());
        m_redoAction->setEnabled(steps.canRedo());
        m_undoAction->setToolTip(steps.canUndo() ? QStringLiteral("撤销：%1（Ctrl+Z）").arg(steps.undoText())
                                                 : QStringLiteral("没有可撤销的操作"));
        m_redoAction->setToolTip(steps.canRedo() ? QStringLiteral("重做：%1（Ctrl+Y）").arg(steps.redoText())
                                                 : QStringLiteral("没有可重做的操作"));
    };
    connect(&steps, &QUndoStack::indexChanged, this, follow);
    connect(&steps, &QUndoStack::canUndoChanged, this, follow);
    connect(&steps, &QUndoStack::canRedoChanged, this, follow);
    follow();
    addAction(m_undoAction);
    addAction(m_redoAction);
}

void CMainFrame::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(40, 40));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (int i = 0; i < 7; ++i) {
        auto* action = new QAction(QIcon(PictureBook::picture(PictureBook::FirstToolIcon + i)),
                                   QString::fromUtf8(kToolButtons[i].text), this);
        action->setData(kToolButtons[i].id);
        const int id = kToolButtons[i].id;
        connect(action, &QAction::triggered, this, [this, id] { command(id); });
        m_toolBar->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action)))
            button->setMinimumSize(60, 60);
    }
    m_toolBar->addSeparator();
    for (QAction* action : {m_undoAction, m_redoAction}) {
        m_toolBar->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action)))
            button->setMinimumSize(60, 60);
    }
    m_toolBar->addSeparator();
    buildFindBox();
}

void CMainFrame::buildFindBox()
{
    // Part of a class's or a teacher's name: the table goes to the first row
    // that has it while it is typed, Enter to the next one.
    m_findBox = new QLineEdit(m_toolBar);
    m_findBox->setObjectName(QStringLiteral("findBox"));
    m_findBox->setPlaceholderText(QStringLiteral("查找班级或教师"));
    m_findBox->setToolTip(QStringLiteral("输入班级或教师名称的一部分（Ctrl+F），回车找下一个"));
    m_findBox->setClearButtonEnabled(true);
    m_findBox->setFixedWidth(190);
    m_findBox->setEnabled(false); // on the home screen
    m_toolBar->addWidget(m_findBox);
    connect(m_findBox, &QLineEdit::textEdited, this, [this] { findInTable(false); });
    connect(m_findBox, &QLineEdit::returnPressed, this, [this] { findInTable(true); });

    m_findAction = new QAction(QStringLiteral("查找班级或教师"), this);
    m_findAction->setObjectName(QStringLiteral("find"));
    m_findAction->setShortcuts(QKeySequence::Find);
    m_findAction->setEnabled(false);
    connect(m_findAction, &QAction::triggered, this, [this] {
        m_findBox->setFocus(Qt::ShortcutFocusReason);
        m_findBox->selectAll();
    });
    addAction(m_findAction);
}

void CMainFrame::findInTable(bool next)
{
    const QString text = m_findBox->text().trimmed();
    m_findBox->setStyleSheet(QString());
    if (text.isEmpty() || m_flags.showTimetable == 0)
        return;
    if (m_view->FindRow(text, next))
        return;
    m_findBox->setStyleSheet(QStringLiteral("QLineEdit { background: #fde2e2; }"));
    showNote(QStringLiteral("没有找到名称含“%1”的%2")
                 .arg(text, m_flags.showTeacherTable != 0 ? QStringLiteral("教师") : QStringLiteral("班级")));
    m_resultLine->setStyleSheet(QStringLiteral("color: #b42828;"));
}

void CMainFrame::buildLegendBar()
{
    auto* bar = new QToolBar(QStringLiteral("图例"), this);
    bar->setObjectName(QStringLiteral("legend"));
    bar->setMovable(false);
    bar->setFloatable(false);
    auto* legend = new QWidget(bar);
    auto* layout = new QHBoxLayout(legend);
    layout->setContentsMargins(16, 2, 16, 2);
    layout->setSpacing(6);
    const char* texts[] = {"冲突科目", "可调课科目", "同一教师科目", "固定科目", "合班科目"};
    for (int i = 0; i < 5; ++i) {
        auto* swatch = new QLabel(legend);
        swatch->setObjectName(QStringLiteral("swatch%1").arg(1000 + i));
        swatch->setPixmap(PictureBook::picture(PictureBook::FirstSwatch + i));
        swatch->setFixedSize(16, 16);
        swatch->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        layout->addWidget(swatch, 0, Qt::AlignVCenter);
        layout->addWidget(new QLabel(QString::fromUtf8(texts[i]), legend));
        layout->addSpacing(34);
    }
    m_resultLine = new QLabel(legend);
    m_resultLine->setObjectName(QStringLiteral("resultLine"));
    m_resultLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long line gives way rather than pushing the version off the bar.
    m_resultLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_resultLine, 1);
    layout->addWidget(new QLabel(QStringLiteral("版本：1.0"), legend));
    bar->addWidget(legend);
    addToolBar(Qt::BottomToolBarArea, bar);
}

void CMainFrame::buildMenu()
{
    addDailyMenu(*this);
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    help->addAction(QStringLiteral("使用指南"), this, [this] {
        CHelpDlg dialog(this, CHelpDlg::buttonsOf(m_toolBar));
        dialog.exec();
    });
    help->addAction(QStringLiteral("视频教程"), this,
                    [this] { HelpPages::open(this, guideUrl(), QStringLiteral("使用指南")); });
    help->addAction(QStringLiteral("软件网站"), this,
                    [this] { HelpPages::open(this, projectUrl(), QStringLiteral("软件网站")); });
    // 编辑 comes before 帮助 in the bar.
    auto* edit = new QMenu(QStringLiteral("编辑(&E)"), menuBar());
    edit->setObjectName(QStringLiteral("editMenu"));
    edit->addAction(m_undoAction);
    edit->addAction(m_redoAction);
    edit->addSeparator();
    edit->addAction(m_findAction);
    menuBar()->insertMenu(help->menuAction(), edit);
}

QUrl CMainFrame::guideUrl()
{
    // Installed beside the program as <prefix>/share/vorlat/guide; the build
    // tree has the same layout.
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const QString& relative : {QStringLiteral("../share/vorlat/guide/index.html"),
                                    QStringLiteral("../../share/vorlat/guide/index.html")}) {
        const QFileInfo file(bin.filePath(relative));
        if (file.exists())
            return QUrl::fromLocalFile(file.canonicalFilePath());
    }
    return QUrl::fromLocalFile(QStringLiteral("/usr/share/vorlat/guide/index.html"));
}

QUrl CMainFrame::projectUrl()
{
    const QString configured = QStringLiteral(VORLAT_PROJECT_URL);
    if (!configured.isEmpty())
        return QUrl(configured);
    QUrl about = guideUrl();
    about.setFragment(QStringLiteral("about"));
    return about;
}

QAction* CMainFrame::commandAction(int id) const
{
    for (QAction* action : m_toolBar->actions())
        if (action->data().toInt() == id)
            return action;
    return nullptr;
}

void CMainFrame::applyFlags(const DisplayFlags& flags)
{
    m_flags = flags;
    if (QAction* adjust = commandAction(ToolbarCommands::Adjust))
        adjust->setText(ToolbarCommands::adjustButtonText(m_flags));
    if (QAction* optimize = commandAction(ToolbarCommands::Optimize))
        optimize->setEnabled(flags.showTimetable != 0 && flags.showTeacherTable != 1);
    m_view->SetDisplayMode(flags.showTimetable, flags.showTeacherTable, flags.adjustMode);
    m_findBox->setEnabled(flags.showTimetable != 0);
    m_findAction->setEnabled(flags.showTimetable != 0);
    m_findBox->setStyleSheet(QString());
    updateResultLine();
}

void CMainFrame::command(int id)
{
    const ToolbarCommands::Outcome outcome = ToolbarCommands::decide(m_flags, id);
    if (!outcome.refusal.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Vorlat"), outcome.refusal);
        return;
    }
    if (outcome.applyFlags)
        applyFlags(outcome.flags);
    switch (outcome.work) {
    case ToolbarCommands::Work::Save:
        if (m_view->SaveTimetable())
            showNote(QStringLiteral("课表已保存"));
        break;
    case ToolbarCommands::Work::ExportMaster:
        exportTimetable(false);
        break;
    case ToolbarCommands::Work::ExportTeachers:
        exportTimetable(true);
        break;
    case ToolbarCommands::Work::Optimize:
        OptimizeTimetable();
        break;
    default:
        break;
    }
}

QString CMainFrame::askExportPath(bool teachers)
{
    QSettings settings;
    QString folder = settings.value(QStringLiteral("export/folder")).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString name = teachers ? QStringLiteral("教师课表.xlsx") : QStringLiteral("总课表.xlsx");
    QFileDialog dialog(this, QStringLiteral("导出课表"), QDir(folder).filePath(name));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Excel 工作簿（推荐） (*.xlsx)"), QStringLiteral("Excel 97-2003 工作簿 (*.xls)")});
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dialog.selectedFiles().first();
    settings.setValue(QStringLiteral("export/folder"), QFileInfo(chosen).absolutePath());
    return chosen;
}

void CMainFrame::exportTimetable(bool teachers)
{
    const QString chosen = askExportPath(teachers);
    if (chosen.isEmpty())
        return;
    // The workbook is written on a worker thread while the progress picture
    // runs here; the picture is modal, so the timetable cannot change meanwhile.
    const TimetableModel& model = m_view->model();
    std::atomic<int> progressState{0};
    TimetableExport::Result result;
    CPrograssDlg::run(this, progressState, [&] {
        result = teachers ? TimetableExport::ExportTeacherTable(model, model.teachers, chosen, progressState)
                          : TimetableExport::ExportMasterTable(model, chosen, progressState);
    });
    if (result.ok()) {
        QMessageBox::information(this, QStringLiteral("Vorlat"),
                                 QStringLiteral("课表已导出到：\n%1").arg(QDir::toNativeSeparators(result.writtenPath)));
    } else {
        QMessageBox::warning(this, QStringLiteral("Vorlat"), QStringLiteral("课表没有导出。\n%1").arg(result.error()));
    }
}

void CMainFrame::homeAction(int action)
{
    const auto a = HomeScreen::Action(action);
    if (a == HomeScreen::Action::RunScheduling)
        RunScheduling();
    else
        TileActions::open(a, this);
}

void CMainFrame::RunScheduling()
{
    // A new run replaces the timetable shown: unsaved work is saved, given up or kept first.
    if (!settleUnsavedWork())
        return;
    PlanningModel plan;
    Status read;
    try {
        read = PlanReader::Load(plan);
    } catch (const StoreError& error) {
        QMessageBox::critical(this, QStringLiteral("Vorlat"), QStringLiteral("无法排课。\n%1").arg(error.message()));
        return;
    }
    if (!read.ok()) {
        QMessageBox::warning(this, QStringLiteral("Vorlat"), read.message());
        return;
    }
    const ScheduleOutcome outcome = Scheduler(plan).RunScheduling(m_runSeed);
    if (outcome.refused()) {
        QMessageBox::warning(this, QStringLiteral("Vorlat"), outcome.status.message());
        return;
    }
    m_view->PublishToView(plan);
    const QUndoStack& steps = m_view->undoStack();
    std::erase_if(m_runSteps, [&steps](const auto& step) {
        for (int i = 0; i < steps.count(); ++i)
            if (steps.command(i) == step.first)
                return false;
        return true;
    });
    m_runSteps.emplace_back(steps.command(steps.index() - 1), outcome);
    m_lastRun = outcome;
    m_rules = solverProblemFromModel(plan);
    m_optimizeReport.clear();
    {
        CDoFinshDlg finish(this);
        finish.exec();
    }
    applyFlags({1, 0, 0});
    offerOptimization();
}

void CMainFrame::offerOptimization()
{
    // A run that left clashes, unplaced lessons or lessons outside their
    // zones offers the repair at once; 不优化 keeps the run's timetable as it is.
    const std::optional<TimetableFaults> faults = m_rules ? ShownFaults::count(*m_rules, m_view->model()) : std::nullopt;
    const QString question = faults ? ShownFaults::optimizeQuestion(*faults) : QString();
    if (question.isEmpty())
        return;
    QMessageBox box(QMessageBox::Question, QStringLiteral("排课完成"), question, QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("afterRunQuestion"));
    QPushButton* optimize = box.addButton(ShownFaults::optimizeAnswer(), QMessageBox::AcceptRole);
    QPushButton* keep = box.addButton(ShownFaults::keepAnswer(), QMessageBox::RejectRole);
    box.setDefaultButton(optimize);
    box.setEscapeButton(keep);
    box.exec();
    if (box.clickedButton() == optimize)
        command(ToolbarCommands::Optimize);
}

void CMainFrame::updateResultLine()
{
    m_noteTimer.stop();
    m_resultLine->setToolTip(QString());
    const QUndoStack& steps = m_view->undoStack();
    // The optimisation's before → after holds while its step is the last one
    // done; a swap after it, or its undo, brings the count of the timetable back.
    const bool optimised = !m_optimizeReport.isEmpty() && m_optimizeStep >= 0 && steps.index() == m_optimizeStep + 1
        && steps.command(m_optimizeStep) == m_optimizeCommand && steps.text(m_optimizeStep) == QStringLiteral("优化课表");
    if (m_flags.showTimetable == 0 || !m_rules) {
        m_resultLine->clear();
        return;
    }
    if (optimised) {
        m_resultLine->setText(m_optimizeReport + OptimizeRun::notesHint(m_optimizeNotes));
        m_resultLine->setToolTip(m_optimizeNotes.join(QLatin1Char('\n')));
        m_resultLine->setStyleSheet(m_optimizeClean ? QStringLiteral("color: #17602c;") : QStringLiteral("color: #b42828;"));
        return;
    }
    // Counted afresh from the timetable shown, after every swap, undo and redo.
    const std::optional<TimetableFaults> faults = ShownFaults::count(*m_rules, m_view->model());
    if (!faults) {
        m_resultLine->clear();
        return;
    }
    std::optional<std::uint32_t> seed;
    if (m_lastRun)
        seed = m_lastRun->seed;
    QString text = ShownFaults::resultText(*faults, seed);
    if (!faults->clean())
        text += QStringLiteral("　") + OptimizeRun::suggestionText();
    QStringList tip;
    if (seed)
        tip << QStringLiteral("同样的排课可用 vorlat-cli schedule --seed %1 重现").arg(*seed);
    // Rule rows another tool left that could not be used are named, not dropped in silence.
    if (!m_rules->rules.skipped.isEmpty()) {
        text += QStringLiteral("　规则表有 %1 行没有用上（鼠标停在此处可查看）").arg(m_rules->rules.skipped.size());
        tip << m_rules->rules.skipped;
    }
    m_resultLine->setText(text);
    m_resultLine->setToolTip(tip.join(QLatin1Char('\n')));
    m_resultLine->setStyleSheet(faults->clean() ? QStringLiteral("color: #17602c;") : QStringLiteral("color: #b42828;"));
}

void CMainFrame::showNote(const QString& text)
{
    m_resultLine->setText(text);
    m_resultLine->setStyleSheet(QStringLiteral("color: #17602c;"));
    // The run's result comes back after a few seconds.
    m_noteTimer.start();
}

void CMainFrame::updateTitle()
{
    setWindowTitle(m_view->isModified() ? QStringLiteral("Vorlat — 未保存") : QStringLiteral("Vorlat"));
}

bool CMainFrame::settleUnsavedWork()
{
    if (!m_view->isModified())
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vorlat"), QStringLiteral("课表尚未保存，是否保存？"),
                    QMessageBox::NoButton, this);
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return m_view->SaveTimetable();
    return box.clickedButton() == discard;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (settleUnsavedWork())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::followRunSteps()
{
    const QUndoStack& steps = m_view->undoStack();
    // A step taken off the stack may leave its address to a later one: the
    // latest entry for an address is the one that counts.
    for (int i = steps.index() - 1; i >= 0; --i) {
        if (steps.text(i) != QStringLiteral("排课"))
            continue;
        for (auto it = m_runSteps.rbegin(); it != m_runSteps.rend(); ++it)
            if (steps.command(i) == it->first) {
                m_lastRun = it->second;
                return;
            }
    }
    m_lastRun.reset();
}

void CMainFrame::OptimizeTimetable()
{
    OptimizeRun::Job job;
    const QString refusal = OptimizeRun::prepare(m_view->model(), m_view->baseline(), job);
    if (!refusal.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Vorlat"), refusal);
        return;
    }
    std::atomic<bool> cancel{false};
    OptimizeProgress progress(int(job.before.clashes + job.before.unplaced));
    job.request.seed = m_lastRun ? m_lastRun->seed : 1;
    job.request.conflictBudget = m_optimizeBudget;
    job.request.cancel = &cancel;
    job.request.progress = [&progress](const SolverProgress& report) { progress.take(report); };

    // The solver works on a worker thread; the dialog shows what is left and
    // offers to stop. It is modal, so the timetable cannot change meanwhile.
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("optimizeProgress"));
    dialog.setWindowTitle(QStringLiteral("优化课表"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(&dialog);
    label->setObjectName(QStringLiteral("optimizeLeft"));
    label->setMinimumWidth(360);
    layout->addWidget(label);
    auto* stop = new QPushButton(QStringLiteral("取消"), &dialog);
    layout->addWidget(stop, 0, Qt::AlignRight);
    bool cancelled = false;
    connect(stop, &QPushButton::clicked, &dialog, [&] {
        cancelled = true;
        cancel = true;
        label->setText(progress.restoring() ? QStringLiteral("正在停止，保留已找到的课表……")
                                            : QStringLiteral("正在停止……"));
        stop->setEnabled(false);
    });
    // The step, what is left and the time spent. Once a timetable without
    // clashes is found, stopping keeps it: the search is only putting cells
    // back as they were.
    QElapsedTimer clock;
    clock.start();
    const auto showLeft = [&] {
        if (cancelled)
            return;
        label->setText(progress.line(clock.elapsed()));
        stop->setText(progress.restoring() ? QStringLiteral("停止并采用") : QStringLiteral("取消"));
    };
    showLeft();
    QTimer tick;
    tick.setInterval(100);
    connect(&tick, &QTimer::timeout, &dialog, showLeft);
    tick.start();

    SolverOutcome outcome;
    std::atomic<bool> finished{false};
    const auto hook = m_optimizeHook;
    std::thread worker([&] {
        if (hook)
            hook(cancel);
        outcome = solveTimetable(job.problem, job.request);
        finished = true;
        QMetaObject::invokeMethod(&dialog, [&dialog] { dialog.done(QDialog::Accepted); }, Qt::QueuedConnection);
    });
    // Closing the window's box is a cancel too.
    connect(&dialog, &QDialog::rejected, &dialog, [&] {
        cancelled = true;
        cancel = true;
    });
    while (!finished) {
        dialog.exec();
        if (!finished)
            cancel = true, cancelled = true;
    }
    worker.join();
    tick.stop();

    if (outcome.status == SolverOutcome::Status::Cancelled
        || (cancelled && outcome.status != SolverOutcome::Status::Solved)) {
        showNote(QStringLiteral("已取消优化，课表没有改动"));
        return;
    }
    if (outcome.status == SolverOutcome::Status::Impossible) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Vorlat"),
                        QStringLiteral("无法排出满足全部要求的课表，课表没有改动。\n原因见“显示详细信息”，可复制。"),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("optimizeImpossible"));
        box.setDetailedText(outcome.explanation.join(QLatin1Char('\n')));
        box.exec();
        return;
    }
    if (outcome.grid.empty()) {
        QMessageBox::information(this, QStringLiteral("Vorlat"), QStringLiteral("在限定的时间内没有找到更好的课表，课表没有改动。"));
        return;
    }
    OptimizeRun::Counts after;
    const TimetableData result = OptimizeRun::apply(m_view->model(), job, outcome, after);
    if (outcome.status != SolverOutcome::Status::Solved && after.total() >= job.before.total()) {
        QMessageBox::information(this, QStringLiteral("Vorlat"), QStringLiteral("在限定的时间内没有找到更好的课表，课表没有改动。"));
        return;
    }
    m_view->replaceTimetable(result, QStringLiteral("优化课表"));
    m_optimizeStep = m_view->undoStack().index() - 1;
    m_optimizeCommand = m_view->undoStack().command(m_optimizeStep);
    m_optimizeReport = OptimizeRun::reportText(job.before, after, outcome.changedCells);
    m_optimizeNotes = outcome.notes;
    m_optimizeClean = after.total() == 0;
    m_rules = job.problem;
    updateResultLine();
}
