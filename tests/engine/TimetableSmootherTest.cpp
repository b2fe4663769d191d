#include "EngineFixture.h"

#include "engine/Scheduler.h"
#include "engine/TimetableSmoother.h"

#include <QtTest>

#include <vector>

namespace {

// Class c holds subject 1 in period 0 and subject 2 in period 1 of day 0,
// taught by the two named teachers ("" leaves period 0 free, so that the class
// name stands in for its teacher).
void setEarlyTeachers(PlanningModel& m, int c, const QString& first, const QString& second)
{
    if (first.isEmpty()) {
        m.cell(c, 0, 0) = 0;
    } else {
        setTeacher(m, c, 1, first);
        m.cell(c, 0, 0) = 1;
    }
    setTeacher(m, c, 2, second);
    m.cell(c, 0, 1) = 2;
}

} // namespace

class TimetableSmootherTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void teacherChain_data()
    {
        QTest::addColumn<QStringList>("teachers"); // two per class
        QTest::addColumn<std::vector<int>>("chain");
        QTest::newRow("A-B, C-D, B-E, D-A")
            << QStringList{"A", "B", "C", "D", "B", "E", "D", "A"} << std::vector<int>{0, 3, 1, 2};
        // Class 0's free period 0 counts as a lesson of a teacher named "C0".
        QTest::newRow("free cell is the class name")
            << QStringList{"", "X", "P", "Q", "R", "C0"} << std::vector<int>{0, 2, 1};
        // Lessons without a teacher chain together through "H".
        QTest::newRow("H chains")
            << QStringList{"H", "X", "P", "Q", "H", "R"} << std::vector<int>{0, 2, 1};
        QTest::newRow("nothing shared") << QStringList{"A", "B", "C", "D", "E", "F"} << std::vector<int>{0, 1, 2};
    }
    void teacherChain()
    {
        QFETCH(QStringList, teachers);
        QFETCH(std::vector<int>, chain);
        const int classes = static_cast<int>(teachers.size() / 2);
        PlanningModel m = makeModel(classes, 1, 2);
        for (int c = 0; c < classes; ++c)
            setEarlyTeachers(m, c, teachers[2 * c], teachers[2 * c + 1]);
        TimetableSmoother smoother(m);
        smoother.OrderClassesByTeacherChain(0);
        QCOMPARE(smoother.classChain(), chain);
    }

    // A class with subject A in period 0 on two consecutive days and B in
    // period 1 of the second day: the second day becomes (B, A) unless either
    // lesson is fixed or combined.
    void consecutiveDays_data()
    {
        QTest::addColumn<QString>("guard");
        QTest::addColumn<bool>("swapped");
        QTest::newRow("free to move") << QString() << true;
        QTest::newRow("A fixed there") << QStringLiteral("fixed A") << false;
        QTest::newRow("B fixed there") << QStringLiteral("fixed B") << false;
        QTest::newRow("A fixed elsewhere") << QStringLiteral("fixed A elsewhere") << true;
        QTest::newRow("B combined") << QStringLiteral("combined B") << false;
        QTest::newRow("A combined for another class") << QStringLiteral("combined A other") << true;
    }
    void consecutiveDays()
    {
        QFETCH(QString, guard);
        QFETCH(bool, swapped);
        PlanningModel m = makeModel(2, 3, 4);
        setDay(m, 0, 0, {1, 3, 4, 5});
        setDay(m, 0, 1, {1, 2, 4, 5});
        setDay(m, 0, 2, {6, 7, 4, 5});
        if (guard == QLatin1String("fixed A"))
            addFixed(m, 0, 1, 0, 1);
        else if (guard == QLatin1String("fixed B"))
            addFixed(m, 0, 1, 1, 2);
        else if (guard == QLatin1String("fixed A elsewhere"))
            addFixed(m, 0, 0, 0, 1);
        else if (guard == QLatin1String("combined B"))
            addCombined(m, 2, {1, 0});
        else if (guard == QLatin1String("combined A other"))
            addCombined(m, 1, {1});
        TimetableSmoother(m).SmoothEarlyPeriods();
        QCOMPARE(m.cell(0, 0, 0), 1);
        QCOMPARE(m.cell(0, 0, 1), 3);
        QCOMPARE(m.cell(0, 1, 0), swapped ? 2 : 1);
        QCOMPARE(m.cell(0, 1, 1), swapped ? 1 : 2);
        QCOMPARE(m.cell(0, 2, 0), 6); // (6, 7) follows whatever day 1 became
    }

    // Each day compares with the day before as already changed; two free
    // cells compare equal.
    void consecutiveDaysChain()
    {
        PlanningModel m = makeModel(1, 4, 3);
        setDay(m, 0, 0, {0, 3, 9});
        setDay(m, 0, 1, {0, 4, 9});  // free like day 0: becomes (4, free)
        setDay(m, 0, 2, {4, 5, 9});  // 4 now equals day 1's period 0: becomes (5, 4)
        setDay(m, 0, 3, {6, 4, 9});  // 4 equals day 2's new period 1: becomes (4, 6)
        TimetableSmoother(m).SmoothEarlyPeriods();
        const std::vector<int> expected{0, 3, 9, 4, 0, 9, 5, 4, 9, 4, 6, 9};
        QCOMPARE(m.lessonGrid, expected);
    }

    // Day by day along the chain: a class whose early lesson meets a teacher
    // already booked by a class before it in the chain gets its two early
    // lessons exchanged, even if its other teacher then clashes.
    void earlyClashes_data()
    {
        QTest::addColumn<QStringList>("teachers"); // class 0's two, class 1's two
        QTest::addColumn<bool>("swapped");
        QTest::newRow("same teacher in period 0") << QStringList{"T", "T2", "T", "X"} << true;
        QTest::newRow("then clashes in period 1") << QStringList{"T", "T", "T", "X"} << true;
        QTest::newRow("same teacher in period 1") << QStringList{"A", "T", "B", "T"} << true;
        QTest::newRow("no shared teacher") << QStringList{"A", "B", "C", "D"} << false;
        QTest::newRow("H never clashes") << QStringList{"H", "B", "H", "D"} << false;
        // Class 1's free period 0 is its class name, which meets a teacher of that name.
        QTest::newRow("free cell meets teacher C1") << QStringList{"C1", "B", "", "D"} << true;
    }
    void earlyClashes()
    {
        QFETCH(QStringList, teachers);
        QFETCH(bool, swapped);
        PlanningModel m = makeModel(2, 1, 3);
        setEarlyTeachers(m, 0, teachers[0], teachers[1]);
        setEarlyTeachers(m, 1, teachers[2], teachers[3]);
        m.cell(0, 0, 2) = 7;
        m.cell(1, 0, 2) = 8;
        const int a = m.cell(1, 0, 0);
        TimetableSmoother(m).SmoothEarlyPeriods();
        QCOMPARE(m.cell(0, 0, 0), teachers[0].isEmpty() ? 0 : 1); // class 0 keeps its lessons
        QCOMPARE(m.cell(0, 0, 1), 2);
        QCOMPARE(m.cell(1, 0, 0), swapped ? 2 : a);
        QCOMPARE(m.cell(1, 0, 1), swapped ? a : 2);
        QCOMPARE(m.cell(1, 0, 2), 8);
    }

    // Each class is compared with the classes before it in the chain, not in
    // class order: with the chain 0, 2, 1 it is class 1 whose period-1 teacher
    // meets class 2's, so class 1's early lessons are exchanged, not class 2's.
    void earlyClashesFollowTheChain()
    {
        PlanningModel m = makeModel(3, 1, 2);
        setEarlyTeachers(m, 0, QStringLiteral("A"), QStringLiteral("B"));
        setEarlyTeachers(m, 1, QStringLiteral("C"), QStringLiteral("D"));
        setEarlyTeachers(m, 2, QStringLiteral("B"), QStringLiteral("D"));
        TimetableSmoother smoother(m);
        smoother.OrderClassesByTeacherChain(0);
        QCOMPARE(smoother.classChain(), (std::vector<int>{0, 2, 1}));
        smoother.SmoothEarlyPeriods();
        QCOMPARE(m.cell(2, 0, 0), 1);
        QCOMPARE(m.cell(2, 0, 1), 2);
        QCOMPARE(m.cell(1, 0, 0), 2);
        QCOMPARE(m.cell(1, 0, 1), 1);
    }

    // With 4 periods a clash in period 3 can only go to period 2, and only
    // when both digits lie in the two lessons' allowed periods.
    void clashSwaps_data()
    {
        QTest::addColumn<QString>("zoneOfClashing");
        QTest::addColumn<QString>("zoneOfPartner");
        QTest::addColumn<QString>("guard");
        QTest::addColumn<bool>("swapped");
        QTest::newRow("whole day") << "0123" << "0123" << QString() << true;
        QTest::newRow("clashing lesson not allowed in 2") << "013" << "0123" << QString() << false;
        QTest::newRow("partner not allowed in 3") << "0123" << "012" << QString() << false;
        QTest::newRow("just the two digits") << "2" << "3" << QString() << true;
        QTest::newRow("clashing lesson fixed") << "0123" << "0123" << "fixed clashing" << false;
        QTest::newRow("partner fixed") << "0123" << "0123" << "fixed partner" << false;
        QTest::newRow("partner combined") << "0123" << "0123" << "combined partner" << false;
        QTest::newRow("clashing lesson combined") << "0123" << "0123" << "combined clashing" << false;
        QTest::newRow("partner would clash in 3") << "0123" << "0123" << "partner clashes" << false;
        QTest::newRow("lesson would clash in 2") << "0123" << "0123" << "lesson clashes" << false;
        QTest::newRow("no teacher, no clash") << "0123" << "0123" << "teacher H" << false;
    }
    void clashSwaps()
    {
        QFETCH(QString, zoneOfClashing);
        QFETCH(QString, zoneOfPartner);
        QFETCH(QString, guard);
        QFETCH(bool, swapped);
        // Class 0 holds (5, 6, partner 2 by U, clashing 1 by T); class 1 has
        // T in period 3 and cannot move; class 2 makes the swap itself clash.
        PlanningModel m = makeModel(3, 1, 4);
        const QString t = guard == QLatin1String("teacher H") ? QStringLiteral("H") : QStringLiteral("T");
        setTeacher(m, 0, 1, t);
        setTeacher(m, 1, 1, t);
        setTeacher(m, 0, 2, QStringLiteral("U"));
        setTeacher(m, 2, 7, guard == QLatin1String("lesson clashes") ? t : QStringLiteral("V"));
        setTeacher(m, 2, 8, guard == QLatin1String("partner clashes") ? QStringLiteral("U") : QStringLiteral("W"));
        setDay(m, 0, 0, {5, 6, 2, 1});
        setDay(m, 1, 0, {5, 6, 4, 1});
        setDay(m, 2, 0, {5, 6, 7, 8});
        setZone(m, 1, 1, 0, QStringLiteral("3"));
        setZone(m, 0, 1, 0, zoneOfClashing);
        setZone(m, 0, 2, 0, zoneOfPartner);
        if (guard == QLatin1String("fixed clashing"))
            addFixed(m, 0, 0, 3, 1);
        else if (guard == QLatin1String("fixed partner"))
            addFixed(m, 0, 0, 2, 2);
        else if (guard == QLatin1String("combined partner"))
            addCombined(m, 2, {0});
        else if (guard == QLatin1String("combined clashing"))
            addCombined(m, 1, {0});
        const std::vector<int> before = m.lessonGrid;
        TimetableSmoother(m).ResolveTeacherClashes(4);
        QCOMPARE(m.cell(0, 0, 2), swapped ? 1 : 2);
        QCOMPARE(m.cell(0, 0, 3), swapped ? 2 : 1);
        for (int c = 1; c < 3; ++c)
            for (int p = 0; p < 4; ++p)
                QCOMPARE(m.cell(c, 0, p), before[static_cast<size_t>(m.cellIndex(c, 0, p))]);
    }

    // Periods 0 and 1 take no part: a clash in period 1 stays.
    void clashSwapsLeaveEarlyPeriods()
    {
        PlanningModel m = makeModel(2, 1, 5);
        setTeacher(m, 0, 1, QStringLiteral("T"));
        setTeacher(m, 1, 1, QStringLiteral("T"));
        setDay(m, 0, 0, {2, 1, 3, 4, 5});
        setDay(m, 1, 0, {2, 1, 3, 4, 5});
        const std::vector<int> before = m.lessonGrid;
        TimetableSmoother(m).ResolveTeacherClashes(5);
        QCOMPARE(m.lessonGrid, before);
    }

    // The run smooths the early periods with two periods or more, and swaps
    // clashes with more than three.
    void smoothingStepsByPeriodCount_data()
    {
        QTest::addColumn<int>("periods");
        QTest::addColumn<bool>("early");
        QTest::addColumn<bool>("clashes");
        QTest::newRow("1 period") << 1 << false << false;
        QTest::newRow("2 periods") << 2 << true << false;
        QTest::newRow("3 periods") << 3 << true << false;
        QTest::newRow("4 periods") << 4 << true << true;
    }
    void smoothingStepsByPeriodCount()
    {
        QFETCH(int, periods);
        QFETCH(bool, early);
        QFETCH(bool, clashes);
        // Class 0 repeats subject 1 in period 0 on days 0 and 1, and from period 2
        // on holds 2, then 3 in the last period, whose teacher class 1 also has there.
        PlanningModel m = makeModel(2, 2, periods);
        setTeacher(m, 0, 3, QStringLiteral("T"));
        setTeacher(m, 1, 3, QStringLiteral("T"));
        for (int d = 0; d < 2; ++d) {
            m.cell(0, d, 0) = 1;
            if (periods >= 2)
                m.cell(0, d, 1) = d == 0 ? 4 : 5;
            for (int p = 2; p < periods; ++p)
                m.cell(0, d, p) = 2;
            if (periods >= 3) {
                m.cell(0, d, periods - 1) = 3;
                m.cell(1, d, periods - 1) = 3;
            }
        }
        Scheduler(m).SmoothTimetable();
        QCOMPARE(m.cell(0, 0, 0), 1);
        QCOMPARE(m.cell(0, 1, 0), early ? 5 : 1);
        if (periods >= 3)
            QCOMPARE(m.cell(0, 0, periods - 1), clashes ? 2 : 3);
        QCOMPARE(m.cell(1, 0, 0), 0);
    }

    // Smoothing moves lessons within a day of a class, never adds or drops one.
    void swapsKeepEveryDaysLessons()
    {
        PlanningModel m = makeModel(6, 5, 8);
        const QStringList names{"甲", "乙", "丙", "丁", "戊"};
        for (int c = 0; c < 6; ++c)
            for (int s = 1; s <= 8; ++s)
                setTeacher(m, c, s, names[(c / 2 + s) % names.size()]);
        for (int c = 0; c < 6; ++c)
            for (int d = 0; d < 5; ++d)
                for (int p = 0; p < 8; ++p)
                    m.cell(c, d, p) = (c + 3 * d + 5 * p) % 9; // 0..8, some free
        const std::vector<int> before = m.lessonGrid;
        Scheduler(m).SmoothTimetable();
        QVERIFY(m.lessonGrid != before);
        for (int c = 0; c < 6; ++c)
            for (int d = 0; d < 5; ++d) {
                std::vector<int> was(before.begin() + m.cellIndex(c, d, 0), before.begin() + m.cellIndex(c, d, 0) + 8);
                std::vector<int> now(m.lessonGrid.begin() + m.cellIndex(c, d, 0),
                                     m.lessonGrid.begin() + m.cellIndex(c, d, 0) + 8);
                std::sort(was.begin(), was.end());
                std::sort(now.begin(), now.end());
                QCOMPARE(now, was);
            }
    }
};

QTEST_GUILESS_MAIN(TimetableSmootherTest)
#include "TimetableSmootherTest.moc"
