#pragma once

#include "app/ToolbarCommands.h"
#include "engine/ScheduleOutcome.h"
#include "engine/solver/SolverProblem.h"

#include <QMainWindow>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class CVorlatView;
class QAction;
class QLabel;
class QLineEdit;
class QToolBar;
class QUndoCommand;

// The main window: the toolbar of the timetable commands, the colour legend
// at the bottom, the Help menu, the display flags and the scheduling run.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    CVorlatView* view() const { return m_view; }
    const DisplayFlags& flags() const { return m_flags; }
    // The toolbar action of a command id (1101 …).
    QAction* commandAction(int id) const;
    QToolBar* toolBar() const { return m_toolBar; }
    QLabel* resultLine() const { return m_resultLine; }
    // 撤销 and 重做, in the 编辑 menu and on the toolbar.
    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }
    // The find box on the toolbar (Ctrl+F): part of a class's or teacher's name.
    QLineEdit* findBox() const { return m_findBox; }

    // Carries out a toolbar command.
    void command(int id);

    // Runs the scheduler on the plan in the database and shows the result as
    // the master table, as one undo step. With unsaved work it first asks
    // 保存 / 不保存 / 取消, as closing does. Refusals and database errors are
    // shown and change nothing.
    void RunScheduling();
    // The seed of the next runs; without one, the current time in seconds.
    void setRunSeed(std::optional<std::uint32_t> seed) { m_runSeed = seed; }
    const std::optional<ScheduleOutcome>& lastRun() const { return m_lastRun; }

    // 优化课表: repairs the shown timetable, keeping the fixed lessons and
    // the cells changed by hand since the last run, as one undo step.
    void OptimizeTimetable();
    // Runs on the worker before the solver starts (tests hold it there).
    void setOptimizeHook(std::function<void(const std::atomic<bool>& cancel)> hook) { m_optimizeHook = std::move(hook); }
    // The solver's work limit of an optimisation, in conflicts.
    void setOptimizeBudget(std::int64_t conflicts) { m_optimizeBudget = conflicts; }

    // The user guide installed with the program, and the project's page.
    static QUrl guideUrl();
    static QUrl projectUrl();

    // Shows a short note in the status line (e.g. after a save).
    void showNote(const QString& text);

protected:
    void closeEvent(QCloseEvent* event) override;
    QMenu* createPopupMenu() override { return nullptr; }

private:
    void buildEditActions();
    void buildToolBar();
    void buildFindBox();
    // Goes to the row named by the find box (the next one with `next`); says so when none has it.
    void findInTable(bool next);
    void buildLegendBar();
    void buildMenu();
    void applyFlags(const DisplayFlags& flags);
    void updateResultLine();
    // After a run that left something to repair: 优化 / 不优化.
    void offerOptimization();
    void updateTitle();
    void homeAction(int action);
    // 导出课表: the save dialog, then the workbook on a worker thread with the progress picture.
    QString askExportPath(bool teachers);
    void exportTimetable(bool teachers);
    // With unsaved work: 保存 / 不保存 / 取消. True when the caller may go on
    // (saved, or not to be saved); false on 取消 or a failed save.
    bool settleUnsavedWork();
    // lastRun() follows the undo history: the run whose step is the latest one done.
    void followRunSteps();

    CVorlatView* m_view = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_resultLine = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QLineEdit* m_findBox = nullptr;
    QAction* m_findAction = nullptr;
    DisplayFlags m_flags;
    std::optional<std::uint32_t> m_runSeed;
    std::optional<ScheduleOutcome> m_lastRun;
    std::vector<std::pair<const QUndoCommand*, ScheduleOutcome>> m_runSteps; // each run's undo step
    // The plan the timetable shown was made from (the last run or
    // optimisation): what the result line counts against.
    std::optional<SolverProblem> m_rules;
    bool m_optimizeClean = false;
    QString m_optimizeReport; // before → after of the last optimisation, until the next run
    QStringList m_optimizeNotes; // what the optimisation relaxed, for the tooltip
    int m_optimizeStep = -1;                          // its step on the undo stack
    const QUndoCommand* m_optimizeCommand = nullptr;  // to tell it from a later step in its place
    std::function<void(const std::atomic<bool>&)> m_optimizeHook;
    std::int64_t m_optimizeBudget = 4'000'000;
    QTimer m_noteTimer; // how long a note stays in the result line
};
