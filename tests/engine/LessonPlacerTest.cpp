#include "EngineFixture.h"

#include "engine/LessonPlacer.h"
#include "engine/RandomGenerator.h"

#include <QtTest>

#include <vector>

namespace {

// Where every lesson of subject s stands in class c, as day * 10 + period.
std::vector<int> slotsOf(const PlanningModel& m, int c, int s)
{
    std::vector<int> slots;
    for (int d = 0; d < m.dayCount; ++d)
        for (int p = 0; p < m.periodCount; ++p)
            if (m.cell(c, d, p) == s)
                slots.push_back(d * 10 + p);
    return slots;
}

} // namespace

class LessonPlacerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void generatorFirstValues()
    {
        RandomGenerator random(1);
        const int expected[] = {41, 18467, 6334, 26500, 19169};
        for (int value : expected)
            QCOMPARE(random.next(), value);
        random.seed(1);
        QCOMPARE(random.pick(1), 0); // a single candidate still takes a value
        QCOMPARE(random.next(), 18467);
    }

    // Subject 1 of class 0 has zone "012" on each of 5 days and one lesson on
    // day 0; its teacher has two lessons on day 1 (in class 1); period 0 of
    // day 2 is taken in class 0. D1 = 0..4, D2 = 1..4, D3 = 2..4, D4 = 3, 4:
    // the next value modulo 2 picks day 3 or day 4.
    void dayChoiceExample_data()
    {
        QTest::addColumn<uint>("seed");
        QTest::addColumn<int>("day");
        QTest::newRow("seed 0, value 38 even") << 0u << 3;
        QTest::newRow("seed 1, value 41 odd") << 1u << 4;
    }
    void dayChoiceExample()
    {
        QFETCH(uint, seed);
        QFETCH(int, day);
        PlanningModel m = makeModel(2, 5, 8);
        setZoneAllDays(m, 0, 1, QStringLiteral("012"));
        setTeacher(m, 0, 1, QStringLiteral("王老师"));
        setTeacher(m, 1, 2, QStringLiteral("王老师"));
        m.cell(0, 0, 5) = 1;
        m.cell(1, 1, 0) = 2;
        m.cell(1, 1, 1) = 2;
        m.cell(0, 2, 0) = 3;

        RandomGenerator random(seed);
        LessonPlacer placer(m, random);
        QCOMPARE(placer.ChooseDayInZone(0, 1), day);
        RandomGenerator reference(seed);
        reference.next();
        QCOMPARE(random.state(), reference.state()); // exactly one value drawn
    }

    // The teacher-load filter looks at the levels 0..8 only: when every day's
    // load is 9 or more, the filter is empty and the draw falls back to the
    // days of the subject-load filter.
    void dayFiltersSearchLevelsUpToEight_data()
    {
        QTest::addColumn<int>("loadDay0");
        QTest::addColumn<int>("loadDay1");
        QTest::addColumn<QList<int>>("candidates");
        QTest::newRow("8 and 10: day 0 only") << 8 << 10 << QList<int>{0};
        QTest::newRow("9 and 10: both days") << 9 << 10 << QList<int>{0, 1};
        QTest::newRow("10 and 9: both days") << 10 << 9 << QList<int>{0, 1};
        QTest::newRow("3 and 3: both days") << 3 << 3 << QList<int>{0, 1};
    }
    void dayFiltersSearchLevelsUpToEight()
    {
        QFETCH(int, loadDay0);
        QFETCH(int, loadDay1);
        QFETCH(QList<int>, candidates);
        for (uint seed : {0u, 1u, 7u}) {
            PlanningModel m = makeModel(3, 2, 8);
            const QString teacher = QStringLiteral("李老师");
            setTeacher(m, 0, 1, teacher);
            setTeacher(m, 1, 4, teacher);
            setTeacher(m, 2, 4, teacher);
            const int loads[] = {loadDay0, loadDay1};
            for (int d = 0; d < 2; ++d)
                for (int k = 0; k < loads[d]; ++k)
                    m.cell(1 + k / 8, d, k % 8) = 4;
            RandomGenerator random(seed);
            RandomGenerator reference(seed);
            LessonPlacer placer(m, random);
            const int expected = candidates[reference.pick(static_cast<int>(candidates.size()))];
            QCOMPARE(placer.ChooseDayInZone(0, 1), expected);
            RandomGenerator again(seed);
            LessonPlacer second(m, again);
            QCOMPARE(second.ChooseDay(0, 1), expected);
        }
    }

    // A teacher "H" is nobody: the lessons of other subjects without a teacher
    // do not count against a day.
    void teacherHCountsNothing()
    {
        PlanningModel m = makeModel(2, 2, 4);
        m.cell(1, 0, 0) = 3; // teacher "H" in class 1
        RandomGenerator random(0); // first value 38: the first of two candidates
        LessonPlacer placer(m, random);
        QCOMPARE(placer.ChooseDay(0, 1), 0);
    }

    // The day choice looks up the teacher of every cell, a free one included,
    // whose "teacher" is the class name: a teacher who bears a class's name
    // is as busy as that class is free.
    void freeCellsCountForATeacherNamedLikeAClass()
    {
        PlanningModel m = makeModel(2, 2, 4);
        setTeacher(m, 0, 1, QStringLiteral("C1"));
        setDay(m, 1, 0, {3, 3, 3, 3}); // class 1: day 0 full (teacher "H"), day 1 free
        RandomGenerator random(1);     // first value 41 would pick day 1 of two
        LessonPlacer placer(m, random);
        QCOMPARE(placer.ChooseDay(0, 1), 0);
    }

    void noCandidateDrawsNothing()
    {
        PlanningModel m = makeModel(1, 2, 4);
        setZoneAllDays(m, 0, 1, QStringLiteral("3"));
        m.cell(0, 0, 3) = 2;
        m.cell(0, 1, 3) = 2;
        RandomGenerator random(5);
        LessonPlacer placer(m, random);
        QCOMPARE(placer.ChooseDayInZone(0, 1), -1);
        QCOMPARE(placer.ChoosePeriodInZone(0, 1, 0), -1);
        QCOMPARE(random.state(), 5u);
        for (int p = 0; p < 4; ++p)
            m.cell(0, 0, p) = m.cell(0, 1, p) = 2;
        QCOMPARE(placer.ChooseDay(0, 1), -1);
        QCOMPARE(random.state(), 5u);
    }

    // The candidates are the zone's characters in stored order, repeats included.
    void periodChoiceKeepsZoneOrderAndRepeats()
    {
        for (uint seed = 0; seed < 8; ++seed) {
            PlanningModel m = makeModel(1, 1, 8);
            setZone(m, 0, 1, 0, QStringLiteral("71137"));
            m.cell(0, 0, 3) = 2;
            RandomGenerator random(seed);
            RandomGenerator reference(seed);
            LessonPlacer placer(m, random);
            const int candidates[] = {7, 1, 1, 7};
            QCOMPARE(placer.ChoosePeriodInZone(0, 1, 0), candidates[reference.pick(4)]);

            const int free[] = {0, 1, 2, 4, 5, 6, 7};
            QCOMPARE(placer.ChooseFreePeriod(0, 0), free[reference.pick(7)]);
        }
    }

    void subjectsOrderedByZoneLength()
    {
        PlanningModel m = makeModel(1, 5, 8);
        setZoneAllDays(m, 0, 3, QStringLiteral("3"));   // 5 characters over the week
        setZoneAllDays(m, 0, 5, QStringLiteral("01"));  // 10
        setZoneAllDays(m, 0, 9, QStringLiteral("3"));   // 5, after subject 3
        setZone(m, 0, 1, 5, QString());                 // days after the week do not count
        setZone(m, 0, 1, 6, QString());
        RandomGenerator random(1);
        LessonPlacer placer(m, random);
        placer.OrderSubjectsByZone(0);
        std::vector<int> expected{2, 8, 4};
        for (int i = 0; i < 24; ++i)
            if (i != 2 && i != 4 && i != 8)
                expected.push_back(i);
        QCOMPARE(placer.subjectOrder(), expected);
        QCOMPARE(random.state(), 1u);
    }

    void fixedLessons()
    {
        PlanningModel m = makeModel(2, 5, 8);
        m.rem(0, 1) = 3;
        m.rem(1, 2) = 0;
        addFixed(m, 0, 0, 0, 1);
        addFixed(m, 1, 1, 1, 2); // class 1 has no lesson of subject 2 left: ignored
        addFixed(m, 0, 2, 3, 1);
        addFixed(m, 0, 2, 3, 7); // same cell, no lesson of subject 7: the first stays
        m.rem(0, 5) = 1;
        addFixed(m, 0, 0, 0, 5); // same cell as the first: the later one remains, both counted
        RandomGenerator random(1);
        LessonPlacer placer(m, random);
        placer.PlaceFixedLessons();
        QCOMPARE(m.cell(0, 0, 0), 5);
        QCOMPARE(m.cell(0, 2, 3), 1);
        QCOMPARE(m.cell(1, 1, 1), 0);
        QCOMPARE(m.rem(0, 1), 1);
        QCOMPARE(m.rem(0, 5), 0);
        QCOMPARE(random.state(), 1u);
    }

    // Physical education of classes 0 and 1 together, three lessons each:
    // class 0's first pass places all three in both classes in the same slots.
    void combinedGroupPlacedTogether()
    {
        PlanningModel m = makeModel(3, 5, 4);
        for (int c = 0; c < 3; ++c)
            m.rem(c, 10) = 3;
        m.rem(0, 1) = 4;
        m.rem(1, 1) = 4;
        addCombined(m, 10, {0, 1});
        RandomGenerator random(3);
        LessonPlacer placer(m, random);
        placer.PlaceLessons();
        QCOMPARE(slotsOf(m, 0, 10).size(), size_t(3));
        QCOMPARE(slotsOf(m, 1, 10), slotsOf(m, 0, 10));
        QCOMPARE(m.rem(0, 10), 0);
        QCOMPARE(m.rem(1, 10), 0);
        QCOMPARE(slotsOf(m, 2, 10).size(), size_t(3));
        QCOMPARE(slotsOf(m, 1, 1).size(), size_t(4));
    }

    // A combined placement writes the other members whatever their cell holds;
    // a member without a lesson of the subject left is left alone.
    void combinedPlacementOverwrites()
    {
        PlanningModel m = makeModel(3, 2, 4);
        m.rem(0, 10) = 2;
        m.rem(1, 10) = 2;
        m.cell(1, 0, 0) = 5;
        m.rem(1, 5) = 0;
        m.cell(2, 0, 0) = 6;
        addCombined(m, 10, {2, 0, 1});
        QCOMPARE(m.FindCombinedGroup(1, 10), 0);
        QCOMPARE(m.FindCombinedGroup(1, 9), -1);
        RandomGenerator random(1);
        LessonPlacer placer(m, random);
        placer.PlaceCombinedLesson(0, 0, 0);
        QCOMPARE(m.cell(0, 0, 0), 10);
        QCOMPARE(m.cell(1, 0, 0), 10); // the other lesson is gone for good
        QCOMPARE(m.rem(1, 5), 0);
        QCOMPARE(m.cell(2, 0, 0), 6);  // no lesson left: untouched
        QCOMPARE(m.rem(0, 10), 1);
        QCOMPARE(m.rem(1, 10), 1);
    }

    // Six lessons in a five-day week: the first pass puts one on each day, the
    // sixth goes to the second pass.
    void moreLessonsThanDays()
    {
        PlanningModel m = makeModel(1, 5, 8);
        m.rem(0, 1) = 6;
        RandomGenerator random(9);
        LessonPlacer placer(m, random);
        placer.PlaceLessons();
        const std::vector<int> slots = slotsOf(m, 0, 1);
        QCOMPARE(slots.size(), size_t(6));
        for (int d = 0; d < 5; ++d)
            QVERIFY(std::any_of(slots.begin(), slots.end(), [d](int slot) { return slot / 10 == d; }));
        QCOMPARE(m.rem(0, 1), 0);
    }

    // Zone "3" on every day, and period 3 taken everywhere: the first pass
    // fails, the second places the lessons in any free period.
    void secondPassIgnoresZones()
    {
        PlanningModel m = makeModel(1, 2, 4);
        setZoneAllDays(m, 0, 1, QStringLiteral("3"));
        m.cell(0, 0, 3) = 2;
        m.cell(0, 1, 3) = 2;
        m.rem(0, 1) = 3;
        RandomGenerator random(4);
        LessonPlacer placer(m, random);
        placer.PlaceLessons();
        const std::vector<int> slots = slotsOf(m, 0, 1);
        QCOMPARE(slots.size(), size_t(3));
        for (int slot : slots)
            QVERIFY(slot % 10 != 3);
    }

    // More lessons than periods: the rest stays in remainingLessons.
    void overfullClassKeepsTheRest()
    {
        PlanningModel m = makeModel(1, 2, 3);
        m.rem(0, 1) = 4;
        m.rem(0, 2) = 1000000;
        RandomGenerator random(4);
        LessonPlacer placer(m, random);
        placer.PlaceLessons();
        QCOMPARE(slotsOf(m, 0, 1).size(), size_t(4));
        QCOMPARE(slotsOf(m, 0, 2).size(), size_t(2));
        QCOMPARE(m.rem(0, 2), 1000000 - 2);
    }
};

QTEST_GUILESS_MAIN(LessonPlacerTest)
#include "LessonPlacerTest.moc"
