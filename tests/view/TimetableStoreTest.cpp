#include "TestSupport.h"
#include "TimetableFixture.h"

#include "engine/PlanningModel.h"
#include "store/Database.h"
#include "store/ListRewrite.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/TableReader.h"
#include "view/TimetableStore.h"
#include "view/TimetableModel.h"

#include <QtTest>

namespace {

std::vector<std::vector<QStringList>> dumpSaved()
{
    return {tableRows(Schema::kTimetableTable), tableRows(Schema::kTimetableTeachersTable), tableRows(Schema::kFixedTable),
            tableRows(Schema::kCombinedTable)};
}

void setWeek(int days, int periods)
{
    Database::exec(QStringLiteral("UPDATE \"周工作计划\" SET \"工作天数\" = ?, \"每天节次\" = ?"),
                   {QString::number(days), QString::number(periods)}, QStringLiteral("test"));
}

void writeSubjects(const TimetableModel& model)
{
    for (int i = 0; i < Plan::kSubjectSlots; ++i)
        updateRow(Schema::kSubjectsTable, {QStringLiteral("科目")}, {model.subjectNames[i]}, i + 1, QStringLiteral("test"));
}

// 固定科目 and 合班设置 as the constraint dialogs write them, from the model's lists.
void writeConstraints(const TimetableModel& model)
{
    std::vector<QStringList> fixed;
    for (int i = 0; i < model.fixedLessonCount(); ++i) {
        const TimetableModel::FixedLesson f = model.fixedLesson(i);
        fixed.push_back({model.className(f.classIndex), QString::number(f.day + 1), QString::number(f.period + 1),
                         model.subjectNames[f.subject - 1]});
    }
    rewriteList(Schema::kFixedTable, fixed, QStringLiteral("test"));
    std::vector<QStringList> combined;
    for (int g = 0; g < model.combinedGroupCount(); ++g) {
        QStringList row{model.subjectNames[model.combinedSubject(g) - 1]};
        for (int k = 0; k < Plan::kCombinedMembers; ++k)
            row << (model.combinedMember(g, k) < 0 ? QStringLiteral("H") : model.className(model.combinedMember(g, k)));
        combined.push_back(row);
    }
    rewriteList(Schema::kCombinedTable, combined, QStringLiteral("test"));
}

// A saved-table row: class name, then 63 slots; `slots` fill the first ones day-major within 9-period days.
QStringList savedRow(const QString& name, const QStringList& slotsByCode = {})
{
    QStringList row(64, QStringLiteral("H"));
    row[0] = name;
    for (qsizetype i = 0; i < slotsByCode.size(); ++i)
        row[i + 1] = slotsByCode[i];
    return row;
}

// 七(1), 七(2), 七(3) in a 5 × 8 week with lessons everywhere but a few free slots,
// a fixed lesson and two combined groups (one of two members, one of three).
TimetableModel scheduledSchool()
{
    TimetableModel model = emptyModel(5, 8, {QStringLiteral("七(1)"), QStringLiteral("七(2)"), QStringLiteral("七(3)")});
    const QStringList subjects{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"),
                               QStringLiteral("体育"), QStringLiteral("音乐")};
    for (int c = 0; c < 3; ++c)
        for (int d = 0; d < 5; ++d)
            for (int p = 0; p < 8; ++p) {
                if ((c + d + p) % 7 == 0)
                    continue; // free
                const int n = (c + 2 * d + p) % 5;
                model.setLesson(c, d, p, subjects[n], QStringLiteral("师%1%2").arg(n).arg(c % 2));
            }
    model.appendFixedLesson({1, 2, 3, model.SubjectNumber(model.subject(1, 2, 3))});
    model.appendCombinedGroup(4, {0, 2});
    model.appendCombinedGroup(5, {-1, 1, -1, 0, 2});
    return model;
}

} // namespace

class TimetableStoreTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveAndLoadGiveTheSameModel()
    {
        ScratchDatabase db;
        TimetableModel saved = scheduledSchool();
        writeSubjects(saved);
        writeConstraints(saved);
        setWeek(5, 8);
        TimetableStore::SaveTimetable(saved);

        TimetableModel loaded;
        QVERIFY(TimetableStore::LoadSavedTimetable(loaded).ok());
        QCOMPARE(loaded.classCount, 3);
        QCOMPARE(loaded.dayCount, 5);
        QCOMPARE(loaded.periodCount, 8);
        QCOMPARE(loaded.subjectGrid.size(), 3 * 41);
        QCOMPARE(loaded.subjectGrid, saved.subjectGrid);
        QCOMPARE(loaded.teacherGrid, saved.teacherGrid);
        QCOMPARE(loaded.subjectNames, saved.subjectNames);
        QCOMPARE(loaded.fixedLessons, saved.fixedLessons);
        QCOMPARE(loaded.combinedClasses, saved.combinedClasses);
        // Loading shows nothing yet, and what is shown is what is saved.
        QCOMPARE(loaded.layout.mode, DisplayMode::Home);
        QCOMPARE(loaded.selection.selectedClass, -1);
        QVERIFY(!loaded.isModified() && !saved.isModified());
        // A swap makes it differ from the saved timetable.
        const std::uint64_t before = loaded.revision();
        loaded.setLesson(0, 0, 0, loaded.subject(0, 0, 1), loaded.teacher(0, 0, 1));
        QVERIFY(loaded.isModified());
        QVERIFY(loaded.revision() > before);
    }

    void publishedRunSavesAndLoads()
    {
        ScratchDatabase db;
        // The result of a run as the planning model hands it over.
        PlanningModel plan;
        plan.classCount = 2;
        plan.dayCount = 3;
        plan.periodCount = 2;
        for (int i = 0; i < Plan::kSubjectSlots; ++i)
            plan.subjectNames[i] = i == 0 ? QStringLiteral("语文") : i == 1 ? QStringLiteral("数学") : QStringLiteral("H");
        plan.subjectGrid = QStringList{"一班", "语文", "数学", "H", "语文", "数学", "数学",
                                       "二班", "数学", "语文", "语文", "H", "数学", "语文"};
        plan.teacherGrid = QStringList{"一班", "张", "李", "H", "张", "李", "李",
                                       "二班", "李", "张", "张", "H", "李", "张"};
        plan.fixedLessons = {1, 2, 1, 1};
        plan.combinedClasses = {2, 0, 1, -1, -1, -1};
        TimetableModel model;
        model.PublishToView(plan);
        writeSubjects(model);
        writeConstraints(model); // what the run read
        setWeek(3, 2);
        TimetableStore::SaveTimetable(model);

        TimetableModel loaded;
        QVERIFY(TimetableStore::LoadSavedTimetable(loaded).ok());
        QCOMPARE(loaded.subjectGrid, plan.subjectGrid);
        QCOMPARE(loaded.teacherGrid, plan.teacherGrid);
        QCOMPARE(loaded.fixedLessons, plan.fixedLessons);
        QCOMPARE(loaded.combinedClasses, plan.combinedClasses);
    }

    void savedRowsAndColumns()
    {
        ScratchDatabase db;
        TimetableModel model = scheduledSchool();
        TimetableStore::SaveTimetable(model);

        const std::vector<QStringList> subjects = tableRows(Schema::kTimetableTable);
        const std::vector<QStringList> teachers = tableRows(Schema::kTimetableTeachersTable);
        QCOMPARE(subjects.size(), size_t(3));
        QCOMPARE(teachers.size(), size_t(3));
        const QStringList columns = Schema::table(Schema::kTimetableTable).columns;
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(subjects[c][0], model.className(c));
            QCOMPARE(teachers[c][0], model.teacherGridClassName(c));
            for (int d = 0; d < 7; ++d)
                for (int p = 0; p < 9; ++p) {
                    const int at = TimetableModel::SavedSlotPosition(d, p);
                    QCOMPARE(columns[at], TimetableModel::SlotCode(d, p));
                    if (d < 5 && p < 8) {
                        QCOMPARE(subjects[c][at], model.subject(c, d, p));
                        QCOMPARE(teachers[c][at], model.teacher(c, d, p));
                    } else {
                        // "19", "29", … "59" and "61" … "79".
                        QCOMPARE(subjects[c][at], QStringLiteral("H"));
                        QCOMPARE(teachers[c][at], QStringLiteral("H"));
                    }
                }
        }
        QCOMPARE(subjects[0][TimetableModel::SavedSlotPosition(0, 0)], QStringLiteral("H")); // a free slot
    }

    void tablesNeverShrink()
    {
        ScratchDatabase db;
        TimetableModel big = scheduledSchool();
        big.appendFixedLesson({0, 0, 1, 1});
        big.appendFixedLesson({2, 4, 7, 2});
        TimetableStore::SaveTimetable(big);

        TimetableModel small = emptyModel(5, 8, {QStringLiteral("八(1)")});
        TimetableStore::SaveTimetable(small);
        const std::vector<QStringList> subjects = tableRows(Schema::kTimetableTable);
        QCOMPARE(subjects.size(), size_t(3));
        QCOMPARE(subjects[0], savedRow(QStringLiteral("八(1)")));
        QCOMPARE(subjects[1], savedRow(QStringLiteral("H")));
        QCOMPARE(subjects[2], savedRow(QStringLiteral("H")));
        QCOMPARE(tableRows(Schema::kTimetableTeachersTable).size(), size_t(3));

        // No class at all: nothing inserted, every row reset.
        TimetableModel none = emptyModel(5, 8, {});
        TimetableStore::SaveTimetable(none);
        QCOMPARE(tableRows(Schema::kTimetableTable), std::vector<QStringList>(3, savedRow(QStringLiteral("H"))));
        QCOMPARE(tableRows(Schema::kTimetableTeachersTable), std::vector<QStringList>(3, savedRow(QStringLiteral("H"))));

        TimetableModel reloaded = scheduledSchool();
        QVERIFY(TimetableStore::LoadSavedTimetable(reloaded).ok());
        QCOMPARE(reloaded.classCount, 0);
        QVERIFY(reloaded.subjectGrid.isEmpty() && reloaded.teacherGrid.isEmpty());
        QVERIFY(reloaded.fixedLessons.empty() && reloaded.combinedClasses.empty());
    }

    void saveLeavesTheConstraintTables()
    {
        // The constraint dialogs own 固定科目 and 合班设置: a save with no
        // fixed lesson moved by hand leaves every row as it is, also rows the
        // timetable does not know (another class, outside the week) and rows
        // written after the timetable was loaded.
        ScratchDatabase db;
        TimetableModel saved = scheduledSchool();
        writeSubjects(saved);
        setWeek(5, 8);
        TimetableStore::SaveTimetable(saved);
        rewriteList(Schema::kFixedTable,
                    {{"七(2)", "3", "4", saved.subject(1, 2, 3)},
                     {"九(9)", "1", "1", "语文"},   // a class not in the timetable
                     {"七(1)", "6", "9", "数学"}},  // outside the 5 × 8 week
                    QStringLiteral("test"));
        rewriteList(Schema::kCombinedTable,
                    {{"体育", "七(1)", "七(3)", "H", "H", "H"}, {"音乐", "七(2)", "九(9)", "H", "H", "H"}},
                    QStringLiteral("test"));
        TimetableModel shown;
        QVERIFY(TimetableStore::LoadSavedTimetable(shown).ok());
        QCOMPARE(shown.combinedGroupCount(), 1); // the group with 九(9) is not the timetable's
        // 设置固定科目 adds a fixed lesson after the timetable was loaded.
        rewriteList(Schema::kFixedTable,
                    {{"七(2)", "3", "4", saved.subject(1, 2, 3)},
                     {"九(9)", "1", "1", "语文"},
                     {"七(1)", "6", "9", "数学"},
                     {"七(3)", "2", "2", "英语"}},
                    QStringLiteral("test"));
        const std::vector<QStringList> fixed = tableRows(Schema::kFixedTable);
        const std::vector<QStringList> combined = tableRows(Schema::kCombinedTable);

        // A swap that moves no fixed lesson, then the save.
        shown.setLesson(0, 0, 1, shown.subject(0, 0, 2), shown.teacher(0, 0, 2));
        TimetableStore::SaveTimetable(shown);
        QCOMPARE(tableRows(Schema::kTimetableTable).at(0).at(TimetableModel::SavedSlotPosition(0, 1)),
                 shown.subject(0, 0, 2));
        QCOMPARE(tableRows(Schema::kFixedTable), fixed);
        QCOMPARE(tableRows(Schema::kCombinedTable), combined);
    }

    void handMovedFixedLessonsMoveTheirRows_data()
    {
        QTest::addColumn<QString>("story");
        QTest::addColumn<QStringList>("expected"); // 固定科目 row 1 after the last save; empty: as the file had it
        QTest::newRow("moved") << "move" << QStringList{"七(2)", "5", "6", "数学"};
        QTest::newRow("moved twice") << "move,again" << QStringList{"七(2)", "1", "2", "数学"};
        QTest::newRow("moved and undone") << "move,undo" << QStringList{};
        QTest::newRow("saved, then undone") << "move,save,undo" << QStringList{"七(2)", "3", "4", "数学"};
        QTest::newRow("row deleted meanwhile") << "move,delete" << QStringList{};
        QTest::newRow("row changed meanwhile") << "move,change" << QStringList{};
        QTest::newRow("two fixed lessons exchanged") << "exchange" << QStringList{"七(2)", "3", "4", "英语"};
        QTest::newRow("load forgets the moves") << "move,load" << QStringList{};
    }
    void handMovedFixedLessonsMoveTheirRows()
    {
        QFETCH(QString, story);
        QFETCH(QStringList, expected);
        ScratchDatabase db;
        TimetableModel model = emptyModel(5, 8, {QStringLiteral("七(1)"), QStringLiteral("七(2)")});
        fillRow(model, 1, {"语文/张", "数学/李", "英语/王"});
        model.setLesson(1, 2, 3, QStringLiteral("数学"), QStringLiteral("李"));
        model.setLesson(1, 4, 5, QStringLiteral("语文"), QStringLiteral("张"));
        model.setLesson(1, 3, 0, QStringLiteral("英语"), QStringLiteral("王"));
        writeSubjects(model);
        setWeek(5, 8);
        TimetableStore::SaveTimetable(model);
        rewriteList(Schema::kFixedTable,
                    {{"七(2)", "3", "4", "数学"}, {"七(1)", "1", "1", "语文"}, {"七(2)", "4", "1", "英语"}},
                    QStringLiteral("test"));
        rewriteList(Schema::kCombinedTable, {{"体育", "七(1)", "七(2)", "H", "H", "H"}}, QStringLiteral("test"));
        QVERIFY(TimetableStore::LoadSavedTimetable(model).ok());
        QCOMPARE(model.fixedLessonCount(), 3);
        const std::vector<QStringList> fileBefore = tableRows(Schema::kFixedTable);
        const std::vector<QStringList> combined = tableRows(Schema::kCombinedTable);
        std::vector<QStringList> file = fileBefore;
        const std::vector<int> loaded = model.fixedLessons;

        for (const QString& step : story.split(QLatin1Char(','))) {
            if (step == QLatin1String("move")) { // 数学 at (2, 3) swapped with 语文 at (4, 5)
                model.setFixedLesson(0, {1, 4, 5, 2});
            } else if (step == QLatin1String("again")) {
                model.setFixedLesson(0, {1, 0, 1, 2});
            } else if (step == QLatin1String("undo")) {
                model.setFixedLessons(loaded);
            } else if (step == QLatin1String("save")) {
                TimetableStore::SaveTimetable(model);
            } else if (step == QLatin1String("delete")) { // 设置固定科目 removed the lesson
                rewriteList(Schema::kFixedTable, {{"七(1)", "1", "1", "语文"}, {"七(2)", "4", "1", "英语"}},
                            QStringLiteral("test"));
                file = tableRows(Schema::kFixedTable);
            } else if (step == QLatin1String("change")) { // … or put it elsewhere
                updateRow(Schema::kFixedTable, {QStringLiteral("节次")}, {QStringLiteral("7")}, 1, QStringLiteral("test"));
                file = tableRows(Schema::kFixedTable);
            } else if (step == QLatin1String("exchange")) { // the two fixed lessons of 七(2) trade subjects
                model.setFixedLesson(0, {1, 2, 3, 3});
                model.setFixedLesson(2, {1, 3, 0, 2});
            } else if (step == QLatin1String("load")) {
                QVERIFY(TimetableStore::LoadSavedTimetable(model).ok());
            }
        }
        TimetableStore::SaveTimetable(model);
        QVERIFY(model.fixedMoves.empty());

        if (!expected.isEmpty())
            file[0] = expected;
        if (story == QLatin1String("exchange"))
            file[2] = QStringList{"七(2)", "4", "1", "数学"};
        QCOMPARE(tableRows(Schema::kFixedTable), file);
        QCOMPARE(tableRows(Schema::kCombinedTable), combined);
        // Saving again writes nothing more.
        TimetableStore::SaveTimetable(model);
        QCOMPARE(tableRows(Schema::kFixedTable), file);
    }

    void savingTwiceWritesTheSame()
    {
        ScratchDatabase db;
        TimetableModel model = scheduledSchool();
        model.SetDisplayMode(DisplayMode::Adjustment, 1920);
        model.selection.selectedClass = 2;
        model.selection.swapArmed = 1;
        const TimetableModel before = model;
        TimetableStore::SaveTimetable(model);
        const auto first = dumpSaved();
        TimetableStore::SaveTimetable(model);
        QCOMPARE(dumpSaved(), first);
        // The save changes nothing in the model.
        QCOMPARE(model.subjectGrid, before.subjectGrid);
        QCOMPARE(model.selection.selectedClass, 2);
        QCOMPARE(model.selection.swapArmed, 1);
        QCOMPARE(model.layout.mode, DisplayMode::Adjustment);
    }

    void failingSaveLeavesAllTables_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("课表") << Schema::kTimetableTable;
        QTest::newRow("课表教师") << Schema::kTimetableTeachersTable;
        QTest::newRow("固定科目") << Schema::kFixedTable;
    }
    void failingSaveLeavesAllTables()
    {
        // The grids and the moved fixed lesson are written in one transaction.
        QFETCH(QString, table);
        ScratchDatabase db;
        TimetableModel old = emptyModel(5, 8, {QStringLiteral("旧(1)"), QStringLiteral("旧(2)")});
        fillRow(old, 0, {"语文/张", "数学/李"});
        writeSubjects(old);
        setWeek(5, 8);
        TimetableStore::SaveTimetable(old);
        rewriteList(Schema::kFixedTable, {{"旧(1)", "1", "1", "语文"}}, QStringLiteral("test"));
        rewriteList(Schema::kCombinedTable, {{"语文", "旧(1)", "旧(2)", "H", "H", "H"}}, QStringLiteral("test"));
        const auto before = dumpSaved();

        // The writing step of one table fails.
        const QString key = Schema::table(table).columns.first();
        Database::exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON %1 WHEN NEW.%2 <> 'H' "
                                      "BEGIN SELECT RAISE(ABORT, 'refused by test'); END")
                           .arg(Schema::quoted(table), Schema::quoted(key)),
                       {}, QStringLiteral("test"));
        TimetableModel model;
        QVERIFY(TimetableStore::LoadSavedTimetable(model).ok());
        model.setLesson(0, 0, 0, QStringLiteral("数学"), QStringLiteral("李"));
        model.setLesson(0, 0, 1, QStringLiteral("语文"), QStringLiteral("张"));
        model.setFixedLesson(0, {0, 0, 1, 1});
        QVERIFY(model.isModified());
        bool failed = false;
        try {
            TimetableStore::SaveTimetable(model);
        } catch (const StoreError& error) {
            failed = true;
            QVERIFY(error.driverText().contains(QLatin1String("refused by test")));
        }
        QVERIFY(failed);
        QCOMPARE(dumpSaved(), before);
        QVERIFY(model.isModified()); // nothing was saved, the move is still to be written
        QVERIFY(!model.fixedMoves.empty());

        Database::exec(QStringLiteral("DROP TRIGGER refuse"), {}, QStringLiteral("test"));
        TimetableStore::SaveTimetable(model);
        QCOMPARE(tableRows(Schema::kFixedTable).at(0), (QStringList{"旧(1)", "1", "2", "语文"}));
        QVERIFY(!model.isModified());
    }

    void loadReadsTheWeekRowsToTheLast()
    {
        ScratchDatabase db;
        setWeek(5, 8);
        Database::exec(QStringLiteral("INSERT INTO \"周工作计划\" (\"工作天数\", \"每天节次\") VALUES ('6', '7')"), {},
                       QStringLiteral("test"));
        rewriteList(Schema::kTimetableTable, {savedRow("A", {"语文"}), savedRow("B")}, QStringLiteral("test"));
        rewriteList(Schema::kTimetableTeachersTable, {savedRow("A", {"张"}), savedRow("B")}, QStringLiteral("test"));
        TimetableModel model;
        QVERIFY(TimetableStore::LoadSavedTimetable(model).ok());
        QCOMPARE(model.dayCount, 6);
        QCOMPARE(model.periodCount, 7);
        QCOMPARE(model.subjectGrid.size(), 2 * 43);
        QCOMPARE(model.subject(0, 0, 0), QStringLiteral("语文"));
        QCOMPARE(model.teacher(0, 0, 0), QStringLiteral("张"));
    }

    void loadStopsAtTheFirstFreeRow()
    {
        ScratchDatabase db;
        setWeek(5, 8);
        // Columns by position: "12" holds 数学, "21" holds 英语, "19" is outside the 5 × 8 week.
        QStringList first = savedRow("A");
        first[TimetableModel::SavedSlotPosition(0, 1)] = QStringLiteral("数学");
        first[TimetableModel::SavedSlotPosition(1, 0)] = QStringLiteral("英语");
        first[TimetableModel::SavedSlotPosition(0, 8)] = QStringLiteral("不读");
        rewriteList(Schema::kTimetableTable, {first, savedRow("B"), savedRow("H"), savedRow("D", {"语文"})},
                    QStringLiteral("test"));
        rewriteList(Schema::kTimetableTeachersTable, {savedRow("A"), savedRow("B"), savedRow("H"), savedRow("D")},
                    QStringLiteral("test"));
        // A NULL slot reads as "H".
        Database::exec(QStringLiteral("UPDATE \"课表\" SET \"13\" = NULL WHERE \"编号\" = 1"), {}, QStringLiteral("test"));
        TimetableModel model;
        QVERIFY(TimetableStore::LoadSavedTimetable(model).ok());
        QCOMPARE(model.classCount, 2);
        QCOMPARE(model.subjectGrid.size(), 2 * 41);
        QCOMPARE(model.teacherGrid.size(), 2 * 41);
        QCOMPARE(model.subject(0, 0, 1), QStringLiteral("数学"));
        QCOMPARE(model.subject(0, 0, 2), QStringLiteral("H"));
        QCOMPARE(model.subject(0, 1, 0), QStringLiteral("英语"));
        QVERIFY(!model.subjectGrid.contains(QStringLiteral("不读")));
        QCOMPARE(model.ClassIndex(QStringLiteral("D")), -1);
    }

    void loadDropRules()
    {
        ScratchDatabase db;
        setWeek(5, 8);
        TimetableModel names;
        setSubjects(names);
        writeSubjects(names);
        rewriteList(Schema::kTimetableTable, {savedRow("A"), savedRow("B"), savedRow("C")}, QStringLiteral("test"));
        rewriteList(Schema::kTimetableTeachersTable, {savedRow("A"), savedRow("B"), savedRow("C")}, QStringLiteral("test"));
        rewriteList(Schema::kFixedTable,
                    {
                        {"B", "2", "3", "数学"},     // kept
                        {"X", "1", "1", "语文"},     // class not in the timetable: dropped
                        {"A", "1", "1", "化学"},     // subject unknown: dropped
                        {"C", "9", "0", "英语"},     // day and period taken as they are
                        {"A", "x", " 2节", "语文"},  // leading digits: no digits gives 0
                        {"H", "1", "1", "语文"},     // stops here
                        {"A", "1", "1", "语文"},
                    },
                    QStringLiteral("test"));
        rewriteList(Schema::kCombinedTable,
                    {
                        {"体育", "A", "H", "B", "H", "H"}, // kept with -1 places
                        {"体育", "A", "H", "X", "H", "H"}, // member unknown: dropped
                        {"化学", "A", "B", "H", "H", "H"}, // subject unknown: dropped
                        {"音乐", "H", "C", "H", "H", "A"}, // kept
                        {"H", "A", "B", "H", "H", "H"},    // stops here
                        {"语文", "A", "B", "H", "H", "H"},
                    },
                    QStringLiteral("test"));
        TimetableModel model;
        QVERIFY(TimetableStore::LoadSavedTimetable(model).ok());
        QCOMPARE(model.fixedLessons, (std::vector<int>{1, 1, 2, 2, 2, 8, -1, 3, 0, -1, 1, 1}));
        QCOMPARE(model.combinedClasses, (std::vector<int>{4, 0, -1, 1, -1, -1, 5, -1, 2, -1, -1, 0}));
    }

    void loadTakesTwentyFourSubjects()
    {
        ScratchDatabase db;
        for (int i = 0; i < 6; ++i)
            Database::exec(QStringLiteral("INSERT INTO \"任教科目\" (\"科目\") VALUES (?)"),
                           {QStringLiteral("第%1个").arg(25 + i)}, QStringLiteral("test"));
        updateRow(Schema::kSubjectsTable, {QStringLiteral("科目")}, {QStringLiteral("语文")}, 1, QStringLiteral("test"));
        updateRow(Schema::kSubjectsTable, {QStringLiteral("科目")}, {QStringLiteral("末位")}, 24, QStringLiteral("test"));
        TimetableModel model;
        QVERIFY(TimetableStore::LoadSavedTimetable(model).ok());
        QCOMPARE(model.subjectNames.size(), 24);
        QCOMPARE(model.subjectNames[0], QStringLiteral("语文"));
        QCOMPARE(model.subjectNames[1], QStringLiteral("H"));
        QCOMPARE(model.subjectNames[23], QStringLiteral("末位"));
        QVERIFY(!model.subjectNames.contains(QStringLiteral("第25个")));
    }

    void teacherRowsFollowTheClassRows()
    {
        // 课表教师 shorter or longer than 课表 (written by hand, or by an old
        // interrupted save): the teacher grid still has one row per class.
        ScratchDatabase db;
        setWeek(1, 2);
        rewriteList(Schema::kTimetableTable, {savedRow("A", {"语文", "数学"}), savedRow("B", {"数学"})}, QStringLiteral("test"));
        rewriteList(Schema::kTimetableTeachersTable, {savedRow("A", {"张", "李"})}, QStringLiteral("test"));
        TimetableModel shorter;
        QVERIFY(TimetableStore::LoadSavedTimetable(shorter).ok());
        QCOMPARE(shorter.classCount, 2);
        QCOMPARE(shorter.teacherGrid, (QStringList{"A", "张", "李", "B", "H", "H"}));

        rewriteList(Schema::kTimetableTeachersTable, {savedRow("A"), savedRow("B"), savedRow("C", {"王"})},
                    QStringLiteral("test"));
        TimetableModel longer;
        QVERIFY(TimetableStore::LoadSavedTimetable(longer).ok());
        QCOMPARE(longer.teacherGrid.size(), longer.subjectGrid.size());
        longer.BuildTeacherTable();
        QCOMPARE(longer.teachers.teacherCount(), 0);
    }

    void weekBeyondTheSavedLayoutIsRefused_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("periods");
        QTest::newRow("10 periods") << 5 << 10;
        QTest::newRow("8 days") << 8 << 8;
        QTest::newRow("negative") << -1 << 8;
    }
    void weekBeyondTheSavedLayoutIsRefused()
    {
        // With 10 periods, period 9 of day 0 would be read from column "21".
        QFETCH(int, days);
        QFETCH(int, periods);
        ScratchDatabase db;
        setWeek(days, periods);
        rewriteList(Schema::kTimetableTable, {savedRow("A", {"语文"})}, QStringLiteral("test"));
        rewriteList(Schema::kTimetableTeachersTable, {savedRow("A", {"张"})}, QStringLiteral("test"));
        TimetableModel model;
        const Status loaded = TimetableStore::LoadSavedTimetable(model);
        QVERIFY(loaded.is(Failure::Kind::Refused));
        QVERIFY2(loaded.message().contains(QStringLiteral("超出课表的范围")), qPrintable(loaded.message()));
        QCOMPARE(model.classCount, 0);
        QCOMPARE(model.slotCount(), 0);
        model.SetDisplayMode(DisplayMode::TeacherTable, 1366);
        QCOMPARE(model.teachers.teacherCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TimetableStoreTest)
#include "TimetableStoreTest.moc"
