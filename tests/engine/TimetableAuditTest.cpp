#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableAudit.h"

#include <QtTest>

namespace {

// Two classes, one day of four periods: 语文 (甲, 乙), 数学 (丙 in both),
// 英语 (丁, 戊) and 音乐 taken together by both classes (己). Class 1's 英语
// is fixed in period 3; its teacher may only teach in periods 1–2, and class
// 2's 英语 belongs in periods 3–4 (0-based 2–3).
SolverProblem smallSchool()
{
    SolverProblem pb;
    pb.reset(1, 4, {QStringLiteral("一1班"), QStringLiteral("一2班")});
    const QStringList names{"语文", "数学", "英语", "音乐"};
    for (int s = 0; s < names.size(); ++s)
        pb.subjectNames[s] = names[s];
    const QStringList teachers[2] = {{"甲", "丙", "丁", "己"}, {"乙", "丙", "戊", "己"}};
    for (int c = 0; c < 2; ++c)
        for (int s = 1; s <= 4; ++s) {
            pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)] = 1;
            pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)] = teachers[c][s - 1];
        }
    pb.combined.push_back({4, {0, 1}});
    pb.fixedLessons.push_back({0, 0, 2, 3});
    pb.setZone(pb.teacherZones, 0, 3, 0, 0b0011);
    pb.setZone(pb.subjectZones, 1, 3, 0, 0b1100);
    return pb;
}

} // namespace

class TimetableAuditTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void counts_data()
    {
        QTest::addColumn<QList<int>>("grid"); // class 1's four periods, then class 2's
        QTest::addColumn<bool>("keepFirstOfClass2");
        QTest::addColumn<int>("clashes");
        QTest::addColumn<int>("unplaced");
        QTest::addColumn<int>("fixed");
        QTest::addColumn<int>("zones");

        // The fixed 英语 stands outside its teacher's zone: the fixed place wins.
        QTest::newRow("every rule holds, the combined group together") << QList<int>{1, 2, 3, 4, 2, 1, 3, 4} << false << 0 << 0 << 0 << 0;
        QTest::newRow("one teacher in two classes") << QList<int>{1, 2, 3, 4, 1, 2, 3, 4} << false << 1 << 0 << 0 << 0;
        QTest::newRow("combined group split over a fixed lesson")
            << QList<int>{1, 2, 4, 3, 2, 1, 3, 4} << false << 0 << 0 << 1 << 1;
        QTest::newRow("a lesson missing") << QList<int>{1, 2, 3, 0, 2, 1, 3, 4} << false << 0 << 1 << 0 << 0;
        QTest::newRow("a free fixed cell") << QList<int>{1, 2, 0, 4, 2, 1, 3, 4} << false << 0 << 1 << 1 << 0;
        QTest::newRow("a lesson outside its zone") << QList<int>{1, 2, 3, 4, 3, 1, 2, 4} << false << 0 << 0 << 0 << 1;
        QTest::newRow("a kept cell outside its zone") << QList<int>{1, 2, 3, 4, 3, 1, 2, 4} << true << 0 << 0 << 0 << 0;
        QTest::newRow("all at once") << QList<int>{2, 1, 0, 3, 2, 1, 4, 3} << false << 1 << 1 << 1 << 1;
    }
    void counts()
    {
        QFETCH(QList<int>, grid);
        QFETCH(bool, keepFirstOfClass2);
        QFETCH(int, clashes);
        QFETCH(int, unplaced);
        QFETCH(int, fixed);
        QFETCH(int, zones);
        std::vector<SolverPin> kept;
        if (keepFirstOfClass2)
            kept.push_back({1, 0, 0});
        const TimetableFaults faults
            = TimetableAudit::count(smallSchool(), std::vector<int>(grid.begin(), grid.end()), kept);
        QCOMPARE(faults.clashes, clashes);
        QCOMPARE(faults.unplaced, qint64(unplaced));
        QCOMPARE(faults.fixedOutOfPlace, fixed);
        QCOMPARE(faults.outsideZones, zones);
        QCOMPARE(faults.required, qint64(8));
        QCOMPARE(faults.clean(), clashes + unplaced + fixed + zones == 0);
    }

    // A grid of another shape counts nothing rather than reading past its end.
    void gridOfAnotherShape()
    {
        const TimetableFaults faults = TimetableAudit::count(smallSchool(), std::vector<int>(5, 1));
        QCOMPARE(faults.total(), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TimetableAuditTest)
#include "TimetableAuditTest.moc"
