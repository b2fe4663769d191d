#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableSolver.h"

#include "SolverSchool.h"

#include <QtTest>

Q_DECLARE_METATYPE(SolverOutcome::Status)
Q_DECLARE_METATYPE(SolverProblem)

namespace {

SolverProblem school(int days, int periods, int classes)
{
    return blankSchool(days, periods, classes,
                       {QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"), QStringLiteral("体育")});
}

// Days before `days` whole, then `periods` periods of the next day.
void confine(SolverProblem& pb, std::vector<std::uint16_t>& zones, int c, int s, int days, int periods)
{
    for (int d = 0; d < pb.dayCount; ++d)
        pb.setZone(zones, c, s, d,
                   d < days ? pb.fullDay() : d == days ? static_cast<std::uint16_t>((1u << periods) - 1u) : 0);
}

// One class of 5 × 6: 语文, 数学 and 英语 allowed in 22 slots only; `inZone`
// lessons of theirs, the rest of the week 体育 anywhere.
SolverProblem confinedClass(int inZone)
{
    SolverProblem pb = school(5, 6, 1);
    lesson(pb, 0, 1, 8, QStringLiteral("甲"));
    lesson(pb, 0, 2, 8, QStringLiteral("乙"));
    lesson(pb, 0, 3, inZone - 16, QStringLiteral("丙"));
    lesson(pb, 0, 4, 30 - inZone, QStringLiteral("丁"));
    for (int s = 1; s <= 3; ++s)
        confine(pb, pb.subjectZones, 0, s, 3, 4);
    return pb;
}

// Two classes of 5 × 4; 张 teaches 语文 in both, within 9 slots of the teacher zone.
SolverProblem confinedTeacher()
{
    SolverProblem pb = school(5, 4, 2);
    for (int c = 0; c < 2; ++c) {
        lesson(pb, c, 1, 5, QStringLiteral("张"));
        for (int s = 2; s <= 4; ++s)
            lesson(pb, c, s, 5, QStringLiteral("师%1%2").arg(c).arg(s));
        confine(pb, pb.teacherZones, c, 1, 2, 1);
    }
    return pb;
}

// Two classes taking 体育 together, 5 a week; their zones share one day of 4 periods.
SolverProblem confinedGroup()
{
    SolverProblem pb = school(5, 4, 2);
    for (int c = 0; c < 2; ++c) {
        for (int s = 1; s <= 3; ++s)
            lesson(pb, c, s, 5, QStringLiteral("师%1%2").arg(c).arg(s));
        lesson(pb, c, 4, 5, QStringLiteral("赵"));
    }
    for (int d = 0; d < 5; ++d) {
        pb.setZone(pb.subjectZones, 0, 4, d, d <= 1 ? pb.fullDay() : 0);
        pb.setZone(pb.subjectZones, 1, 4, d, d >= 1 && d <= 2 ? pb.fullDay() : 0);
    }
    pb.combined.push_back({4, {0, 1}});
    return pb;
}

} // namespace

class LessonCountingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // More lessons than the slots they may take is refused at once, the
    // numbers named; as many lessons as slots is no refusal.
    void countsDecide_data()
    {
        QTest::addColumn<SolverProblem>("problem");
        QTest::addColumn<SolverOutcome::Status>("status");
        QTest::addColumn<QString>("words");
        QTest::newRow("class: 23 lessons in 22 slots")
            << confinedClass(23) << SolverOutcome::Status::Impossible
            << QStringLiteral("高一1班 语文、数学、英语共 23 节课，只能排在 22 个时段");
        QTest::newRow("class: 22 lessons in 22 slots")
            << confinedClass(22) << SolverOutcome::Status::Solved << QString();
        SolverProblem bothZones = confinedClass(23);
        for (int s = 1; s <= 3; ++s)
            confine(bothZones, bothZones.teacherZones, 0, s, 3, 4);
        QTest::newRow("class: both zones, 23 lessons in 22 slots")
            << bothZones << SolverOutcome::Status::Impossible
            << QStringLiteral("高一1班 语文、数学、英语共 23 节课，只能排在 22 个时段");
        QTest::newRow("teacher: 10 lessons in 9 slots")
            << confinedTeacher() << SolverOutcome::Status::Impossible
            << QStringLiteral("张老师的高一1班 语文、高一2班 语文共 10 节课，只能排在 9 个时段");
        QTest::newRow("combined group: 5 lessons in 4 slots")
            << confinedGroup() << SolverOutcome::Status::Impossible
            << QStringLiteral("高一1班、高一2班 合班体育共 5 节课，只能排在 4 个时段");
    }
    void countsDecide()
    {
        QFETCH(SolverProblem, problem);
        QFETCH(SolverOutcome::Status, status);
        QFETCH(QString, words);
        SolverRequest request;
        request.spread = false;
        const SolverOutcome outcome = solveTimetable(problem, request);
        QCOMPARE(outcome.status, status);
        if (words.isEmpty())
            return;
        QVERIFY(!outcome.explanation.isEmpty());
        QCOMPARE(outcome.explanation.first(), words);
    }
};

QTEST_GUILESS_MAIN(LessonCountingTest)
#include "LessonCountingTest.moc"
