#include "engine/solver/SolverProblem.h"
#include "engine/solver/SolverUnits.h"
#include "engine/solver/SpreadBound.h"

#include "SolverSchool.h"

#include <QtTest>

#include <functional>

namespace {

// Three days of three periods, two classes; subject 1 taught by 甲 in both,
// the rest by teachers of their own. `shape` narrows it.
SolverProblem twoClasses(const std::function<void(SolverProblem&)>& shape)
{
    SolverProblem pb = blankSchool(3, 3, 2);
    for (int c = 0; c < 2; ++c) {
        lesson(pb, c, 1, 2, QStringLiteral("甲"));
        lesson(pb, c, 2, 4, QStringLiteral("乙%1").arg(c));
        lesson(pb, c, 3, 3, QStringLiteral("丙%1").arg(c));
    }
    shape(pb);
    return pb;
}

} // namespace

Q_DECLARE_METATYPE(SolverProblem)

class SpreadBoundTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countsWhatNoTimetableAvoids_data()
    {
        QTest::addColumn<SolverProblem>("problem");
        QTest::addColumn<int>("bound");

        QTest::newRow("no zones") << twoClasses([](SolverProblem&) {}) << 0;
        // 甲 teaches both classes' two lessons only on the first two days and
        // has one period on the second: one lesson must go elsewhere.
        QTest::newRow("a teacher's day too narrow for the classes that need it") << twoClasses([](SolverProblem& pb) {
            for (int c = 0; c < 2; ++c) {
                pb.setZone(pb.teacherZones, c, 1, 1, 1u);
                pb.setZone(pb.teacherZones, c, 1, 2, 0);
            }
        }) << 1;
        // Four lessons of subject 2 a week on three days: two on one day is
        // its share, not a fault; only days without a zone make faults.
        QTest::newRow("more lessons than days, every day open") << twoClasses([](SolverProblem&) {}) << 0;
        // Six lessons on three days, two a day, but one day has one period open.
        QTest::newRow("a day narrower than its share") << twoClasses([](SolverProblem& pb) {
            lesson(pb, 0, 2, 6, QStringLiteral("乙0"));
            pb.setZone(pb.subjectZones, 0, 2, 0, 1u);
        }) << 1;
        // On the second day 甲 has three periods, but two lessons that must
        // be there may take only the first of them.
        QTest::newRow("a period more lessons need than it holds") << twoClasses([](SolverProblem& pb) {
            for (int c = 0; c < 2; ++c) {
                pb.setZone(pb.subjectZones, c, 1, 1, 1u);
                pb.setZone(pb.subjectZones, c, 1, 2, 0);
            }
            lesson(pb, 1, 4, 2, QStringLiteral("甲"));
            pb.setZone(pb.subjectZones, 1, 4, 2, 0);
        }) << 1;
    }
    void countsWhatNoTimetableAvoids()
    {
        QFETCH(SolverProblem, problem);
        QFETCH(int, bound);
        QCOMPARE(SpreadBound::lowerBound(problem, SolverUnits::buildUnits(problem)), bound);
    }
};

QTEST_GUILESS_MAIN(SpreadBoundTest)
#include "SpreadBoundTest.moc"
