#include "TimetableFixture.h"

#include "view/SwapRules.h"
#include "view/TimetableModel.h"

#include <QtTest>

using Decision = SwapRules::Decision;
Q_DECLARE_METATYPE(SwapRules::Decision)
Q_DECLARE_METATYPE(std::vector<int>)

namespace {

// Two classes, 2 days × 3 periods, in adjustment mode.
//   七(1): 语文/张  数学/李  -      | 语文/张  英语/王  体育/赵
//   七(2): 数学/李  -       英语/王 | -       音乐/钱  -
// Fixed: 七(1) 星期二 第2节 英语 (group 0), 七(1) 星期二 第3节 体育 (group 1).
TimetableModel adjustable()
{
    TimetableModel model = emptyModel(2, 3, {QStringLiteral("七(1)"), QStringLiteral("七(2)")});
    fillRow(model, 0, {"语文/张", "数学/李", "-", "语文/张", "英语/王", "体育/赵"});
    fillRow(model, 1, {"数学/李", "-", "英语/王", "-", "音乐/钱", "-"});
    model.appendFixedLesson({0, 1, 1, 3});
    model.appendFixedLesson({0, 1, 2, 4});
    model.SetDisplayMode(DisplayMode::Adjustment, 1920);
    model.selection.swapArmed = 1;
    return model;
}

QStringList row(const TimetableModel& model, int c)
{
    QStringList lessons;
    for (int d = 0; d < model.dayCount; ++d)
        for (int p = 0; p < model.periodCount; ++p) {
            const QString& s = model.subject(c, d, p);
            const QString& t = model.teacher(c, d, p);
            lessons << (s == QLatin1String("H") && t == QLatin1String("H") ? QStringLiteral("-") : s + '/' + t);
        }
    return lessons;
}

bool sameModel(const TimetableModel& a, const TimetableModel& b)
{
    return a.subjectGrid == b.subjectGrid && a.teacherGrid == b.teacherGrid && a.fixedLessons == b.fixedLessons
        && a.combinedClasses == b.combinedClasses && a.selection.swapArmed == b.selection.swapArmed && a.selection.selectedClass == b.selection.selectedClass
        && a.selection.selectedDay == b.selection.selectedDay && a.selection.selectedPeriod == b.selection.selectedPeriod;
}

} // namespace

class SwapRulesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decision_data()
    {
        QTest::addColumn<int>("selectedDay");
        QTest::addColumn<int>("selectedPeriod");
        QTest::addColumn<int>("clickedClass");
        QTest::addColumn<int>("clickedDay");
        QTest::addColumn<int>("clickedPeriod");
        QTest::addColumn<Decision>("decision");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rowAfter"); // 七(1) after the swap was carried out
        QTest::addColumn<std::vector<int>>("fixedAfter");

        const std::vector<int> fixedBefore{0, 1, 1, 3, 0, 1, 2, 4};

        QTest::newRow("into a free slot, no question")
            << 0 << 0 << 0 << 0 << 2 << Decision::SwapAtOnce << QString()
            << QStringList{"-", "数学/李", "语文/张", "语文/张", "英语/王", "体育/赵"} << fixedBefore;

        // 王 teaches 七(2) at 星期一 第3节; the free slot shows as "H".
        QTest::newRow("into a free slot where the teacher is busy")
            << 1 << 1 << 0 << 0 << 2 << Decision::AskForce
            << QStringLiteral("七(1)班星期二第2节英语     和\r\n七(1)班星期一第3节H     课程冲突，\r\n是否强制调课？")
            << QStringList{"语文/张", "数学/李", "英语/王", "语文/张", "-", "体育/赵"}
            << std::vector<int>{0, 0, 2, 3, 0, 1, 2, 4};

        // 李 teaches 七(2) at 星期一 第1节.
        QTest::newRow("clash, both occupied")
            << 0 << 0 << 0 << 0 << 1 << Decision::AskForce
            << QStringLiteral("七(1)班星期一第1节语文     和\r\n七(1)班星期一第2节数学     课程冲突，\r\n是否强制调课？")
            << QStringList{"数学/李", "语文/张", "-", "语文/张", "英语/王", "体育/赵"} << fixedBefore;

        // The own class is skipped, so 张 never clashes with himself.
        QTest::newRow("two lessons of one teacher")
            << 0 << 0 << 0 << 1 << 0 << Decision::AskConfirm
            << QStringLiteral("您确定\r\n七(1)班星期一第1节语文     和\r\n七(1)班星期二第1节语文     调课吗？")
            << QStringList{"语文/张", "数学/李", "-", "语文/张", "英语/王", "体育/赵"} << fixedBefore;

        QTest::newRow("fixed with non-fixed: the fixed entry follows")
            << 1 << 1 << 0 << 0 << 1 << Decision::AskConfirm
            << QStringLiteral("您确定\r\n七(1)班星期二第2节英语     和\r\n七(1)班星期一第2节数学     调课吗？")
            << QStringList{"语文/张", "英语/王", "-", "语文/张", "数学/李", "体育/赵"}
            << std::vector<int>{0, 0, 1, 3, 0, 1, 2, 4};

        QTest::newRow("non-fixed with fixed: the fixed entry follows")
            << 0 << 1 << 0 << 1 << 1 << Decision::AskConfirm
            << QStringLiteral("您确定\r\n七(1)班星期一第2节数学     和\r\n七(1)班星期二第2节英语     调课吗？")
            << QStringList{"语文/张", "英语/王", "-", "语文/张", "数学/李", "体育/赵"}
            << std::vector<int>{0, 0, 1, 3, 0, 1, 2, 4};

        QTest::newRow("two fixed lessons: both slots stay fixed")
            << 1 << 1 << 0 << 1 << 2 << Decision::AskConfirm
            << QStringLiteral("您确定\r\n七(1)班星期二第2节英语     和\r\n七(1)班星期二第3节体育     调课吗？")
            << QStringList{"语文/张", "数学/李", "-", "语文/张", "体育/赵", "英语/王"}
            << std::vector<int>{0, 1, 1, 4, 0, 1, 2, 3};

        // The fixed lesson moved into a free slot takes its entry along.
        QTest::newRow("fixed lesson into a free slot")
            << 1 << 2 << 0 << 0 << 2 << Decision::SwapAtOnce << QString()
            << QStringList{"语文/张", "数学/李", "体育/赵", "语文/张", "英语/王", "-"}
            << std::vector<int>{0, 1, 1, 3, 0, 0, 2, 4};
        QTest::newRow("free slot selected, fixed lesson clicked")
            << 0 << 2 << 0 << 1 << 2 << Decision::SwapAtOnce << QString()
            << QStringList{"语文/张", "数学/李", "体育/赵", "语文/张", "英语/王", "-"}
            << std::vector<int>{0, 1, 1, 3, 0, 0, 2, 4};

        QTest::newRow("the selected cell itself")
            << 1 << 1 << 0 << 1 << 1 << Decision::AskConfirm
            << QStringLiteral("您确定\r\n七(1)班星期二第2节英语     和\r\n七(1)班星期二第2节英语     调课吗？")
            << QStringList{"语文/张", "数学/李", "-", "语文/张", "英语/王", "体育/赵"} << fixedBefore;

        QTest::newRow("another class")
            << 0 << 0 << 1 << 0 << 1 << Decision::RefuseOtherClass << QStringLiteral("不允许跨班调课，请在同班级调课！")
            << QStringList{"语文/张", "数学/李", "-", "语文/张", "英语/王", "体育/赵"} << fixedBefore;
    }
    void decision()
    {
        QFETCH(int, selectedDay);
        QFETCH(int, selectedPeriod);
        QFETCH(int, clickedClass);
        QFETCH(int, clickedDay);
        QFETCH(int, clickedPeriod);
        QFETCH(Decision, decision);
        QFETCH(QString, text);
        QFETCH(QStringList, rowAfter);
        QFETCH(std::vector<int>, fixedAfter);

        TimetableModel model = adjustable();
        model.selection.selectedClass = 0;
        model.selection.selectedDay = selectedDay;
        model.selection.selectedPeriod = selectedPeriod;
        const TimetableModel before = model;
        const QStringList otherRow = row(model, 1);

        const SwapRules::Request request = SwapRules::DecideForCell(model, clickedClass, clickedDay, clickedPeriod);
        QCOMPARE(request.decision, decision);
        QCOMPARE(request.text, text);
        // Deciding (and so a Cancel) changes nothing, and the selection stays armed.
        QVERIFY(sameModel(model, before));

        SwapRules::Perform(model, request);
        QCOMPARE(row(model, 0), rowAfter);
        QCOMPARE(row(model, 1), otherRow);
        QCOMPARE(model.fixedLessons, fixedAfter);
        // The selection stays on the selected slot; a carried-out swap disarms.
        QCOMPARE(model.selection.selectedClass, 0);
        QCOMPARE(model.selection.selectedDay, selectedDay);
        QCOMPARE(model.selection.selectedPeriod, selectedPeriod);
        QCOMPARE(model.selection.swapArmed, decision == Decision::RefuseOtherClass ? 1 : 0);
    }

    void ignored_data()
    {
        QTest::addColumn<DisplayMode>("mode");
        QTest::addColumn<int>("swapArmed");
        QTest::addColumn<int>("selectedClass");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        // 1920 screen, 2 × 3 week: W = (1920 - 10) / 7 = 272, L = 22; 七(1) at y 44..87.
        QTest::newRow("armed, on a cell: not ignored") << DisplayMode::Adjustment << 1 << 0 << 300 << 50;
        QTest::newRow("master table without adjustment") << DisplayMode::MasterTable << 1 << 0 << 300 << 50;
        QTest::newRow("teacher table") << DisplayMode::TeacherTable << 1 << 0 << 300 << 50;
        QTest::newRow("home screen") << DisplayMode::Home << 1 << 0 << 300 << 50;
        QTest::newRow("not armed") << DisplayMode::Adjustment << 0 << 0 << 300 << 50;
        QTest::newRow("header line") << DisplayMode::Adjustment << 1 << 0 << 300 << 30;
        QTest::newRow("class-name column") << DisplayMode::Adjustment << 1 << 0 << 100 << 50;
        QTest::newRow("below the last class") << DisplayMode::Adjustment << 1 << 0 << 300 << 140;
        QTest::newRow("selection outside the grids") << DisplayMode::Adjustment << 1 << 5 << 300 << 50;
    }
    void ignored()
    {
        QFETCH(DisplayMode, mode);
        QFETCH(int, swapArmed);
        QFETCH(int, selectedClass);
        QFETCH(int, x);
        QFETCH(int, y);
        TimetableModel model = adjustable();
        model.layout.mode = mode;
        model.selection.swapArmed = swapArmed;
        model.selection.selectedClass = selectedClass;
        const SwapRules::Request request = SwapRules::Decide(model, x, y, 0, 0);
        const bool shouldAct = QByteArray(QTest::currentDataTag()).startsWith("armed");
        QCOMPARE(request.decision != Decision::Ignore, shouldAct);
        if (!shouldAct) {
            const TimetableModel before = model;
            SwapRules::Perform(model, request);
            QVERIFY(sameModel(model, before));
        }
    }

    void clickSelectsThenSwapDisarms()
    {
        TimetableModel model = adjustable();
        model.selection.swapArmed = 0;
        // W = 272, L = 22, scrolled by (100, 20): 七(1) 星期一 第1节 is at x 272.. (right of the name column), y 44.. (below the header band)
        QVERIFY(model.SelectMasterCell(300, 50, 100, 20));
        QCOMPARE(model.selection.selectedClass, 0);
        QCOMPARE(model.selection.selectedDay, 0);
        QCOMPARE(model.selection.selectedPeriod, 0);
        QCOMPARE(model.selection.swapArmed, 1);

        // Right-click 星期一 第3节 (free): column 3 starts at x 816.
        SwapRules::Request request = SwapRules::Decide(model, 720, 50, 100, 20);
        QCOMPARE(request.decision, Decision::SwapAtOnce);
        QCOMPARE(request.clickedDay, 0);
        QCOMPARE(request.clickedPeriod, 2);
        SwapRules::Perform(model, request);
        QCOMPARE(model.selection.swapArmed, 0);
        QCOMPARE(model.subject(0, 0, 2), QStringLiteral("语文"));

        // A second right-click does nothing until a cell is left-clicked again.
        request = SwapRules::Decide(model, 720, 50, 100, 20);
        QCOMPARE(request.decision, Decision::Ignore);
        SwapRules::Perform(model, request);
        QCOMPARE(model.subject(0, 0, 2), QStringLiteral("语文"));

        // A display switch keeps the arming and selects (0, 0, 0).
        QVERIFY(model.SelectMasterCell(300, 50, 100, 20));
        model.SetDisplayMode(DisplayMode::MasterTable, 1920);
        model.SetDisplayMode(DisplayMode::Adjustment, 1920);
        QCOMPARE(model.selection.swapArmed, 1);
        request = SwapRules::Decide(model, 300 + 272, 50, 100, 20);
        QCOMPARE(request.decision, Decision::AskForce); // 李 of 七(2) is at 星期一 第1节
        QCOMPARE(request.selectedDay, 0);
        QCOMPARE(request.selectedPeriod, 0);
    }

    void questionNamesTheClassOnce_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("shownAs");
        QTest::newRow("ends in 班") << QStringLiteral("七(1)班") << QStringLiteral("七(1)班");
        QTest::newRow("bare name") << QStringLiteral("七(1)") << QStringLiteral("七(1)班");
        QTest::newRow("senior class") << QStringLiteral("高一3班") << QStringLiteral("高一3班");
    }
    void questionNamesTheClassOnce()
    {
        QFETCH(QString, className);
        QFETCH(QString, shownAs);
        TimetableModel model = emptyModel(1, 2, {className});
        fillRow(model, 0, {"语文/张", "数学/李"});
        model.SetDisplayMode(DisplayMode::Adjustment, 1920);
        model.selection.swapArmed = 1;
        model.selection.select(0, 0, 0);
        const SwapRules::Request request = SwapRules::DecideForCell(model, 0, 0, 1);
        QCOMPARE(request.decision, Decision::AskConfirm);
        QCOMPARE(request.text, QStringLiteral("您确定\r\n%1星期一第1节语文     和\r\n%1星期一第2节数学     调课吗？").arg(shownAs));
    }

    void combinedLessonMovesInItsClassOnly()
    {
        TimetableModel model = emptyModel(1, 2, {QStringLiteral("A"), QStringLiteral("B")});
        fillRow(model, 0, {"体育/赵", "-"});
        fillRow(model, 1, {"体育/赵", "-"});
        model.appendCombinedGroup(4, {0, 1});
        model.SetDisplayMode(DisplayMode::Adjustment, 1366);
        model.selection.swapArmed = 1;
        const SwapRules::Request request = SwapRules::DecideForCell(model, 0, 0, 1);
        QCOMPARE(request.decision, Decision::SwapAtOnce);
        SwapRules::Perform(model, request);
        QCOMPARE(row(model, 0), (QStringList{"-", "体育/赵"}));
        QCOMPARE(row(model, 1), (QStringList{"体育/赵", "-"}));
        QVERIFY(model.IsCombinedLesson(0, 4) && model.IsCombinedLesson(1, 4));
    }
};

QTEST_GUILESS_MAIN(SwapRulesTest)
#include "SwapRulesTest.moc"
