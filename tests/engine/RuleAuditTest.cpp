#include "engine/solver/RuleAudit.h"
#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableAudit.h"

#include <QtTest>

#include <functional>

namespace {

// Two classes of 七年级, two days of six periods, three of them before the
// 午休: 语文 (甲, 乙), 数学 (丙 in both), 体育 (丁, 戊), 音乐 (己 in both).
SolverProblem smallSchool()
{
    SolverProblem pb;
    pb.reset(2, 6, {QStringLiteral("七1班"), QStringLiteral("七2班")});
    pb.classGrades = {QStringLiteral("七年级"), QStringLiteral("七年级")};
    const QStringList names{"语文", "数学", "体育", "音乐"};
    for (int s = 0; s < names.size(); ++s)
        pb.subjectNames[s] = names[s];
    const QStringList teachers[2] = {{"甲", "丙", "丁", "己"}, {"乙", "丙", "戊", "己"}};
    for (int c = 0; c < 2; ++c)
        for (int s = 1; s <= 4; ++s)
            pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)] = teachers[c][s - 1];
    pb.rules.morningPeriods = 3;
    return pb;
}

using Rules = std::function<void(SchoolRules&)>;

int kindOf(const RuleFaults& f, int kind)
{
    const int counts[] = {f.teacherOff, f.dailyLimit, f.daysPerWeek, f.inARow, f.venueCap, f.doubleLessons};
    return counts[kind];
}

} // namespace

Q_DECLARE_METATYPE(Rules)

class RuleAuditTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countsEachKind_data()
    {
        QTest::addColumn<Rules>("rules");
        QTest::addColumn<QList<int>>("grid"); // class 1's day 1 and day 2, then class 2's
        QTest::addColumn<int>("kind");        // the one kind counted: teacher off … double lessons
        QTest::addColumn<int>("expected");

        // 丙 teaches in periods 2 and 3 of the morning off; period 2 in both classes is one period.
        QTest::newRow("teacher off")
            << Rules([](SchoolRules& r) { r.teacherOff.push_back({"丙", 0, 0, 2}); })
            << QList<int>{1, 2, 2, 0, 0, 2, /**/ 0, 0, 0, 0, 0, 0, /**/ 0, 2, 0, 0, 0, 0, /**/ 2, 0, 0, 0, 0, 0}
            << 0 << 2;
        QTest::newRow("lessons a day")
            << Rules([](SchoolRules& r) { r.teacherLimits.push_back({"丙", 2, 0, 0}); })
            << QList<int>{2, 2, 0, 0, 0, 0, /**/ 2, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 2, 0, /**/ 0, 0, 0, 0, 0, 0}
            << 1 << 1;
        QTest::newRow("days a week")
            << Rules([](SchoolRules& r) { r.teacherLimits.push_back({"丙", 0, 1, 0}); })
            << QList<int>{2, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 2}
            << 2 << 1;
        // Five in a row across the 午休 are two and three: one too many in the afternoon.
        QTest::newRow("in a row, broken by the 午休")
            << Rules([](SchoolRules& r) { r.teacherLimits.push_back({"丙", 0, 0, 2}); })
            << QList<int>{0, 2, 2, 2, 2, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 2, /**/ 0, 0, 0, 0, 0, 0}
            << 3 << 1;
        // 体育 and 音乐 share the ground; the cap of 八年级 has no class here.
        QTest::newRow("venue cap")
            << Rules([](SchoolRules& r) {
                   r.venueCaps.push_back({"操场", {"体育", "音乐"}, "", 1});
                   r.venueCaps.push_back({"操场", {"体育"}, "八年级", 1});
               })
            << QList<int>{3, 3, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 4, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0}
            << 4 << 1;
        // Class 1 asks for two (a run of three in the morning holds one, the
        // pair across the 午休 none); class 2's own rule never doubles 语文.
        QTest::newRow("double lessons")
            << Rules([](SchoolRules& r) {
                   r.doubleLessons.push_back({"七年级", "", "语文", 2});
                   r.doubleLessons.push_back({"七年级", "七2班", "语文", 0});
               })
            << QList<int>{1, 1, 1, 1, 0, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 1, 1, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0}
            << 5 << 2;
    }

    void countsEachKind()
    {
        QFETCH(Rules, rules);
        QFETCH(QList<int>, grid);
        QFETCH(int, kind);
        QFETCH(int, expected);

        SolverProblem pb = smallSchool();
        rules(pb.rules);
        const std::vector<int> cells(grid.begin(), grid.end());
        const RuleFaults faults = RuleAudit::count(pb, cells);
        for (int k = 0; k < 6; ++k)
            QCOMPARE(kindOf(faults, k), k == kind ? expected : 0);
        // The timetable's own count carries them: such a timetable is not clean.
        QCOMPARE(TimetableAudit::count(pb, cells).rules.total(), expected);
        QVERIFY(!TimetableAudit::count(pb, cells).clean());
    }
};

QTEST_GUILESS_MAIN(RuleAuditTest)
#include "RuleAuditTest.moc"
