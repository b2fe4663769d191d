#include "TimetableFixture.h"

#include "engine/PlanningModel.h"
#include "view/SwapRules.h"
#include "view/TimetableModel.h"

#include <QtTest>

#include <optional>

using Cell = TimetableModel::Cell;
Q_DECLARE_METATYPE(std::optional<TimetableModel::Cell>)

namespace {

// Three classes, 2 days × 3 periods.
//   一班: 语文/张  数学/李  -      | 英语/王  -       体育/赵
//   二班: 数学/李  语文/张  英语/王 | -       音乐/钱  体育/赵
//   三班: 英语/王  -       数学/李 | 语文/张  -       -
TimetableModel smallSchool()
{
    TimetableModel model = emptyModel(2, 3, {QStringLiteral("一班"), QStringLiteral("二班"), QStringLiteral("三班")});
    fillRow(model, 0, {"语文/张", "数学/李", "-", "英语/王", "-", "体育/赵"});
    fillRow(model, 1, {"数学/李", "语文/张", "英语/王", "-", "音乐/钱", "体育/赵"});
    fillRow(model, 2, {"英语/王", "-", "数学/李", "语文/张", "-", "-"});
    return model;
}

// `classes` classes of days × periods; teacher k teaches slot k of class 0 only,
// so the teacher table has exactly `teachers` rows.
TimetableModel schoolWithTeachers(int days, int periods, int classes, int teachers)
{
    QStringList names;
    for (int c = 0; c < classes; ++c)
        names << QStringLiteral("%1班").arg(c + 1);
    TimetableModel model = emptyModel(days, periods, names);
    for (int k = 0; k < teachers && k < days * periods && classes > 0; ++k)
        model.setLesson(0, k / periods, k % periods, QStringLiteral("语文"), QStringLiteral("教师%1").arg(k));
    return model;
}

} // namespace

class TimetableModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void constructorValues()
    {
        const TimetableModel model;
        QCOMPARE(model.classCount, 0);
        QCOMPARE(model.dayCount, 0);
        QCOMPARE(model.periodCount, 0);
        QCOMPARE(model.layout.mode, DisplayMode::Home);
        QCOMPARE(model.layout.cellWidth, 45);
        QCOMPARE(model.layout.cellHeight, 25);
        QCOMPARE(model.layout.contentWidth, 0);
        QCOMPARE(model.layout.contentHeight, 0);
        QCOMPARE(model.selection.selectedClass, -1);
        QCOMPARE(model.selection.selectedDay, -1);
        QCOMPARE(model.selection.selectedPeriod, -1);
        QCOMPARE(model.selection.swapArmed, 0);
        QCOMPARE(model.subjectNames.size(), 24);
        QVERIFY(model.subjectGrid.isEmpty() && model.teacherGrid.isEmpty() && model.teachers.teacherTable.isEmpty());
        QVERIFY(model.fixedLessons.empty() && model.combinedClasses.empty());
    }

    void layoutAndSlotCode()
    {
        const TimetableModel model = smallSchool();
        // S + 1 = 7 entries per class: name, then day-major slots.
        QCOMPARE(model.subjectGrid.size(), 21);
        QCOMPARE(model.subjectGrid[7], QStringLiteral("二班"));
        QCOMPARE(model.subjectGrid[7 + 1 + 1 * 3 + 1], QStringLiteral("音乐"));
        QCOMPARE(model.teacherGrid[7 + 1 + 1 * 3 + 1], QStringLiteral("钱"));
        QCOMPARE(model.subject(1, 1, 1), QStringLiteral("音乐"));
        QCOMPARE(model.className(2), QStringLiteral("三班"));

        QCOMPARE(TimetableModel::SlotCode(0, 0), QStringLiteral("11"));
        QCOMPARE(TimetableModel::SlotCode(0, 8), QStringLiteral("19"));
        QCOMPARE(TimetableModel::SlotCode(6, 8), QStringLiteral("79"));
        QCOMPARE(TimetableModel::SavedSlotPosition(1, 2), 1 + 9 + 2);
    }

    void lookups()
    {
        const TimetableModel model = smallSchool();
        QCOMPARE(model.SubjectNumber(QStringLiteral("语文")), 1);
        QCOMPARE(model.SubjectNumber(QStringLiteral("音乐")), 5);
        QCOMPARE(model.SubjectNumber(QStringLiteral("化学")), -1);
        QCOMPARE(model.SubjectNumber(QStringLiteral("H")), 6); // the first unused place
        QCOMPARE(model.ClassIndex(QStringLiteral("一班")), 0);
        QCOMPARE(model.ClassIndex(QStringLiteral("三班")), 2);
        QCOMPARE(model.ClassIndex(QStringLiteral("四班")), -1);
        QCOMPARE(model.ClassIndex(QStringLiteral("H")), -1);
    }

    void teacherClash_data()
    {
        QTest::addColumn<QString>("teacher");
        QTest::addColumn<int>("excluded");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("expected");
        QTest::newRow("free slots never clash") << "H" << 0 << 0 << 2 << -1;
        QTest::newRow("own row skipped") << "张" << 0 << 0 << 0 << -1;
        QTest::newRow("other row reported") << "张" << 1 << 0 << 0 << 0;
        QTest::newRow("first other row") << "赵" << 2 << 1 << 2 << 0;
        QTest::newRow("first other row after excluded") << "赵" << 0 << 1 << 2 << 1;
        QTest::newRow("not booked") << "钱" << 0 << 0 << 0 << -1;
        QTest::newRow("day outside the week") << "张" << 5 << 2 << 0 << -1;
    }
    void teacherClash()
    {
        QFETCH(QString, teacher);
        QFETCH(int, excluded);
        QFETCH(int, day);
        QFETCH(int, period);
        QFETCH(int, expected);
        QCOMPARE(smallSchool().FindTeacherClash(teacher, excluded, day, period), expected);
    }

    void combinedAndFixed()
    {
        TimetableModel model = smallSchool();
        model.appendCombinedGroup(4, {0, 1}); // 体育: 一班, 二班
        model.appendCombinedGroup(2, {-1, 2, -1, -1, -1});
        model.appendFixedLesson({1, 1, 1, 5});
        model.appendFixedLesson({0, 0, 0, 1});
        QVERIFY(model.IsCombinedLesson(0, 4));
        QVERIFY(model.IsCombinedLesson(1, 4));
        QVERIFY(!model.IsCombinedLesson(2, 4));
        QVERIFY(!model.IsCombinedLesson(0, 2));
        QVERIFY(model.IsCombinedLesson(2, 2));
        QVERIFY(!model.IsCombinedLesson(-1, 2)); // an empty place is no class
        QCOMPARE(model.FindFixedLesson(0, 0, 0, 1), 1);
        QCOMPARE(model.FindFixedLesson(1, 1, 1, 5), 0);
        QCOMPARE(model.FindFixedLesson(1, 1, 1, 4), -1);
        QCOMPARE(model.FindFixedLesson(0, 0, 1, 1), -1);
    }

    void cellMarks()
    {
        TimetableModel model = emptyModel(1, 2, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
        fillRow(model, 0, {"体育/赵", "语文/张"});
        fillRow(model, 1, {"体育/赵", "数学/张"});
        fillRow(model, 2, {"-", "英语/张"});
        model.appendCombinedGroup(4, {0, 1});
        model.appendFixedLesson({2, 0, 1, 3});
        // The shared 体育 lesson of A and B is combined, not a conflict.
        QCOMPARE(model.MarkOf(0, 0, 0), TimetableModel::CellMark::Combined);
        QCOMPARE(model.MarkOf(1, 0, 0), TimetableModel::CellMark::Combined);
        // 张 in three classes at once: conflict, except where the lesson is fixed.
        QCOMPARE(model.MarkOf(0, 0, 1), TimetableModel::CellMark::Conflict);
        QCOMPARE(model.MarkOf(2, 0, 1), TimetableModel::CellMark::Fixed);
        QCOMPARE(model.MarkOf(2, 0, 0), TimetableModel::CellMark::Normal);
        // Without the group the shared lesson is a conflict in both classes.
        model.combinedClasses.clear();
        QCOMPARE(model.MarkOf(0, 0, 0), TimetableModel::CellMark::Conflict);
        QCOMPARE(model.MarkOf(1, 0, 0), TimetableModel::CellMark::Conflict);
    }

    void movableSlots()
    {
        TimetableModel model = smallSchool();
        model.selection.selectedClass = 0; // 一班 星期一 第1节 语文/张
        model.selection.selectedDay = 0;
        model.selection.selectedPeriod = 0;
        // 张 teaches 二班 at (0, 1) and 三班 at (1, 0).
        QVERIFY(!model.IsMovableSlot(0, 1));
        QVERIFY(!model.IsMovableSlot(1, 0));
        QVERIFY(model.IsMovableSlot(0, 2)); // free, 张 free there
        QVERIFY(model.IsMovableSlot(1, 1));
        // 赵's slot: 张 is free at (1, 2), but 赵 is free at (0, 0) too.
        QVERIFY(model.IsMovableSlot(1, 2));
        // 李 at (0, 1) of 一班 would meet 李 of 二班 at (0, 0).
        model.selection.selectedPeriod = 1;
        QVERIFY(!model.IsMovableSlot(0, 0));
        model.selection.selectedClass = -1;
        QVERIFY(!model.IsMovableSlot(0, 0));
    }

    void teacherTable()
    {
        TimetableModel model = smallSchool();
        model.BuildTeacherTable();
        // First appearance: class by class, day by day, period by period.
        QCOMPARE(model.teachers.teacherCount(), 5);
        QStringList names;
        for (int t = 0; t < model.teachers.teacherCount(); ++t)
            names << model.teachers.teacherName(t);
        QCOMPARE(names, (QStringList{"张", "李", "王", "赵", "钱"}));
        QCOMPARE(model.teachers.teacherTable.size(), 5 * 8);
        QCOMPARE(model.teachers.teacherWeeklyCount(0), QStringLiteral("3"));
        QCOMPARE(model.teachers.teacherWeeklyCount(4), QStringLiteral("1"));
        QCOMPARE(model.teachers.teacherSlot(0, 0, 0), QStringLiteral("一班 语文"));
        QCOMPARE(model.teachers.teacherSlot(0, 0, 1), QStringLiteral("二班 语文"));
        QCOMPARE(model.teachers.teacherSlot(0, 0, 2), QStringLiteral("H"));
        QCOMPARE(model.teachers.teacherSlot(4, 1, 1), QStringLiteral("二班 音乐"));
        // 赵 teaches 一班 and 二班 in the same slot: the later class wins, both count.
        QCOMPARE(model.teachers.teacherSlot(3, 1, 2), QStringLiteral("二班 体育"));
        QCOMPARE(model.teachers.teacherWeeklyCount(3), QStringLiteral("2"));
    }

    void teacherTableCombinedLaterClassWins()
    {
        // One combined lesson taught to classes 2 and 5.
        QStringList names;
        for (int c = 0; c < 6; ++c)
            names << QStringLiteral("C%1").arg(c);
        TimetableModel model = emptyModel(5, 8, names);
        model.setLesson(2, 3, 4, QStringLiteral("体育"), QStringLiteral("赵"));
        model.setLesson(5, 3, 4, QStringLiteral("体育"), QStringLiteral("赵"));
        model.appendCombinedGroup(4, {2, 5});
        model.BuildTeacherTable();
        QCOMPARE(model.teachers.teacherCount(), 1);
        QCOMPARE(model.teachers.teacherSlot(0, 3, 4), QStringLiteral("C5 体育"));
        QCOMPARE(model.teachers.teacherWeeklyCount(0), QStringLiteral("2"));
    }

    void teacherTableOfEmptyGrids()
    {
        TimetableModel noTeachers = emptyModel(5, 8, {QStringLiteral("一班")});
        noTeachers.teachers.teacherTable << QStringLiteral("stale");
        noTeachers.BuildTeacherTable();
        QCOMPARE(noTeachers.teachers.teacherCount(), 0);
        QVERIFY(noTeachers.teachers.teacherTable.isEmpty());

        // No class at all: the teacher table is shown empty, not a failure.
        TimetableModel noClasses = emptyModel(5, 8, {});
        noClasses.SetDisplayMode(DisplayMode::TeacherTable, 1920);
        QCOMPARE(noClasses.teachers.teacherCount(), 0);
        QCOMPARE(noClasses.layout.contentHeight, 50);
        QCOMPARE(noClasses.layout.contentWidth, 40 * 75 + 160);
        QCOMPARE(noClasses.selection.selectedClass, 0);
    }

    void geometry_data()
    {
        QTest::addColumn<DisplayMode>("mode");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("periods");
        QTest::addColumn<int>("classes");
        QTest::addColumn<int>("teachers");
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("cellWidth");
        QTest::addColumn<int>("cellHeight");
        QTest::addColumn<int>("contentWidth");
        QTest::addColumn<int>("contentHeight");

        QTest::newRow("home") << DisplayMode::Home << 5 << 8 << 3 << 3 << 1920 << 45 << 25 << 0 << 0;
        QTest::newRow("home, teacher flag set") << DisplayMode::Home << 5 << 8 << 3 << 3 << 1920 << 45 << 25 << 0 << 0;
        // (1920 - 10) / 41 = 46; 41 · 46 + 10; (12 + 1) · 44 + 10.
        QTest::newRow("master 5x8 on 1920") << DisplayMode::MasterTable << 5 << 8 << 12 << 3 << 1920 << 46 << 22 << 1896 << 582;
        QTest::newRow("adjustment 5x8 on 1920") << DisplayMode::Adjustment << 5 << 8 << 12 << 3 << 1920 << 46 << 22 << 1896 << 582;
        // 45 · 41 = 1845 is not below 1356: stays 45 and scrolls.
        QTest::newRow("master 5x8 on 1366") << DisplayMode::MasterTable << 5 << 8 << 12 << 3 << 1366 << 45 << 22 << 1855 << 582;
        // 45 · 41 = 1845 is not below 1845 either.
        QTest::newRow("master 5x8 on 1855") << DisplayMode::MasterTable << 5 << 8 << 0 << 0 << 1855 << 45 << 22 << 1855 << 54;
        // 1846 / 41 truncates to 45 again; 46 needs a screen of 1896.
        QTest::newRow("master 5x8 on 1856") << DisplayMode::MasterTable << 5 << 8 << 0 << 0 << 1856 << 45 << 22 << 1855 << 54;
        QTest::newRow("master 5x8 on 1896") << DisplayMode::MasterTable << 5 << 8 << 0 << 0 << 1896 << 46 << 22 << 1896 << 54;
        // 45 · 26 = 1170 < 1356: the 5x5 week widens to (1366 - 10) / 26 = 52 and fills the screen.
        QTest::newRow("master 5x5 on 1366") << DisplayMode::MasterTable << 5 << 5 << 2 << 0 << 1366 << 52 << 22 << 1362 << 142;
        QTest::newRow("teacher 40 teachers 5x8") << DisplayMode::TeacherTable << 5 << 8 << 1 << 40 << 1920 << 75 << 20 << 3160 << 850;
        QTest::newRow("teacher, adjust flag ignored") << DisplayMode::TeacherTable << 5 << 8 << 1 << 2 << 1366 << 75 << 20 << 3160 << 90;
        QTest::newRow("teacher, no teachers") << DisplayMode::TeacherTable << 5 << 8 << 2 << 0 << 1366 << 75 << 20 << 3160 << 50;
    }
    void geometry()
    {
        QFETCH(DisplayMode, mode);
        QFETCH(int, days);
        QFETCH(int, periods);
        QFETCH(int, classes);
        QFETCH(int, teachers);
        QFETCH(int, screen);
        TimetableModel model = schoolWithTeachers(days, periods, classes, teachers);
        model.selection.swapArmed = 1;
        model.SetDisplayMode(mode, screen);
        QCOMPARE(model.layout.mode, mode);
        QTEST(model.layout.cellWidth, "cellWidth");
        QTEST(model.layout.cellHeight, "cellHeight");
        QTEST(model.layout.contentWidth, "contentWidth");
        QTEST(model.layout.contentHeight, "contentHeight");
        // The first cell is selected, the arming survives.
        QCOMPARE(model.selection.selectedClass, 0);
        QCOMPARE(model.selection.selectedDay, 0);
        QCOMPARE(model.selection.selectedPeriod, 0);
        QCOMPARE(model.selection.swapArmed, 1);
    }

    void teacherTableRebuiltOnShow()
    {
        TimetableModel model = smallSchool();
        model.SetDisplayMode(DisplayMode::TeacherTable, 1366);
        QCOMPARE(model.teachers.teacherCount(), 5);
        model.setLesson(2, 1, 2, QStringLiteral("美术"), QStringLiteral("孙"));
        QCOMPARE(model.teachers.teacherCount(), 5); // does not follow until shown again
        model.SetDisplayMode(DisplayMode::MasterTable, 1366);
        model.SetDisplayMode(DisplayMode::TeacherTable, 1366);
        QCOMPARE(model.teachers.teacherCount(), 6);
        QCOMPARE(model.layout.contentHeight, 6 * 20 + 50);
    }

    void masterHit_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("scrollX");
        QTest::addColumn<int>("scrollY");
        QTest::addColumn<std::optional<Cell>>("cell");
        const std::optional<Cell> none;
        // 5 × 8 week, 3 classes. On 1920: W = 46, L = 22, rows of 44 pixels from y = 44.
        QTest::newRow("1920 first cell") << 1920 << 46 << 44 << 0 << 0 << std::optional(Cell{0, 0, 0});
        QTest::newRow("1920 last pixel of first cell") << 1920 << 91 << 87 << 0 << 0 << std::optional(Cell{0, 0, 0});
        QTest::newRow("1920 day 2 period 1") << 1920 << 46 * 9 << 88 << 0 << 0 << std::optional(Cell{1, 1, 0});
        QTest::newRow("1920 last cell") << 1920 << 46 * 40 + 45 << 44 * 4 - 1 << 0 << 0 << std::optional(Cell{2, 4, 7});
        QTest::newRow("1920 day header") << 1920 << 100 << 10 << 0 << 0 << none;
        QTest::newRow("1920 period header") << 1920 << 100 << 30 << 0 << 0 << none;
        QTest::newRow("1920 class name column") << 1920 << 20 << 60 << 0 << 0 << none;
        QTest::newRow("1920 below last class") << 1920 << 100 << 44 * 4 << 0 << 0 << none;
        QTest::newRow("1920 right of last slot") << 1920 << 46 * 41 << 60 << 0 << 0 << none;
        // On 1366: W = 45; the table is 1855 wide and scrolls.
        QTest::newRow("1366 first cell") << 1366 << 45 << 44 << 0 << 0 << std::optional(Cell{0, 0, 0});
        QTest::newRow("1366 x 44 is the name column") << 1366 << 44 << 44 << 0 << 0 << none;
        QTest::newRow("1366 scrolled right") << 1366 << 1300 << 50 << 300 << 0 << std::optional(Cell{0, 4, 2});
        QTest::newRow("1366 scrolled onto last slot") << 1366 << 1340 << 50 << 500 << 0 << std::optional(Cell{0, 4, 7});
        QTest::newRow("1366 scrolled past last slot") << 1366 << 1350 << 50 << 500 << 0 << none;
        QTest::newRow("1366 scrolled down") << 1366 << 100 << 50 << 0 << 90 << std::optional(Cell{2, 0, 1});
        QTest::newRow("1366 scrolled both") << 1366 << 50 << 50 << 40 << 80 << std::optional(Cell{1, 0, 1});
        QTest::newRow("1366 scrolled past the classes") << 1366 << 60 << 60 << 40 << 130 << none;
        // The header band and the name column stay in place while the cells scroll.
        QTest::newRow("1366 scrolled down, header band stays") << 1366 << 100 << 30 << 0 << 90 << none;
        QTest::newRow("1366 scrolled right, name column stays") << 1366 << 20 << 60 << 300 << 0 << none;
        QTest::newRow("1366 scrolled both, corner stays") << 1366 << 10 << 5 << 40 << 130 << none;
        QTest::newRow("negative point") << 1366 << -50 << -50 << 0 << 0 << none;
    }
    void masterHit()
    {
        QFETCH(int, screen);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, scrollX);
        QFETCH(int, scrollY);
        QFETCH(std::optional<Cell>, cell);
        TimetableModel model = schoolWithTeachers(5, 8, 3, 4);
        model.SetDisplayMode(DisplayMode::MasterTable, screen);
        const std::optional<Cell> hit = model.MasterCellAt(x, y, scrollX, scrollY);
        QCOMPARE(hit.has_value(), cell.has_value());
        if (cell)
            QCOMPARE(*hit, *cell);

        // A left click selects and arms exactly when it hits a cell; otherwise
        // the selection and the arming stay as they were.
        model.selection.selectedClass = 2;
        model.selection.selectedDay = 3;
        model.selection.selectedPeriod = 4;
        model.selection.swapArmed = 0;
        QCOMPARE(model.SelectMasterCell(x, y, scrollX, scrollY), cell.has_value());
        const Cell expected = cell.value_or(Cell{2, 3, 4});
        QCOMPARE((Cell{model.selection.selectedClass, model.selection.selectedDay, model.selection.selectedPeriod}), expected);
        QCOMPARE(model.selection.swapArmed, cell ? 1 : 0);
    }

    void teacherHit_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("scrollY");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("selected");
        // L = 20; teacher rows start at y = 40. Header clicks keep the selection (7).
        QTest::newRow("day header") << 5 << 0 << -2 << 7;
        QTest::newRow("period header") << 25 << 0 << -1 << 7;
        QTest::newRow("first teacher") << 40 << 0 << 0 << 0;
        QTest::newRow("third teacher") << 85 << 0 << 2 << 2;
        QTest::newRow("scrolled") << 45 << 60 << 3 << 3;
        QTest::newRow("scrolled, header band stays") << 25 << 60 << -1 << 7;
        QTest::newRow("past the last teacher") << 400 << 0 << 18 << 18;
    }
    void teacherHit()
    {
        QFETCH(int, y);
        QFETCH(int, scrollY);
        QFETCH(int, row);
        QFETCH(int, selected);
        TimetableModel model = schoolWithTeachers(5, 8, 2, 4);
        model.SetDisplayMode(DisplayMode::TeacherTable, 1920);
        QCOMPARE(model.TeacherRowAt(y, scrollY), row);
        model.selection.selectedClass = 7;
        model.selection.swapArmed = 1;
        QCOMPARE(model.SelectTeacherRow(y, scrollY), row >= 0);
        QCOMPARE(model.selection.selectedClass, selected);
        QCOMPARE(model.selection.swapArmed, 1);
    }

    // A row found by name is brought whole into view under the header band,
    // with the least scroll.
    void scrollToShowRow_data()
    {
        QTest::addColumn<DisplayMode>("mode");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("scrollY");
        QTest::addColumn<int>("viewHeight");
        QTest::addColumn<int>("shown");
        // Master table on 1920: rows of 44 under a band of 44, row r at 44 (r + 1).
        QTest::newRow("visible stays") << DisplayMode::MasterTable << 5 << 100 << 300 << 100;
        QTest::newRow("first row, at the top") << DisplayMode::MasterTable << 0 << 0 << 300 << 0;
        QTest::newRow("below: its bottom at the view's") << DisplayMode::MasterTable << 10 << 0 << 300 << 228;
        QTest::newRow("above: its top under the band") << DisplayMode::MasterTable << 2 << 200 << 300 << 88;
        QTest::newRow("half under the band") << DisplayMode::MasterTable << 2 << 100 << 300 << 88;
        QTest::newRow("first row, scrolled far") << DisplayMode::MasterTable << 0 << 300 << 300 << 0;
        QTest::newRow("a view too low: the top wins") << DisplayMode::MasterTable << 3 << 0 << 60 << 132;
        // Teacher table: rows of 20 under a band of 40.
        QTest::newRow("teacher above") << DisplayMode::TeacherTable << 0 << 50 << 300 << 0;
        QTest::newRow("teacher below") << DisplayMode::TeacherTable << 20 << 0 << 300 << 160;
        QTest::newRow("adjustment like the master") << DisplayMode::Adjustment << 10 << 0 << 300 << 228;
    }
    void scrollToShowRow()
    {
        QFETCH(DisplayMode, mode);
        QFETCH(int, row);
        QFETCH(int, scrollY);
        QFETCH(int, viewHeight);
        QFETCH(int, shown);
        TimetableModel model = schoolWithTeachers(5, 8, 30, 30);
        model.SetDisplayMode(mode, 1920);
        QCOMPARE(model.layout.ScrollToShowRow(row, scrollY, viewHeight), shown);
        // Whole and below the band, unless the view is too low for it.
        const int top = model.layout.rowTop(row) - shown;
        QVERIFY(top >= model.layout.headerHeight());
        if (viewHeight >= model.layout.headerHeight() + model.layout.rowHeight())
            QVERIFY(top + model.layout.rowHeight() <= viewHeight);
    }

    // The names a find box looks through, and the selection it makes.
    void rowsFoundByName()
    {
        TimetableModel model = schoolWithTeachers(5, 8, 3, 2);
        QVERIFY(model.rowNames().isEmpty()); // the home screen
        model.SetDisplayMode(DisplayMode::Adjustment, 1920);
        QCOMPARE(model.rowNames(), (QStringList{"1班", "2班", "3班"}));
        model.selection.select(0, 2, 5);
        model.selection.swapArmed = 1;
        model.SelectRow(2);
        QCOMPARE(model.selection.selectedClass, 2);
        QCOMPARE(model.selection.selectedDay, 2);
        QCOMPARE(model.selection.selectedPeriod, 5);
        QCOMPARE(model.selection.swapArmed, 0); // a right click next does not swap
        model.selection.select(-1, -1, -1);
        model.SelectRow(1);
        QCOMPARE(model.selection.selectedClass, 1);
        QCOMPARE(model.selection.selectedDay, 0);
        QCOMPARE(model.selection.selectedPeriod, 0);

        model.SetDisplayMode(DisplayMode::TeacherTable, 1920);
        QCOMPARE(model.rowNames(), (QStringList{"教师0", "教师1"}));
        model.SelectRow(1);
        QCOMPARE(model.selection.selectedClass, 1);
    }

    void publishReplacesTheModel()
    {
        PlanningModel plan;
        plan.classCount = 2;
        plan.dayCount = 1;
        plan.periodCount = 2;
        plan.subjectNames[0] = QStringLiteral("语文");
        plan.subjectNames[1] = QStringLiteral("数学");
        for (int i = 2; i < Plan::kSubjectSlots; ++i)
            plan.subjectNames[i] = QStringLiteral("H");
        plan.subjectGrid = QStringList{"一班", "语文", "H", "二班", "数学", "语文"};
        plan.teacherGrid = QStringList{"一班", "张", "H", "二班", "李", "张"};
        plan.fixedLessons = {0, 0, 0, 1, /* unknown class */ 2, 0, 0, 1, /* no subject */ 1, 0, 0, 0, 1, 0, 1, 1};
        plan.combinedClasses = {2, 0, 1, -1, -1, -1, /* subject 25 */ 25, 0, 1, -1, -1, -1,
                                /* member 3 */ 1, 0, 3, -1, -1, -1};

        TimetableModel model = smallSchool();
        model.BuildTeacherTable();
        model.subjectNames[20] = QStringLiteral("旧科目");
        model.PublishToView(plan);

        QCOMPARE(model.classCount, 2);
        QCOMPARE(model.dayCount, 1);
        QCOMPARE(model.periodCount, 2);
        QCOMPARE(model.subjectGrid, plan.subjectGrid);
        QCOMPARE(model.teacherGrid, plan.teacherGrid);
        QCOMPARE(model.subjectNames, plan.subjectNames);
        QCOMPARE(model.fixedLessons, (std::vector<int>{0, 0, 0, 1, 1, 0, 1, 1}));
        QCOMPARE(model.combinedClasses, (std::vector<int>{2, 0, 1, -1, -1, -1}));
        QVERIFY(model.teachers.teacherTable.isEmpty());
        QCOMPARE(model.teacher(1, 0, 1), QStringLiteral("张"));
    }

    void publishNeverClaimsMissingRows()
    {
        PlanningModel plan;
        plan.classCount = 3; // but the grids hold one class
        plan.dayCount = 1;
        plan.periodCount = 2;
        plan.subjectGrid = QStringList{"一班", "语文", "H"};
        plan.teacherGrid = QStringList{"一班", "张", "H"};
        TimetableModel model;
        model.PublishToView(plan);
        QCOMPARE(model.classCount, 1);
        model.BuildTeacherTable();
        QCOMPARE(model.teachers.teacherCount(), 1);
    }

    void fixedMovesRecordWhatTheSaveWrites()
    {
        // 七(1): 语文 fixed at (0, 0), 数学 fixed at (0, 2), 英语 free to move.
        TimetableModel model = emptyModel(1, 4, {QStringLiteral("七(1)")});
        const QStringList lessons{"语文/张", "英语/王", "数学/李", "-"};
        fillRow(model, 0, lessons);
        model.appendFixedLesson({0, 0, 0, 1});
        model.appendFixedLesson({0, 0, 2, 2});
        const std::vector<int> loaded = model.fixedLessons;
        // What an undo back to the start does.
        const auto undoAll = [&] {
            fillRow(model, 0, lessons);
            model.setFixedLessons(loaded);
        };
        const auto row = [](int period, const char* subject) {
            return FixedMoveLog::Row{QStringLiteral("七(1)"), 0, period, QString::fromUtf8(subject)};
        };
        const auto swap = [&model](int p0, int p1) {
            model.selection.select(0, 0, p0);
            model.selection.swapArmed = 1;
            SwapRules::Request request;
            request.decision = SwapRules::Decision::AskConfirm; // answered with OK
            request.classIndex = 0;
            request.selectedDay = 0;
            request.selectedPeriod = p0;
            request.clickedDay = 0;
            request.clickedPeriod = p1;
            SwapRules::Perform(model, request);
        };

        // A fixed lesson moved by hand is recorded by name; moving it back leaves nothing.
        swap(0, 1);
        QCOMPARE(model.fixedMoves.moves(),
                 (std::vector<FixedMoveLog::Move>{{row(0, "语文"), row(1, "语文")}}));
        swap(1, 0);
        QVERIFY(model.fixedMoves.empty());
        // Into a free slot too; a lesson that is not fixed records nothing.
        swap(2, 3);
        swap(1, 2);
        QCOMPARE(model.fixedMoves.moves(), (std::vector<FixedMoveLog::Move>{{row(2, "数学"), row(3, "数学")}}));
        // Undo puts the list back: the move is taken out again.
        undoAll();
        QVERIFY(model.fixedMoves.empty());

        // Two fixed lessons that trade places trade subjects; undone in
        // either order, nothing is left.
        swap(0, 2);
        QCOMPARE(model.fixedMoves.moves(),
                 (std::vector<FixedMoveLog::Move>{{row(0, "语文"), row(0, "数学")}, {row(2, "数学"), row(2, "语文")}}));
        undoAll();
        QVERIFY(model.fixedMoves.empty());

        // A chain stays in order; undoing its last step leaves the first.
        swap(0, 1);
        swap(1, 3);
        const FixedMoveLog chain = model.fixedMoves;
        QCOMPARE(chain.moves().size(), size_t(2));
        swap(3, 1);
        QCOMPARE(model.fixedMoves.moves(), (std::vector<FixedMoveLog::Move>{{row(0, "语文"), row(1, "语文")}}));
        // An inverse behind a move that touches the same row does not cancel.
        FixedMoveLog log;
        log.append({row(0, "语文"), row(1, "语文")});
        log.append({row(1, "语文"), row(2, "语文")});
        log.append({row(1, "语文"), row(0, "语文")});
        QCOMPARE(log.moves().size(), size_t(3));
        QCOMPARE(chain.reversed().moves().front(), chain.moves().back().inverse());

        // A run's hand-off starts from the file's fixed lessons: nothing to write.
        PlanningModel plan;
        plan.classCount = 1;
        plan.dayCount = 1;
        plan.periodCount = 4;
        plan.subjectGrid = model.subjectGrid;
        plan.teacherGrid = model.teacherGrid;
        model.PublishToView(plan);
        QVERIFY(model.fixedMoves.empty());
    }
};

QTEST_GUILESS_MAIN(TimetableModelTest)
#include "TimetableModelTest.moc"
