#include "GuiSupport.h"
#include "TestSupport.h"

#include "app/CDoFinshDlg.h"
#include "app/CHelpDlg.h"
#include "app/HelpPages.h"
#include "view/widgets/CPrograssDlg.h"
#include "app/CMainFrame.h"
#include "app/OptimizeRun.h"
#include "app/Startup.h"
#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "engine/solver/SolverProblem.h"
#include "store/DemoSchool.h"
#include "store/PlanReader.h"
#include "view/ShownFaults.h"
#include "view/widgets/CVorlatView.h"

#include <QAction>
#include <QDir>
#include <QToolBar>
#include <QDesktopServices>
#include <QFileDialog>
#include <QStandardPaths>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QPushButton>
#include <QToolBar>
#include <QUndoStack>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <tuple>

Q_DECLARE_METATYPE(DisplayFlags)

namespace {

// A demo school in a scratch database.
struct DemoDatabase
{
    DemoDatabase() { DemoSchool::write(); }
    ScratchDatabase db;
};

std::unique_ptr<CMainFrame> openFrame()
{
    auto frame = std::make_unique<CMainFrame>();
    frame->resize(1366, 768);
    frame->show();
    return frame;
}

// Answers the question after a run, when one comes, by clicking the middle
// of the button `answer` where it is on the screen; keeps the question.
class RunQuestionAnswerer : public QObject
{
public:
    explicit RunQuestionAnswerer(QString answer)
        : m_answer(std::move(answer))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    const QStringList& questions() const { return m_questions; }
    bool missed() const { return m_missed; }

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == m_last || box->objectName() != QLatin1String("afterRunQuestion"))
            return;
        m_last = box;
        m_questions << box->text();
        QTimer::singleShot(0, box, [this, box] {
            QAbstractButton* target = nullptr;
            for (QAbstractButton* button : box->buttons())
                if (button->text() == m_answer)
                    target = button;
            if (!target || !clickOnScreen(target)) {
                // Not where it should be: leave the box so the test fails instead of hanging.
                m_missed = true;
                box->reject();
            }
        });
    }

    QString m_answer;
    QStringList m_questions;
    bool m_missed = false;
    QTimer m_timer;
    QPointer<QMessageBox> m_last;
};

// Runs the play button the way a user does: tab 开始排课, pointer onto the
// button, left click. The question after a run that left something to
// repair is answered with `answer`; returns it (empty when none came).
QString pressPlay(CMainFrame& frame, const QString& answer = ShownFaults::keepAnswer())
{
    RunQuestionAnswerer answerer(answer);
    QWidget* viewport = frame.view()->viewport();
    const QSize outer = frame.view()->size();
    const QRect tab = HomeScreen::scaled(HomeScreen::Area::TabScheduling, outer);
    leftClick(viewport, tab.center());
    const QRect play = HomeScreen::scaled(HomeScreen::Area::PlayButton, outer);
    moveTo(viewport, play.center());
    leftClick(viewport, play.center());
    if (answerer.missed())
        qWarning("the button %s of the question after the run was not clicked", qPrintable(answer));
    return answerer.questions().join(QLatin1Char('\n'));
}

// The middle of master-table cell (class, day, period) in the view's viewport.
QPoint cellCentre(const TimetableModel& m, int c, int d, int p)
{
    return QPoint((m.slotColumn(d, p) + 1) * m.layout.cellWidth + m.layout.cellWidth / 2,
                  (c + 1) * 2 * m.layout.cellHeight + 5);
}

// In adjustment mode: selects (c, d0, p0), right-clicks (c, d1, p1) and
// answers the swap's question, if one comes, with OK.
void swapByHand(CMainFrame& frame, int c, int d0, int p0, int d1, int p1)
{
    const TimetableModel& m = frame.view()->model();
    QWidget* viewport = frame.view()->viewport();
    leftClick(viewport, cellCentre(m, c, d0, p0));
    BoxAnswerer boxes({QStringLiteral("OK")});
    rightClick(viewport, cellCentre(m, c, d1, p1));
}

// The 取消 button of the optimisation's progress dialog, once it is open.
QPushButton* optimizeCancelButton()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->objectName() != QStringLiteral("optimizeProgress"))
        return nullptr;
    for (QPushButton* button : modal->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("取消"))
            return button;
    return nullptr;
}

// A snapshot of what an optimisation may change.
struct Shown
{
    QStringList subjects;
    QStringList teachers;
    std::vector<int> fixed;
    explicit Shown(const TimetableModel& m)
        : subjects(m.subjectGrid)
        , teachers(m.teacherGrid)
        , fixed(m.fixedLessons)
    {
    }
    bool operator==(const Shown&) const = default;
};

} // namespace

// Records the pages the Help menu asks the desktop to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

class MainFrameTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Remembered folders go to a test location, not the user's settings.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void toolbarCommands_data()
    {
        QTest::addColumn<QList<int>>("before"); // commands that set the state up
        QTest::addColumn<int>("command");
        QTest::addColumn<DisplayFlags>("flags");
        QTest::addColumn<QString>("adjustText");
        QTest::addColumn<QString>("refusal");

        const QString adjust = QStringLiteral("手工调课");
        const QString end = QStringLiteral("结束调课");
        QTest::newRow("home: 手工调课 does nothing") << QList<int>{} << 1102 << DisplayFlags{0, 0, 0} << adjust << "";
        QTest::newRow("home: 保存课表 does nothing") << QList<int>{} << 1103 << DisplayFlags{0, 0, 0} << adjust << "";
        QTest::newRow("home: 导出课表 does nothing") << QList<int>{} << 1106 << DisplayFlags{0, 0, 0} << adjust << "";
        QTest::newRow("home: 查询总表") << QList<int>{} << 1104 << DisplayFlags{1, 0, 0} << adjust << "";
        QTest::newRow("home: 查教师表") << QList<int>{} << 1105 << DisplayFlags{1, 1, 0} << adjust << "";
        QTest::newRow("master: 手工调课") << QList<int>{1104} << 1102 << DisplayFlags{1, 0, 1} << end << "";
        QTest::newRow("adjusting: 结束调课") << QList<int>{1104, 1102} << 1102 << DisplayFlags{1, 0, 0} << adjust << "";
        QTest::newRow("adjusting: 查教师表 ends it") << QList<int>{1104, 1102} << 1105 << DisplayFlags{1, 1, 0} << adjust
                                                << "";
        QTest::newRow("adjusting: 查询总表 ends it") << QList<int>{1104, 1102} << 1104 << DisplayFlags{1, 0, 0} << adjust
                                                << "";
        QTest::newRow("adjusting: 返回主页") << QList<int>{1104, 1102} << 1101 << DisplayFlags{0, 0, 0} << adjust << "";
        QTest::newRow("teachers: 手工调课 refused") << QList<int>{1105} << 1102 << DisplayFlags{1, 1, 0} << adjust
                                                << QStringLiteral("请打开总课表再调课！");
        QTest::newRow("teachers: 保存课表 does nothing") << QList<int>{1105} << 1103 << DisplayFlags{1, 1, 0} << adjust
                                                    << "";
    }
    void toolbarCommands()
    {
        QFETCH(QList<int>, before);
        QFETCH(int, command);
        QFETCH(DisplayFlags, flags);
        QFETCH(QString, adjustText);
        QFETCH(QString, refusal);

        DemoDatabase db;
        auto frame = openFrame();
        for (int id : before)
            frame->commandAction(id)->trigger();
        BoxAnswerer boxes;
        frame->commandAction(command)->trigger();
        QTRY_COMPARE(boxes.texts().size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty())
            QCOMPARE(boxes.texts().first(), refusal);
        QCOMPARE(frame->flags(), flags);
        const TimetableModel& model = frame->view()->model();
        const DisplayMode modes[] = {DisplayMode::Home, DisplayMode::MasterTable, DisplayMode::Adjustment,
                                     DisplayMode::TeacherTable};
        const int expectedMode = flags.showTimetable == 0 ? 0 : flags.showTeacherTable == 1 ? 3 : flags.adjustMode == 1 ? 2 : 1;
        QCOMPARE(model.layout.mode, modes[expectedMode]);
        QCOMPARE(frame->commandAction(1102)->text(), adjustText);
        // Nothing was saved and nothing changed in the timetable.
        QVERIFY(!frame->view()->isModified());
    }

    void homeScreenThroughTheView()
    {
        DemoDatabase db;
        auto frame = openFrame();
        QWidget* viewport = frame->view()->viewport();
        const QSize outer = frame->view()->size();
        const QPoint workPlan = HomeScreen::scaled(HomeScreen::Area::TileWorkPlan, outer).center();
        const QPoint assignment = HomeScreen::scaled(HomeScreen::Area::TileAssignment, outer).center();

        // A tile opens its dialog, twice without a move.
        moveTo(viewport, workPlan);
        QCOMPARE(frame->view()->home().homePicture(), 1);
        QStringList opened;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened << QString::fromLatin1(dialog->metaObject()->className());
                dialog->reject();
            }
        });
        closer.start(10);
        leftClick(viewport, workPlan);
        leftClick(viewport, workPlan);
        QCOMPARE(opened, (QStringList{QStringLiteral("CDayNumDlg"), QStringLiteral("CDayNumDlg")}));
        BoxAnswerer boxes;

        // While a table is shown the pointer changes nothing on the home screen.
        frame->commandAction(1104)->trigger();
        moveTo(viewport, assignment);
        QCOMPARE(frame->view()->home().homePicture(), 1);
        leftClick(viewport, assignment);
        QCOMPARE(opened.size(), 2);
        QVERIFY(boxes.texts().isEmpty());
        // Back home, the picture left behind is shown until the pointer moves.
        frame->commandAction(1101)->trigger();
        QCOMPARE(frame->view()->home().homePicture(), 1);
        moveTo(viewport, assignment);
        QCOMPARE(frame->view()->home().homePicture(), 2);
    }

    void runFromThePlayButtonEndsOnTheMasterTable()
    {
        DemoDatabase db;
        const QByteArray before = fileHash(db.db.path());
        auto frame = openFrame();
        frame->setRunSeed(7u);
        BoxAnswerer boxes;
        pressPlay(*frame);

        QVERIFY(boxes.texts().isEmpty());
        QCOMPARE(frame->flags(), (DisplayFlags{1, 0, 0}));
        const TimetableModel& model = frame->view()->model();
        QCOMPARE(model.layout.mode, DisplayMode::MasterTable);
        QCOMPARE(model.classCount, 18);
        QCOMPARE(model.subjectGrid.size(), 18 * 41);
        QCOMPARE(model.selection.selectedClass, 0);
        QVERIFY(frame->lastRun().has_value());
        const ScheduleOutcome& run = *frame->lastRun();
        QCOMPARE(run.seed, 7u);
        const QString line = frame->resultLine()->text();
        QVERIFY2(line.contains(QStringLiteral("已排 %1/%2 节").arg(run.placedLessons).arg(run.requiredLessons)),
                 qPrintable(line));
        QVERIFY(line.contains(QStringLiteral("未排 %1 节").arg(run.unplacedLessons)));
        QVERIFY(line.contains(QStringLiteral("教师冲突 %1 处").arg(run.teacherClashes)));
        QVERIFY(line.contains(QStringLiteral("随机种子 7")));
        // The run is not saved: the database is untouched, the window says so.
        QVERIFY(frame->view()->isModified());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Vorlat — 未保存"));
        QCOMPARE(fileHash(db.db.path()), before);

        // The line goes with the table and comes back with it.
        frame->commandAction(1101)->trigger();
        QVERIFY(frame->resultLine()->text().isEmpty());
        frame->commandAction(1104)->trigger();
        QCOMPARE(frame->resultLine()->text(), line);
    }

    // A run that leaves clashes asks at once whether to optimise: 不优化 keeps
    // the run's timetable exactly as the run made it, 优化 repairs it as one
    // more undo step.
    void questionAfterARun_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("优化") << ShownFaults::optimizeAnswer();
        QTest::newRow("不优化") << ShownFaults::keepAnswer();
    }
    void questionAfterARun()
    {
        QFETCH(QString, answer);
        DemoDatabase db;
        // What the run with seed 7 makes, outside the window.
        PlanningModel plan;
        QVERIFY(PlanReader::Load(plan).ok());
        const ScheduleOutcome run = Scheduler(plan).RunScheduling(7u);
        QVERIFY(run.teacherClashes > 0);
        TimetableData made;
        made.PublishToView(plan);

        auto frame = openFrame();
        frame->setRunSeed(7u);
        BoxAnswerer boxes;
        const QString question = pressPlay(*frame, answer);
        QVERIFY2(question.contains(QStringLiteral("教师冲突 %1 处").arg(run.teacherClashes)), qPrintable(question));
        QVERIFY(boxes.texts().isEmpty());
        QCOMPARE(frame->flags(), (DisplayFlags{1, 0, 0}));
        const TimetableModel& m = frame->view()->model();
        QUndoStack& steps = frame->view()->undoStack();
        const QString line = frame->resultLine()->text();
        if (answer == ShownFaults::keepAnswer()) {
            QCOMPARE(steps.count(), 1);
            QCOMPARE(m.subjectGrid, made.subjectGrid);
            QCOMPARE(m.teacherGrid, made.teacherGrid);
            QVERIFY2(line.contains(QStringLiteral("教师冲突 %1 处").arg(run.teacherClashes)), qPrintable(line));
            return;
        }
        // One click to a timetable without clashes; undo gives the run's back.
        QCOMPARE(steps.count(), 2);
        QCOMPARE(steps.text(1), QStringLiteral("优化课表"));
        QVERIFY2(line.contains(QStringLiteral("教师冲突 %1 → 0 处").arg(run.teacherClashes)), qPrintable(line));
        QVERIFY(m.subjectGrid != made.subjectGrid);
        steps.undo();
        QCOMPARE(m.subjectGrid, made.subjectGrid);
        QCOMPARE(m.teacherGrid, made.teacherGrid);
    }

    void cleanRunAsksNothing()
    {
        DemoDatabase db;
        auto frame = openFrame();
        frame->setRunSeed(4u);
        BoxAnswerer boxes;
        QCOMPARE(pressPlay(*frame), QString());
        QVERIFY(boxes.texts().isEmpty());
        QCOMPARE(frame->view()->undoStack().count(), 1);
        QVERIFY2(frame->resultLine()->text().contains(QStringLiteral("未排 0 节，教师冲突 0 处")), qPrintable(frame->resultLine()->text()));
    }

    void refusedRunChangesNothing_data()
    {
        QTest::addColumn<QString>("breakPlan"); // SQL that spoils the demo plan, empty: no plan at all
        QTest::addColumn<QString>("message");
        QTest::newRow("empty database") << QString() << QStringLiteral("当前录入数据不完整，不能排课！");
        QTest::newRow("a weekly total outside the week")
            << QStringLiteral("update 周课时计划 set 周课时='38' where 编号 = 12")
            << QStringLiteral("周课时量在周计划之外,请合理设置周课时量！");
    }
    void refusedRunChangesNothing()
    {
        QFETCH(QString, breakPlan);
        QFETCH(QString, message);
        ScratchDatabase db;
        if (!breakPlan.isEmpty()) {
            DemoSchool::write();
            QSqlQuery query(Database::connection());
            QVERIFY2(query.exec(breakPlan), qPrintable(query.lastError().text()));
        }
        auto frame = openFrame();
        const QStringList gridBefore = frame->view()->model().subjectGrid;
        BoxAnswerer boxes;
        pressPlay(*frame);
        QCOMPARE(boxes.texts(), QStringList{message});
        QCOMPARE(frame->flags(), (DisplayFlags{0, 0, 0}));
        QCOMPARE(frame->view()->model().layout.mode, DisplayMode::Home);
        QCOMPARE(frame->view()->model().subjectGrid, gridBefore);
        QCOMPARE(frame->view()->home().homePicture(), 11);
        QVERIFY(!frame->lastRun().has_value());
        QVERIFY(!frame->view()->isModified());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Vorlat"));
    }

    void completionDialogClosesByItself()
    {
        CDoFinshDlg dialog;
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.ticks(), 57);
        QCOMPARE(dialog.stepCounter(), 112);
        QCOMPARE(dialog.bar()->value(), 50);
    }

    void completionBarFillsOnThe25thTick()
    {
        CDoFinshDlg dialog;
        for (int i = 0; i < 24; ++i)
            dialog.tick();
        QCOMPARE(dialog.bar()->value(), 48);
        dialog.tick();
        QCOMPARE(dialog.bar()->value(), 50);
        for (int i = 0; i < 31; ++i)
            dialog.tick();
        QCOMPARE(dialog.bar()->value(), 50);
        QVERIFY(dialog.result() != QDialog::Accepted);
        dialog.tick(); // the 57th
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void unsavedWorkQuestion_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("保存") << QStringLiteral("保存") << true << true;
        QTest::newRow("不保存") << QStringLiteral("不保存") << true << false;
        QTest::newRow("取消") << QStringLiteral("取消") << false << false;
    }
    void unsavedWorkQuestion()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        DemoDatabase db;
        auto frame = openFrame();
        frame->setRunSeed(11u);
        pressPlay(*frame);
        const std::vector<QStringList> tableBefore = tableRows(QStringLiteral("课表"));

        BoxAnswerer boxes({answer});
        QCOMPARE(frame->close(), closed);
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("课表尚未保存，是否保存？")});
        QCOMPARE(frame->isVisible(), !closed);
        const std::vector<QStringList> tableAfter = tableRows(QStringLiteral("课表"));
        if (saved) {
            QCOMPARE(tableAfter.at(0).at(0), frame->view()->model().className(0));
            QCOMPARE(tableAfter.at(0).at(1), frame->view()->model().subject(0, 0, 0));
        } else {
            QCOMPARE(tableAfter, tableBefore);
        }
        QCOMPARE(frame->view()->isModified(), !saved);
    }

    void closingWithNothingNewAsksNothing()
    {
        DemoDatabase db;
        auto frame = openFrame();
        frame->commandAction(1104)->trigger();
        BoxAnswerer boxes;
        QVERIFY(frame->close());
        QVERIFY(boxes.texts().isEmpty());
    }

    void saveShowsANoteOrTheStoresMessage_data()
    {
        QTest::addColumn<bool>("failing");
        QTest::newRow("saved") << false;
        QTest::newRow("the teacher table refuses the write") << true;
    }
    void saveShowsANoteOrTheStoresMessage()
    {
        QFETCH(bool, failing);
        DemoDatabase db;
        if (failing) {
            QSqlQuery query(Database::connection());
            QVERIFY(query.exec(QStringLiteral(
                "create trigger refuse before update on 课表教师 begin select raise(abort, '磁盘已满'); end")));
        }
        auto frame = openFrame();
        frame->setRunSeed(3u);
        pressPlay(*frame);
        const std::vector<QStringList> before = tableRows(QStringLiteral("课表"));
        const std::vector<QStringList> fixedBefore = tableRows(QStringLiteral("固定科目"));

        BoxAnswerer boxes;
        frame->commandAction(1103)->trigger();
        if (failing) {
            QCOMPARE(boxes.texts().size(), 1);
            QVERIFY2(boxes.texts().first().contains(QStringLiteral("磁盘已满")), qPrintable(boxes.texts().first()));
            QCOMPARE(tableRows(QStringLiteral("课表")), before);
            QCOMPARE(tableRows(QStringLiteral("固定科目")), fixedBefore);
            QVERIFY(frame->view()->isModified());
            QCOMPARE(frame->windowTitle(), QStringLiteral("Vorlat — 未保存"));
        } else {
            QVERIFY(boxes.texts().isEmpty());
            QCOMPARE(frame->resultLine()->text(), QStringLiteral("课表已保存"));
            QCOMPARE(tableRows(QStringLiteral("课表")).at(0).at(1), frame->view()->model().subject(0, 0, 0));
            QVERIFY(!frame->view()->isModified());
            QCOMPARE(frame->windowTitle(), QStringLiteral("Vorlat"));
        }
        // The display stays as it was.
        QCOMPARE(frame->flags(), (DisplayFlags{1, 0, 0}));
    }

    void optimizeDecisions()
    {
        // Pins: every fixed lesson and every cell that differs from the baseline, once each.
        TimetableData t;
        t.resetGrids(2, 3, {QStringLiteral("一班"), QStringLiteral("二班")});
        t.appendFixedLesson({1, 0, 2, 4});
        QStringList baseline = t.subjectGrid;
        t.subjectGrid[t.classStride() + 1 + t.slotColumn(0, 2)] = QStringLiteral("数学"); // the fixed cell, changed
        t.subjectGrid[1 + t.slotColumn(1, 0)] = QStringLiteral("语文");
        std::vector<std::tuple<int, int, int>> pins;
        for (const SolverPin& pin : OptimizeRun::pinsFor(t, baseline))
            pins.emplace_back(pin.classIndex, pin.day, pin.period);
        std::sort(pins.begin(), pins.end());
        QCOMPARE(pins, (std::vector<std::tuple<int, int, int>>{{0, 1, 0}, {1, 0, 2}}));
        // Undoing the change frees the cell again.
        t.subjectGrid[1 + t.slotColumn(1, 0)] = baseline[1 + t.slotColumn(1, 0)];
        QCOMPARE(OptimizeRun::pinsFor(t, baseline).size(), size_t(1));

        // A fixed lesson the run covered with another lesson is not pinned
        // under it: the fixed lesson takes its cell back.
        t.subjectNames[3] = QStringLiteral("体育");
        t.subjectNames[5] = QStringLiteral("美术");
        t.subjectGrid[1 + t.slotColumn(0, 1)] = QStringLiteral("体育");
        t.subjectGrid[1 + t.slotColumn(1, 1)] = QStringLiteral("体育");
        t.appendFixedLesson({0, 0, 1, 4}); // in its cell
        t.appendFixedLesson({0, 1, 1, 6}); // covered
        baseline = t.subjectGrid;
        pins.clear();
        for (const SolverPin& pin : OptimizeRun::pinsFor(t, baseline))
            pins.emplace_back(pin.classIndex, pin.day, pin.period);
        QCOMPARE(pins, (std::vector<std::tuple<int, int, int>>{{0, 0, 1}}));

        QCOMPARE(OptimizeRun::reportText({3, 1, 2}, {0, 0, 1}, 14),
                 QStringLiteral("优化课表：教师冲突 3 → 0 处，未排 1 → 0 节，时段外 2 → 1 节，改动 14 格"));

        QVERIFY(OptimizeRun::notesHint({}).isEmpty());
        QVERIFY(OptimizeRun::notesHint({QStringLiteral("甲"), QStringLiteral("乙")}).contains(QStringLiteral("有2条说明")));

        ScheduleOutcome run;
        QVERIFY(!OptimizeRun::suggestAfterRun(run));
        run.teacherClashes = 1;
        QVERIFY(OptimizeRun::suggestAfterRun(run));
        run.teacherClashes = 0;
        run.unplacedLessons = 2;
        QVERIFY(OptimizeRun::suggestAfterRun(run));
    }

    void optimizeRemovesClashesAndKeepsHandMoves()
    {
        DemoDatabase db;
        auto frame = openFrame();
        frame->setRunSeed(7u);
        pressPlay(*frame);
        QVERIFY(frame->lastRun()->teacherClashes > 0);
        QVERIFY2(frame->resultLine()->text().contains(OptimizeRun::suggestionText()), qPrintable(frame->resultLine()->text()));
        QAction* optimize = frame->commandAction(1107);
        QVERIFY(optimize && optimize->isEnabled());
        QCOMPARE(optimize->text(), QStringLiteral("优化课表"));

        // A swap by hand in class 0.
        frame->commandAction(1102)->trigger();
        TimetableModel& m = frame->view()->model();
        QWidget* viewport = frame->view()->viewport();
        const auto centre = [&](int d, int p) {
            return QPoint((m.slotColumn(d, p) + 1) * m.layout.cellWidth + m.layout.cellWidth / 2, 2 * m.layout.cellHeight + 5);
        };
        int d1 = 0, p1 = 1;
        while (m.subject(0, d1, p1) == m.subject(0, 0, 0))
            ++p1;
        leftClick(viewport, centre(0, 0));
        {
            BoxAnswerer boxes({QStringLiteral("OK"), QStringLiteral("OK")});
            rightClick(viewport, centre(d1, p1));
        }
        const QString moved0 = m.subject(0, 0, 0);
        const QString moved1 = m.subject(0, d1, p1);
        QVERIFY(moved0 != moved1);
        const Shown before(m);
        const int undoSteps = frame->view()->undoStack().count();

        optimize->trigger();
        const QString line = frame->resultLine()->text();
        QVERIFY2(line.contains(QStringLiteral("教师冲突 %1 → 0 处").arg(frame->lastRun()->teacherClashes)), qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral("未排 0 → 0 节")), qPrintable(line));
        // What the solver relaxed is listed in the line's tooltip, which the line points to.
        QCOMPARE(line.contains(QStringLiteral("条说明")), !frame->resultLine()->toolTip().isEmpty());
        QVERIFY(!(Shown(m) == before));
        // No clash is left: every teacher once per slot.
        for (int d = 0; d < m.dayCount; ++d)
            for (int p = 0; p < m.periodCount; ++p)
                for (int c = 0; c < m.classCount; ++c) {
                    const int other = m.FindTeacherClash(m.teacher(c, d, p), c, d, p);
                    QVERIFY2(other == -1 || m.IsCombinedLesson(c, m.SubjectNumber(m.subject(c, d, p))),
                             qPrintable(QStringLiteral("%1 %2 %3").arg(c).arg(d).arg(p)));
                }
        QCOMPARE(m.subject(0, 0, 0), moved0);
        QCOMPARE(m.subject(0, d1, p1), moved1);
        QCOMPARE(frame->view()->undoStack().count(), undoSteps + 1);

        // One undo step brings the shown timetable back, redo the result.
        const Shown optimised(m);
        frame->view()->undoStack().undo();
        QVERIFY(Shown(m) == before);
        // Once the optimisation is undone, the line shows the run again.
        QVERIFY2(frame->resultLine()->text().startsWith(QStringLiteral("排课结果")), qPrintable(frame->resultLine()->text()));
        frame->view()->undoStack().redo();
        QVERIFY(Shown(m) == optimised);
        QCOMPARE(frame->resultLine()->text(), line);
    }

    // Seed 2 leaves one lesson outside its zone and no clash: the
    // optimisation moves it in, and the line says so in green.
    void optimizeMovesLessonsIntoTheirZones()
    {
        DemoDatabase db;
        auto frame = openFrame();
        frame->setRunSeed(2u);
        pressPlay(*frame);
        QVERIFY2(frame->resultLine()->text().contains(QStringLiteral("时段外 1 节")), qPrintable(frame->resultLine()->text()));
        frame->commandAction(1107)->trigger();
        const QString line = frame->resultLine()->text();
        QVERIFY2(line.contains(QStringLiteral("时段外 1 → 0 节")), qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral("教师冲突 0 → 0 处")), qPrintable(line));
        QVERIFY(frame->resultLine()->styleSheet().contains(QStringLiteral("#17602c")));
    }

    void optimizeCancelLeavesTheTimetable()
    {
        DemoDatabase db;
        auto frame = openFrame();
        frame->setRunSeed(7u);
        pressPlay(*frame);
        const Shown before(frame->view()->model());
        // The worker waits until 取消 is pressed, so the dialog is surely open.
        frame->setOptimizeHook([](const std::atomic<bool>& cancel) {
            while (!cancel)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        });
        bool pressed = false;
        QTimer press;
        press.setInterval(5);
        connect(&press, &QTimer::timeout, &press, [&] {
            if (QPushButton* button = optimizeCancelButton(); button && !pressed) {
                pressed = true;
                button->click();
            }
        });
        press.start();
        frame->commandAction(1107)->trigger();
        QVERIFY(pressed);
        QVERIFY(Shown(frame->view()->model()) == before);
        QCOMPARE(frame->view()->undoStack().count(), 1); // the run's step only
        QVERIFY(frame->resultLine()->text().contains(QStringLiteral("已取消")));
    }

    void optimizeShowsWhyTheSchoolIsImpossible()
    {
        DemoDatabase db;
        auto frame = openFrame();
        frame->setRunSeed(2u);
        pressPlay(*frame);
        TimetableModel& m = frame->view()->model();
        // By hand, one teacher is put into two classes at (0, 0): both cells
        // are kept, so no timetable can exist.
        bool made = false;
        for (int c1 = 0; c1 < m.classCount && !made; ++c1)
            for (int s1 = 1; s1 < m.slotCount() && !made; ++s1) {
                const int d = s1 / m.periodCount, p = s1 % m.periodCount;
                const QString t = m.teacher(c1, d, p);
                if (t.isEmpty() || t == QStringLiteral("H") || m.subject(c1, d, p) == m.subject(c1, 0, 0)
                    || m.IsCombinedLesson(c1, m.SubjectNumber(m.subject(c1, d, p))))
                    continue;
                for (int c2 = c1 + 1; c2 < m.classCount && !made; ++c2)
                    for (int s2 = 1; s2 < m.slotCount() && !made; ++s2) {
                        const int d2 = s2 / m.periodCount, p2 = s2 % m.periodCount;
                        if (m.teacher(c2, d2, p2) != t || m.subject(c2, d2, p2) == m.subject(c2, 0, 0)
                            || m.IsCombinedLesson(c2, m.SubjectNumber(m.subject(c2, d2, p2))))
                            continue;
                        const int at1 = c1 * m.classStride() + 1, at2 = c2 * m.classStride() + 1;
                        m.subjectGrid[at1] = m.subject(c1, d, p);
                        m.teacherGrid[at1] = t;
                        m.subjectGrid[at2] = m.subject(c2, d2, p2);
                        m.teacherGrid[at2] = t;
                        m.touch();
                        made = true;
                    }
            }
        QVERIFY(made);
        const Shown before(m);
        BoxAnswerer boxes;
        QString details;
        QTimer look;
        look.setInterval(2);
        connect(&look, &QTimer::timeout, &look, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                if (details.isEmpty())
                    details = box->detailedText();
        });
        look.start();
        frame->commandAction(1107)->trigger();
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY2(boxes.texts().first().contains(QStringLiteral("无法排出")), qPrintable(boxes.texts().first()));
        QVERIFY(!details.isEmpty());
        QVERIFY(Shown(m) == before);
        QCOMPARE(frame->view()->undoStack().count(), 1); // the run's step only
    }

    // The result line counts the timetable shown: a hand swap that changes
    // what is wrong changes the line, undo and redo bring each line back.
    void resultLineFollowsSwapsUndoAndRedo()
    {
        DemoDatabase db;
        auto frame = openFrame();
        frame->setRunSeed(7u);
        pressPlay(*frame);
        PlanningModel plan;
        QVERIFY(PlanReader::Load(plan).ok());
        QVERIFY(Scheduler(plan).PrepareRun().ok());
        const SolverProblem rules = solverProblemFromModel(plan);
        TimetableModel& m = frame->view()->model();
        const QString runLine = frame->resultLine()->text();
        const TimetableFaults atRun = *ShownFaults::count(rules, m);
        QVERIFY2(runLine.startsWith(ShownFaults::resultText(atRun, 7u)), qPrintable(runLine));

        // Two lessons of class 0 whose exchange changes the clashes (neither
        // of them fixed, so that no fixed lesson moves along).
        const auto fixedAt = [&](int t) {
            return m.FindFixedLesson(0, t / m.periodCount, t % m.periodCount,
                                     m.SubjectNumber(m.subject(0, t / m.periodCount, t % m.periodCount)))
                != -1;
        };
        int from = -1, to = -1;
        for (int a = 0; a < m.slotCount() && to == -1; ++a)
            for (int b = a + 1; b < m.slotCount() && to == -1; ++b) {
                if (fixedAt(a) || fixedAt(b))
                    continue;
                TimetableData trial = m;
                const int da = a / m.periodCount, pa = a % m.periodCount, db_ = b / m.periodCount, pb = b % m.periodCount;
                const QString s = trial.subject(0, db_, pb), t = trial.teacher(0, db_, pb);
                trial.setLesson(0, db_, pb, trial.subject(0, da, pa), trial.teacher(0, da, pa));
                trial.setLesson(0, da, pa, s, t);
                if (ShownFaults::count(rules, trial)->clashes != atRun.clashes)
                    from = a, to = b;
            }
        QVERIFY(to != -1);

        frame->commandAction(1102)->trigger();
        QWidget* viewport = frame->view()->viewport();
        const auto centre = [&](int d, int p) {
            return QPoint((m.slotColumn(d, p) + 1) * m.layout.cellWidth + m.layout.cellWidth / 2, 2 * m.layout.cellHeight + 5);
        };
        leftClick(viewport, centre(from / m.periodCount, from % m.periodCount));
        {
            BoxAnswerer boxes({QStringLiteral("OK")});
            rightClick(viewport, centre(to / m.periodCount, to % m.periodCount));
        }
        const QString swappedLine = frame->resultLine()->text();
        const TimetableFaults afterSwap = *ShownFaults::count(rules, m);
        QVERIFY(afterSwap.clashes != atRun.clashes);
        QVERIFY2(swappedLine.startsWith(ShownFaults::resultText(afterSwap, 7u)), qPrintable(swappedLine));
        QVERIFY(swappedLine != runLine);

        frame->view()->undoStack().undo();
        QCOMPARE(frame->resultLine()->text(), runLine);
        frame->view()->undoStack().redo();
        QCOMPARE(frame->resultLine()->text(), swappedLine);
    }

    void undoAndRedoFromTheKeyboard()
    {
        DemoDatabase db;
        auto frame = openFrame();
        frame->setRunSeed(5u);
        pressPlay(*frame);
        frame->commandAction(1102)->trigger();
        TimetableModel& m = frame->view()->model();
        const QStringList before = m.subjectGrid;
        QWidget* viewport = frame->view()->viewport();
        const auto centre = [&](int d, int p) {
            return QPoint((m.slotColumn(d, p) + 1) * m.layout.cellWidth + m.layout.cellWidth / 2, 2 * m.layout.cellHeight + 5);
        };
        leftClick(viewport, centre(0, 0));
        BoxAnswerer boxes({QStringLiteral("OK")});
        rightClick(viewport, centre(0, 3));
        const QStringList swapped = m.subjectGrid;
        QVERIFY(swapped != before);

        // After a save the swap is still in the history.
        frame->commandAction(1103)->trigger();
        QVERIFY(!frame->view()->isModified());
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m.subjectGrid, before);
        QVERIFY(frame->view()->isModified());
        QTest::keyClick(frame.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(m.subjectGrid, swapped);
        QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m.subjectGrid, swapped);
        QVERIFY(!frame->view()->isModified());

        // A new run is one more step: Ctrl+Z brings back the swapped timetable.
        const int steps = frame->view()->undoStack().count();
        frame->commandAction(1101)->trigger();
        pressPlay(*frame);
        QCOMPARE(frame->view()->undoStack().count(), steps + 1);
        const QStringList rerun = m.subjectGrid;
        QVERIFY(rerun != swapped);
        QVERIFY(frame->view()->isModified());
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m.subjectGrid, swapped);
        QVERIFY(!frame->view()->isModified());
        QTest::keyClick(frame.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(m.subjectGrid, rerun);
    }

    // 撤销 and 重做 are toolbar buttons and 编辑 menu items, enabled only while
    // there is a step to take.
    void undoAndRedoOnTheToolbar()
    {
        DemoDatabase db;
        auto frame = openFrame();
        QAction* undo = frame->undoAction();
        QAction* redo = frame->redoAction();
        auto* undoButton = qobject_cast<QAbstractButton*>(frame->toolBar()->widgetForAction(undo));
        auto* redoButton = qobject_cast<QAbstractButton*>(frame->toolBar()->widgetForAction(redo));
        QVERIFY(undoButton && redoButton);
        QCOMPARE(undoButton->text(), QStringLiteral("撤销"));
        QCOMPARE(redoButton->text(), QStringLiteral("重做"));
        auto* edit = frame->menuBar()->findChild<QMenu*>(QStringLiteral("editMenu"));
        QVERIFY(edit);
        QCOMPARE(edit->title(), QStringLiteral("编辑(&E)"));
        QCOMPARE(edit->actions().mid(0, 2), (QList<QAction*>{undo, redo}));
        // 编辑 stands before 帮助, the last menu.
        const QList<QAction*> menus = frame->menuBar()->actions();
        QVERIFY(menus.indexOf(edit->menuAction()) >= 0);
        QVERIFY(menus.indexOf(edit->menuAction()) < menus.size() - 1);
        QCOMPARE(menus.last()->text(), QStringLiteral("帮助(&H)"));
        // Nothing to take back yet: a click on either does nothing.
        QVERIFY(!undoButton->isEnabled() && !redoButton->isEnabled());
        const QStringList loaded = frame->view()->model().subjectGrid;
        QVERIFY(clickOnScreen(undoButton));
        QCOMPARE(frame->view()->model().subjectGrid, loaded);

        frame->setRunSeed(5u);
        pressPlay(*frame);
        TimetableModel& m = frame->view()->model();
        const QStringList run = m.subjectGrid;
        QVERIFY(undoButton->isEnabled() && !redoButton->isEnabled());
        frame->commandAction(1102)->trigger();
        swapByHand(*frame, 0, 0, 0, 0, 3);
        const QStringList swapped = m.subjectGrid;
        QVERIFY(swapped != run);
        QCOMPARE(undo->toolTip(), QStringLiteral("撤销：调课（Ctrl+Z）"));

        QVERIFY(clickOnScreen(undoButton));
        QCOMPARE(m.subjectGrid, run);
        QVERIFY(undoButton->isEnabled() && redoButton->isEnabled());
        QVERIFY(clickOnScreen(redoButton));
        QCOMPARE(m.subjectGrid, swapped);
        QVERIFY(!redoButton->isEnabled());
        // Back past the run to the timetable loaded at the start.
        QVERIFY(clickOnScreen(undoButton));
        QVERIFY(clickOnScreen(undoButton));
        QCOMPARE(m.subjectGrid, loaded);
        QVERIFY(!undoButton->isEnabled() && redoButton->isEnabled());
        QVERIFY(!frame->view()->isModified());
    }

    // Typing part of a name in the find box goes to the class (or teacher),
    // selects it and scrolls it into view under the header band; Enter goes
    // on to the next one.
    void findBoxGoesToTheRow()
    {
        DemoDatabase db;
        auto frame = openFrame();
        QLineEdit* box = frame->findBox();
        QVERIFY(box && !box->isEnabled()); // nothing to look through at home
        frame->setRunSeed(4u);
        pressPlay(*frame);
        QVERIFY(box->isEnabled());
        CVorlatView* view = frame->view();
        const TimetableModel& m = view->model();
        QList<int> third; // 七(3)班, 八(3)班, 九(3)班
        for (int c = 0; c < m.classCount; ++c)
            if (m.className(c).contains(QStringLiteral("(3)")))
                third << c;
        QCOMPARE(third.size(), 3);
        QScrollBar* bar = view->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum()); // the first of them is out of view above
        const auto shownWhole = [&](int row) {
            const int top = m.layout.rowTop(row) - bar->value();
            return top >= m.layout.headerHeight() && top + m.layout.rowHeight() <= view->viewport()->height();
        };
        QVERIFY(!shownWhole(third[0]));

        // Into the box where a user clicks, then "3" from the keyboard and 班
        // through the input method.
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        const QPoint global = box->mapToGlobal(box->rect().center());
        QWidget* onTop = QApplication::widgetAt(global);
        QVERIFY(onTop == box || box->isAncestorOf(onTop));
        QTest::mouseClick(onTop, Qt::LeftButton, {}, onTop->mapFromGlobal(global));
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(box, Qt::Key_3);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("班"));
        QCoreApplication::sendEvent(box, &commit);
        QCOMPARE(box->text(), QStringLiteral("3班"));
        QCOMPARE(m.selection.selectedClass, third[0]);
        QVERIFY(shownWhole(third[0]));
        for (int i : {1, 2, 0}) {
            QTest::keyClick(box, Qt::Key_Return);
            QCOMPARE(m.selection.selectedClass, third[i]);
            QVERIFY2(shownWhole(third[i]), qPrintable(QString::number(bar->value())));
        }

        // A name no class has: the selection stays and the box says so.
        const int scrolled = bar->value();
        box->clear();
        QInputMethodEvent none;
        none.setCommitString(QStringLiteral("十班"));
        QCoreApplication::sendEvent(box, &none);
        QCOMPARE(m.selection.selectedClass, third[0]);
        QCOMPARE(bar->value(), scrolled);
        QVERIFY(frame->resultLine()->text().contains(QStringLiteral("没有找到名称含“十班”的班级")));

        // The teacher table: Ctrl+F and a teacher's name.
        frame->commandAction(1105)->trigger();
        const int last = m.teachers.teacherCount() - 1;
        QVERIFY(last > 20);
        view->setFocus();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QTest::keyClick(view, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), box);
        auto* edit = frame->menuBar()->findChild<QMenu*>(QStringLiteral("editMenu"));
        QVERIFY(edit && edit->actions().last()->shortcut() == QKeySequence(QKeySequence::Find));
        QInputMethodEvent teacher;
        teacher.setCommitString(m.teachers.teacherName(last));
        QCoreApplication::sendEvent(box, &teacher);
        QCOMPARE(m.selection.selectedClass, last);
        QVERIFY(shownWhole(last));
    }

    void saveKeepsTheConstraintTables()
    {
        // 查询总表 then 保存课表 on a school with nothing saved yet.
        DemoDatabase db;
        const std::vector<QStringList> fixed = tableRows(QStringLiteral("固定科目"));
        const std::vector<QStringList> combined = tableRows(QStringLiteral("合班设置"));
        QCOMPARE(fixed.size(), size_t(4));
        QCOMPARE(combined.size(), size_t(1));
        auto frame = openFrame();
        frame->commandAction(1104)->trigger();
        frame->commandAction(1103)->trigger();
        QCOMPARE(tableRows(QStringLiteral("固定科目")), fixed);
        QCOMPARE(tableRows(QStringLiteral("合班设置")), combined);

        // A fixed lesson added in 设置固定科目 after start-up outlives the next save.
        {
            QSqlQuery query(Database::connection());
            QVERIFY(query.exec(QStringLiteral(
                "insert into 固定科目(班级,星期,节次,科目) values('七(2)班','2','3','数学')")));
        }
        std::vector<QStringList> added = tableRows(QStringLiteral("固定科目"));
        QCOMPARE(added.size(), size_t(5));
        frame->commandAction(1103)->trigger();
        QCOMPARE(tableRows(QStringLiteral("固定科目")), added);

        // After a run, the fixed lesson of 七(1)班 on day 1, period 1, moved
        // by hand to period 4, is moved in its row; nothing else changes.
        frame->setRunSeed(5u);
        frame->commandAction(1101)->trigger();
        pressPlay(*frame);
        const TimetableModel& m = frame->view()->model();
        QCOMPARE(m.className(0), QStringLiteral("七(1)班"));
        QCOMPARE(m.subject(0, 0, 0), QStringLiteral("语文"));
        QVERIFY(m.subject(0, 0, 3) != QStringLiteral("语文"));
        frame->commandAction(1102)->trigger();
        swapByHand(*frame, 0, 0, 0, 0, 3);
        QCOMPARE(m.subject(0, 0, 3), QStringLiteral("语文"));
        {
            QSqlQuery query(Database::connection()); // and another one meanwhile
            QVERIFY(query.exec(QStringLiteral(
                "insert into 固定科目(班级,星期,节次,科目) values('七(3)班','4','2','英语')")));
        }
        added = tableRows(QStringLiteral("固定科目"));
        frame->commandAction(1103)->trigger();
        added[0] = QStringList{"七(1)班", "1", "4", "语文"};
        QCOMPARE(tableRows(QStringLiteral("固定科目")), added);
        QCOMPARE(tableRows(QStringLiteral("合班设置")), combined);
    }

    void secondRunAsksFirst_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("保存") << QStringLiteral("保存");
        QTest::newRow("不保存") << QStringLiteral("不保存");
        QTest::newRow("取消") << QStringLiteral("取消");
    }
    void secondRunAsksFirst()
    {
        QFETCH(QString, answer);
        DemoDatabase db;
        auto frame = openFrame();
        frame->setRunSeed(5u);
        pressPlay(*frame);
        frame->commandAction(1103)->trigger();
        const std::vector<QStringList> savedRun = tableRows(QStringLiteral("课表"));
        frame->commandAction(1102)->trigger();
        const TimetableModel& m = frame->view()->model();
        const QStringList ran = m.subjectGrid;
        swapByHand(*frame, 0, 0, 0, 0, 3);
        swapByHand(*frame, 1, 0, 1, 0, 4);
        const QStringList swapped = m.subjectGrid;
        QVERIFY(swapped != ran);
        QVERIFY(frame->view()->isModified());
        const int steps = frame->view()->undoStack().count();

        frame->setRunSeed(6u);
        frame->commandAction(1101)->trigger();
        BoxAnswerer boxes({answer});
        pressPlay(*frame);
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("课表尚未保存，是否保存？")});
        const std::vector<QStringList> file = tableRows(QStringLiteral("课表"));

        if (answer == QStringLiteral("取消")) {
            // Nothing ran: the hand work is shown as it was, still unsaved.
            QCOMPARE(frame->flags(), (DisplayFlags{0, 0, 0}));
            QCOMPARE(m.subjectGrid, swapped);
            QCOMPARE(frame->view()->undoStack().count(), steps);
            QCOMPARE(frame->lastRun()->seed, 5u);
            QVERIFY(frame->view()->isModified());
            QCOMPARE(file, savedRun);
            return;
        }
        // The run is shown, as one more undo step.
        QCOMPARE(frame->flags(), (DisplayFlags{1, 0, 0}));
        QCOMPARE(frame->lastRun()->seed, 6u);
        QVERIFY(m.subjectGrid != swapped);
        QCOMPARE(frame->view()->undoStack().count(), steps + 1);
        QVERIFY(frame->view()->isModified());
        QVERIFY(frame->resultLine()->text().contains(QStringLiteral("随机种子 6")));
        if (answer == QStringLiteral("保存")) {
            QCOMPARE(file.at(0).at(1), swapped.at(1)); // the swapped timetable was saved first
            QCOMPARE(file.at(0).at(4), swapped.at(4));
        } else {
            QCOMPARE(file, savedRun);
        }

        // Ctrl+Z brings the hand work back, with its result line; Ctrl+Y the run.
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m.subjectGrid, swapped);
        QCOMPARE(frame->view()->isModified(), answer == QStringLiteral("不保存"));
        QCOMPARE(frame->lastRun()->seed, 5u);
        QVERIFY2(frame->resultLine()->text().contains(QStringLiteral("随机种子 5")), qPrintable(frame->resultLine()->text()));
        QTest::keyClick(frame.get(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(m.subjectGrid != swapped);
        QCOMPARE(frame->lastRun()->seed, 6u);
        // Back to the hand work and a run without saving: the question again.
        QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier);
        if (frame->view()->isModified()) {
            frame->commandAction(1101)->trigger();
            boxes.push(QStringLiteral("取消"));
            pressPlay(*frame);
            QCOMPARE(boxes.texts().size(), 2);
            QCOMPARE(m.subjectGrid, swapped);
        }
    }

    void exportWithTheProgressPicture_data()
    {
        QTest::addColumn<bool>("teachers");
        QTest::addColumn<QString>("chosen");  // relative to a scratch folder
        QTest::addColumn<QString>("written"); // empty: the export fails
        QTest::addColumn<int>("finishedTicks");
        QTest::addColumn<int>("lastState");
        QTest::newRow("master table") << false << "总课表.xlsx" << "总课表.xlsx" << 11 << 1;
        QTest::newRow("teacher table, .xls written as .xlsx") << true << "教师.xls" << "教师.xlsx" << 11 << 1;
        QTest::newRow("a folder that is not there") << false << "没有/总课表.xlsx" << "" << 0 << 2;
    }
    void exportWithTheProgressPicture()
    {
        QFETCH(bool, teachers);
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QFETCH(int, finishedTicks);
        QFETCH(int, lastState);
        DemoDatabase db;
        QTemporaryDir out;
        auto frame = openFrame();
        frame->setRunSeed(9u);
        pressPlay(*frame);
        frame->commandAction(teachers ? 1105 : 1104)->trigger();

        // Answers the save dialog, watches the progress picture, answers the last box.
        int seenFinishedTicks = -1;
        int seenState = -1;
        QStringList texts;
        QTimer poll;
        QPointer<QWidget> last;
        connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == last)
                return;
            last = modal;
            if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                files->selectFile(QDir(out.path()).filePath(chosen));
                QDialog* asDialog = files;
                QTimer::singleShot(0, files, [asDialog] { asDialog->done(QDialog::Accepted); });
            } else if (auto* progress = qobject_cast<CPrograssDlg*>(modal)) {
                connect(progress, &QDialog::finished, [&, progress] {
                    seenFinishedTicks = progress->ticker().finishedTicks();
                    seenState = progress->ticker().lastSeenState();
                });
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                texts << box->text();
                QTimer::singleShot(0, box, [box] { box->buttons().first()->click(); });
            }
        });
        poll.start(5);
        frame->commandAction(1106)->trigger();

        QCOMPARE(seenFinishedTicks, finishedTicks);
        QCOMPARE(seenState, lastState);
        QCOMPARE(texts.size(), 1);
        if (written.isEmpty()) {
            QVERIFY2(texts.first().startsWith(QStringLiteral("课表没有导出。")), qPrintable(texts.first()));
            return;
        }
        const QString path = QDir(out.path()).filePath(written);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY2(texts.first().contains(QDir::toNativeSeparators(path)), qPrintable(texts.first()));
        // The display is unchanged.
        QCOMPARE(frame->flags().showTeacherTable, teachers ? 1 : 0);
    }

    void foreignDatabaseIsRefusedAndLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("sqlite");
        QTest::newRow("a text file") << QByteArray("名单\n张三\n") << false;
        QTest::newRow("another program's SQLite file") << QByteArray() << true;
    }
    void foreignDatabaseIsRefusedAndLeftAlone()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, sqlite);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        if (sqlite) {
            {
                QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
                other.setDatabaseName(path);
                QVERIFY(other.open());
                QSqlQuery(other).exec(QStringLiteral("create table 成绩 (姓名 text, 分数 int)"));
                QSqlQuery(other).exec(QStringLiteral("insert into 成绩 values ('张三', 90)"));
                other.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const QByteArray before = fileHash(path);
        BoxAnswerer boxes;
        QVERIFY(!Startup::openPlanningDatabase(path));
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY2(boxes.texts().first().contains(QStringLiteral("Vorlat.db")), qPrintable(boxes.texts().first()));
        QCOMPARE(fileHash(path), before);
        QVERIFY(!Database::isOpen());
    }

    void helpMenuOpensPagesThatExist()
    {
        DemoDatabase db;
        auto frame = openFrame();
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
        // The menu bar holds 代课(D), then 帮助(H), the last.
        QMenu* help = frame->menuBar()->actions().isEmpty() ? nullptr : frame->menuBar()->actions().last()->menu();
        QVERIFY(help);
        QCOMPARE(help->title(), QStringLiteral("帮助(&H)"));
        QStringList items;
        for (QAction* action : help->actions())
            items << action->text();
        QCOMPARE(items, (QStringList{QStringLiteral("使用指南"), QStringLiteral("视频教程"), QStringLiteral("软件网站")}));
        help->actions().at(1)->trigger();
        help->actions().at(2)->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(recorder.urls.size(), 2);
        for (const QUrl& url : recorder.urls) {
            if (url.isLocalFile())
                QVERIFY2(QFileInfo::exists(url.toLocalFile()), qPrintable(url.toString()));
        }

        // 使用指南 shows the picture dialog, its toolbar row as the toolbar
        // has it (优化课表 included); Esc closes it.
        QStringList toolbar;
        for (QAction* action : frame->toolBar()->actions())
            if (action->isVisible() && !action->isSeparator() && !action->text().isEmpty()) // the find box is no button
                toolbar << action->text();
        QVERIFY(toolbar.contains(QStringLiteral("优化课表")));
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CHelpDlg*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown = dialog->isVisible();
            QCOMPARE(dialog->windowTitle(), QStringLiteral("帮助"));
            QCOMPARE(dialog->size(), QSize(614, 557));
            QCOMPARE(dialog->toolbarTexts(), toolbar);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        help->actions().at(0)->trigger();
        QVERIFY(shown);
    }

    // Without a browser, 视频教程 and 软件网站 say where the page is.
    void helpPagesWithoutABrowserSayWhereTheyAre()
    {
        DemoDatabase db;
        auto frame = openFrame();
        QList<QUrl> asked;
        HelpPages::setOpener([&asked](const QUrl& url) {
            asked << url;
            return false;
        });
        QMenu* help = frame->menuBar()->actions().isEmpty() ? nullptr : frame->menuBar()->actions().last()->menu();
        QVERIFY(help);
        QCOMPARE(help->title(), QStringLiteral("帮助(&H)"));
        BoxAnswerer boxes;
        help->actions().at(1)->trigger();
        help->actions().at(2)->trigger();
        HelpPages::setOpener({});
        QCOMPARE(asked, (QList<QUrl>{CMainFrame::guideUrl(), CMainFrame::projectUrl()}));
        QCOMPARE(boxes.texts().size(), 2);
        const QString guide = QDir::toNativeSeparators(CMainFrame::guideUrl().toLocalFile());
        QVERIFY2(boxes.texts().at(0).contains(guide), qPrintable(boxes.texts().at(0)));
        const QUrl site = CMainFrame::projectUrl();
        QVERIFY2(boxes.texts().at(1).contains(site.isLocalFile() ? QDir::toNativeSeparators(site.toLocalFile())
                                                                  : site.toString()),
                 qPrintable(boxes.texts().at(1)));
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
