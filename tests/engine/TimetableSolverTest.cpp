#include "engine/solver/LocalSearch.h"
#include "engine/solver/ModelSize.h"
#include "engine/solver/RepairRace.h"
#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableAudit.h"
#include "engine/solver/TimetableSolver.h"
#include "support/ScratchSchool.h"

#include "SolverSchool.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <map>
#include <random>
#include <set>
#include <thread>

Q_DECLARE_METATYPE(SolverOutcome::Status)

namespace {

// Bits of the given periods.
std::uint16_t periods(std::initializer_list<int> list)
{
    std::uint16_t mask = 0;
    for (const int p : list)
        mask = static_cast<std::uint16_t>(mask | (1u << p));
    return mask;
}

SolverProblem school(int days, int periods_, int classes)
{
    return blankSchool(days, periods_, classes, {QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语")});
}

// Three classes, 5 days x 4 periods, a mathematics teacher shared by two classes.
SolverProblem feasibleSchool()
{
    SolverProblem pb = school(5, 4, 3);
    for (int c = 0; c < 3; ++c) {
        lesson(pb, c, 1, 5, QStringLiteral("语文%1").arg(c));
        lesson(pb, c, 2, 5, c < 2 ? QStringLiteral("宋雪兰") : QStringLiteral("数学3"));
        lesson(pb, c, 3, 4, QStringLiteral("英语%1").arg(c));
        lesson(pb, c, 4, 3, QStringLiteral("物理"));
        lesson(pb, c, 5, 3, QStringLiteral("化学%1").arg(c));
    }
    return pb;
}

// Mathematics may only go on the first day (its zones share nothing on the
// second), so its two lessons cannot be on different days.
SolverProblem spreadOnlySchool()
{
    SolverProblem pb = school(2, 3, 1);
    lesson(pb, 0, 1, 4, QStringLiteral("甲"));
    lesson(pb, 0, 2, 2, QStringLiteral("乙"));
    pb.setZone(pb.subjectZones, 0, 2, 1, periods({0}));
    pb.setZone(pb.teacherZones, 0, 2, 1, periods({1}));
    return pb;
}

// Two classes whose fixed English lessons share a teacher and a slot.
SolverProblem fixedClashSchool()
{
    SolverProblem pb = feasibleSchool();
    lesson(pb, 0, 3, 4, QStringLiteral("宋雪兰"));
    lesson(pb, 1, 3, 4, QStringLiteral("宋雪兰"));
    lesson(pb, 0, 2, 5, QStringLiteral("数学1"));
    pb.fixedLessons.push_back({0, 2, 3, 3});
    pb.fixedLessons.push_back({1, 2, 3, 3});
    return pb;
}

// 宋雪兰 teaches ten lessons but her zone holds only the first period of each
// day: five slots.
SolverProblem narrowZoneSchool()
{
    SolverProblem pb = feasibleSchool();
    for (int c = 0; c < 2; ++c)
        for (int d = 0; d < 5; ++d)
            pb.setZone(pb.teacherZones, c, 2, d, periods({0}));
    return pb;
}

// Classes 1 and 2 take English together; class 1's English is fixed to the
// third day's second period, and class 3 has a fixed physics lesson.
SolverProblem combinedFixedSchool()
{
    SolverProblem pb = feasibleSchool();
    lesson(pb, 0, 3, 4, QStringLiteral("英语合"));
    lesson(pb, 1, 3, 4, QStringLiteral("英语合"));
    pb.combined.push_back({3, {0, 1}});
    pb.fixedLessons.push_back({0, 2, 1, 3});
    pb.fixedLessons.push_back({2, 0, 0, 4});
    return pb;
}

// The only period mathematics' two zones allow is none: the union is used.
SolverProblem fallbackSchool()
{
    SolverProblem pb = school(1, 2, 1);
    lesson(pb, 0, 1, 1, QStringLiteral("甲"));
    lesson(pb, 0, 2, 1, QStringLiteral("乙"));
    pb.setZone(pb.subjectZones, 0, 2, 0, periods({0}));
    pb.setZone(pb.teacherZones, 0, 2, 0, periods({1}));
    return pb;
}

// Ten classes, 2 days x 3 periods, and nearly every teacher needed in every
// slot: classes 1 and 2 take 科4 together twice and 科1 with a teacher of
// their own, seven classes have one teacher for their whole week, and the
// last class's lessons have no teacher. In each slot ten lessons are taught,
// the combined one counting for two classes.
SolverProblem fullTeachersSchool()
{
    SolverProblem pb = school(2, 3, 10);
    for (int c = 0; c < 2; ++c) {
        lesson(pb, c, 4, 2, QStringLiteral("合"));
        lesson(pb, c, 1, 4, QStringLiteral("甲%1").arg(c));
    }
    pb.combined.push_back({4, {0, 1}});
    for (int c = 2; c < 9; ++c)
        lesson(pb, c, 1, 6, QStringLiteral("乙%1").arg(c));
    lesson(pb, 9, 1, 6, QString());
    return pb;
}

// Two classes, 2 days x 6 periods, each with five and four lessons of two
// subjects, a teacher for each; three periods stay free. Spread, a subject
// takes two or three periods a day.
SolverProblem moreLessonsThanDaysSchool()
{
    SolverProblem pb = school(2, 6, 2);
    for (int c = 0; c < 2; ++c) {
        lesson(pb, c, 1, 5, QStringLiteral("甲%1").arg(c));
        lesson(pb, c, 2, 4, QStringLiteral("乙%1").arg(c));
    }
    return pb;
}

// One class, 2 days x 6 periods, six lessons each of two subjects, the
// second allowed only in the last two periods of the first day: it cannot
// keep to three a day, so the spread is given up.
SolverProblem beyondShareSchool()
{
    SolverProblem pb = school(2, 6, 1);
    lesson(pb, 0, 1, 6, QStringLiteral("甲"));
    lesson(pb, 0, 2, 6, QStringLiteral("乙"));
    pb.setZone(pb.subjectZones, 0, 2, 0, periods({4, 5}));
    return pb;
}

// A hand move in a timetable of the feasible school: class 1's mathematics
// swapped onto the period of class 2's mathematics on the first day, where
// their one teacher already teaches. Sets the two periods swapped.
std::vector<int> mathOntoOtherClass(const SolverProblem& pb, const std::vector<int>& grid, int& from, int& to)
{
    const int S = pb.slotCount();
    from = to = -1;
    for (int t = 0; t < pb.periodCount; ++t) {
        if (grid[static_cast<size_t>(t)] == 2)
            from = t;
        if (grid[static_cast<size_t>(S + t)] == 2)
            to = t;
    }
    std::vector<int> moved = grid;
    if (from != -1 && to != -1)
        std::swap(moved[static_cast<size_t>(from)], moved[static_cast<size_t>(to)]);
    return moved;
}

// A school of the generated kind (ScratchSchool's week, grades and lesson
// patterns): teachers of a subject shared by two to four classes of a grade,
// every week full.
SolverProblem generatedSchool(int classes)
{
    SolverProblem pb = school(ScratchSchool::kDays, ScratchSchool::kPeriods, classes);
    const int perGrade = ScratchSchool::classesPerGrade(classes);
    for (int c = 0; c < classes; ++c) {
        const int g = c / perGrade;
        const int k = c % perGrade;
        const std::vector<int>& counts = ScratchSchool::kPatterns[static_cast<size_t>(g) % ScratchSchool::kPatterns.size()];
        for (int s = 0; s < static_cast<int>(counts.size()); ++s)
            if (counts[static_cast<size_t>(s)] > 0)
                lesson(pb, c, s + 1, counts[static_cast<size_t>(s)],
                       QStringLiteral("师%1-%2-%3").arg(s).arg(g).arg(k / ScratchSchool::sharing(s)));
    }
    return pb;
}

SolverProblem schoolNamed(const QString& name)
{
    if (name == QLatin1String("full teachers"))
        return fullTeachersSchool();
    if (name == QLatin1String("more lessons than days"))
        return moreLessonsThanDaysSchool();
    if (name == QLatin1String("beyond share"))
        return beyondShareSchool();
    if (name == QLatin1String("feasible"))
        return feasibleSchool();
    if (name == QLatin1String("overloaded teacher")) { // 宋雪兰: 24 lessons in 20 slots
        SolverProblem pb = feasibleSchool();
        lesson(pb, 2, 2, 5, QStringLiteral("宋雪兰"));
        lesson(pb, 0, 4, 3, QStringLiteral("宋雪兰"));
        lesson(pb, 1, 5, 3, QStringLiteral("宋雪兰"));
        lesson(pb, 2, 5, 3, QStringLiteral("宋雪兰"));
        return pb;
    }
    if (name == QLatin1String("spread only"))
        return spreadOnlySchool();
    if (name == QLatin1String("fixed clash"))
        return fixedClashSchool();
    if (name == QLatin1String("narrow zone"))
        return narrowZoneSchool();
    if (name == QLatin1String("combined and fixed"))
        return combinedFixedSchool();
    return fallbackSchool();
}

// Checks a timetable against the school from the problem's own data, without
// the solver's bookkeeping. Returns the faults found, in words.
// Two classes want their two lessons of 甲's subject on two days, but 甲
// has one period on the second day and none on the third: one class must
// take both on the first, so the spread falls short by one.
SolverProblem shortOfDaysSchool()
{
    SolverProblem pb = school(3, 3, 2);
    for (int c = 0; c < 2; ++c) {
        lesson(pb, c, 1, 2, QStringLiteral("甲"));
        lesson(pb, c, 2, 3, QStringLiteral("乙%1").arg(c));
        lesson(pb, c, 3, 2, QStringLiteral("丙%1").arg(c));
        pb.setZone(pb.teacherZones, c, 1, 1, periods({0}));
        pb.setZone(pb.teacherZones, c, 1, 2, 0);
    }
    return pb;
}

QStringList faults(const SolverProblem& pb, const std::vector<int>& grid, bool spread, bool zoneFallback)
{
    QStringList found;
    const int S = pb.slotCount();
    const int P = pb.periodCount;
    if (grid.size() != static_cast<size_t>(pb.classCount() * S))
        return {QStringLiteral("grid size")};
    auto at = [&](int c, int t) { return grid[static_cast<size_t>(c * S + t)]; };
    for (int c = 0; c < pb.classCount(); ++c) {
        for (int s = 1; s <= SolverProblem::kSubjects; ++s) {
            int have = 0;
            std::set<int> days;
            std::map<int, int> perDay;
            for (int t = 0; t < S; ++t)
                if (at(c, t) == s) {
                    ++have;
                    days.insert(t / P);
                    ++perDay[t / P];
                }
            const int n = pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)];
            if (have != n)
                found << QStringLiteral("class %1 subject %2: %3 of %4").arg(c).arg(s).arg(have).arg(n);
            if (spread && n >= 2 && static_cast<int>(days.size()) < std::min(n, pb.dayCount))
                found << QStringLiteral("class %1 subject %2 not spread").arg(c).arg(s);
            // More lessons than days: none beyond the day's share.
            const int share = (n + pb.dayCount - 1) / pb.dayCount;
            for (const auto& [day, lessons] : perDay)
                if (spread && n > pb.dayCount && lessons > share)
                    found << QStringLiteral("class %1 subject %2: %3 lessons on day %4").arg(c).arg(s).arg(lessons).arg(day);
        }
        for (int t = 0; t < S; ++t) {
            const int s = at(c, t);
            if (s == 0)
                continue;
            const int d = t / P;
            const std::uint16_t bit = static_cast<std::uint16_t>(1u << (t % P));
            const std::uint16_t sz = pb.subjectZone(c, s, d);
            const std::uint16_t tz = pb.teacherZone(c, s, d);
            const std::uint16_t allowed = (sz & tz) || !zoneFallback ? (sz & tz) : (sz | tz);
            bool fixedHere = false;
            for (const auto& f : pb.fixedLessons)
                fixedHere |= f.classIndex == c && f.day * P + f.period == t && f.subject == s;
            if (!(allowed & bit) && !fixedHere)
                found << QStringLiteral("class %1 subject %2 outside its zones at %3").arg(c).arg(s).arg(t);
        }
    }
    // A teacher's lessons in one slot: classes of one combined group count once.
    for (int t = 0; t < S; ++t) {
        std::map<QString, std::set<int>> bookings;
        for (int c = 0; c < pb.classCount(); ++c) {
            const int s = at(c, t);
            if (s == 0)
                continue;
            const QString& teacher = pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)];
            if (teacher == QLatin1String("H"))
                continue;
            int key = c;
            for (size_t g = 0; g < pb.combined.size(); ++g)
                if (pb.combined[g].subject == s
                    && std::count(pb.combined[g].members.begin(), pb.combined[g].members.end(), c))
                    key = -1 - static_cast<int>(g);
            bookings[teacher].insert(key);
        }
        for (const auto& [teacher, keys] : bookings)
            if (keys.size() > 1)
                found << QStringLiteral("%1 twice at %2").arg(teacher).arg(t);
    }
    for (const auto& group : pb.combined)
        for (int t = 0; t < S; ++t) {
            std::set<bool> present;
            for (const int c : group.members)
                present.insert(at(c, t) == group.subject);
            if (present.size() > 1)
                found << QStringLiteral("combined group split at %1").arg(t);
        }
    for (const auto& f : pb.fixedLessons)
        if (at(f.classIndex, f.day * P + f.period) != f.subject)
            found << QStringLiteral("fixed lesson of class %1 moved").arg(f.classIndex);
    return found;
}

} // namespace

class TimetableSolverTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void schools_data()
    {
        QTest::addColumn<QString>("school");
        QTest::addColumn<SolverOutcome::Status>("status");
        QTest::addColumn<bool>("spreadRelaxed");
        QTest::addColumn<bool>("zoneFallback");
        QTest::addColumn<QStringList>("words"); // in the explanation or the notes

        using St = SolverOutcome::Status;
        QTest::newRow("feasible") << "feasible" << St::Solved << false << false << QStringList();
        QTest::newRow("only spread fails") << "spread only" << St::Solved << true << false
                                           << QStringList{"高一1班 数学"};
        QTest::newRow("two fixed lessons of one teacher in one slot")
            << "fixed clash" << St::Impossible << false << false
            << QStringList{"高一1班 英语固定在星期三第4节", "高一2班 英语固定在星期三第4节", "宋雪兰老师每节只能上一节课",
                           "这3条不能同时满足"};
        QTest::newRow("teacher zone narrower than the load")
            << "narrow zone" << St::Impossible << false << false
            << QStringList{"宋雪兰老师的高一1班 数学、高一2班 数学共 10 节课，只能排在 5 个时段"};
        QTest::newRow("combined groups and fixed lessons")
            << "combined and fixed" << St::Solved << false << false << QStringList();
        // The union of the zones gives a timetable, but one that breaks a zone: no solution.
        QTest::newRow("zones sharing no period use their union")
            << "fallback" << St::Impossible << false << true
            << QStringList{"高一1班 数学：星期一的科目时段与教师时段没有共同节次"};
        QTest::newRow("nearly every teacher needed in every slot")
            << "full teachers" << St::Solved << false << false << QStringList();
        QTest::newRow("more lessons than days")
            << "more lessons than days" << St::Solved << false << false << QStringList();
        QTest::newRow("a day beyond its share") << "beyond share" << St::Solved << true << false
                                                << QStringList{"高一1班 数学"};
        // Found before any model is built, however large the school.
        QTest::newRow("a teacher with more lessons than the week's slots")
            << "overloaded teacher" << St::Impossible << false << false
            << QStringList{"宋雪兰老师每周共24节课，多于每周的20个时段"};
    }
    void schools()
    {
        QFETCH(QString, school);
        QFETCH(SolverOutcome::Status, status);
        QFETCH(bool, spreadRelaxed);
        QFETCH(bool, zoneFallback);
        QFETCH(QStringList, words);

        const SolverProblem pb = schoolNamed(school);
        // The exact search alone as well: the quick one answers most small schools.
        for (const bool localSearch : {true, false}) {
            SolverRequest request;
            request.seed = 7;
            request.localSearch = localSearch;
            const SolverOutcome outcome = solveTimetable(pb, request);
            QCOMPARE(outcome.status, status);
            QCOMPARE(outcome.spreadRelaxed, spreadRelaxed);
            QCOMPARE(outcome.zoneFallback, zoneFallback);
            const QString said = (outcome.explanation + outcome.notes).join(QLatin1Char('\n'));
            for (const QString& word : words)
                QVERIFY2(said.contains(word), qPrintable(said));
            if (status == SolverOutcome::Status::Solved || zoneFallback) {
                const QStringList found = faults(pb, outcome.grid, !spreadRelaxed, zoneFallback);
                QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
                QCOMPARE(outcome.unplacedLessons, 0);
                QCOMPARE(outcome.zoneViolations > 0, zoneFallback);
            } else {
                QVERIFY(outcome.grid.empty());
            }
        }
    }

    // Without spread, the school whose spread fails is simply solved.
    void spreadSwitchedOff()
    {
        SolverRequest request;
        request.spread = false;
        const SolverOutcome outcome = solveTimetable(spreadOnlySchool(), request);
        QCOMPARE(outcome.status, SolverOutcome::Status::Solved);
        QVERIFY(!outcome.spreadRelaxed);
        QVERIFY(outcome.notes.isEmpty());
    }

    // Two classes each want their two Chinese lessons on both days the
    // teacher has open, but the teacher has one period on the second day:
    // one class must take both on the first. Every other subject keeps its
    // lessons spread, and the note names only the Chinese lessons.
    void spreadGivenUpOnlyWhereItFails()
    {
        SolverProblem pb = shortOfDaysSchool();
        for (const std::uint32_t seed : {1u, 2u, 3u}) {
            SolverRequest request;
            request.seed = seed;
            const SolverOutcome outcome = solveTimetable(pb, request);
            QCOMPARE(outcome.status, SolverOutcome::Status::Solved);
            QVERIFY(outcome.spreadRelaxed);
            const QStringList found = faults(pb, outcome.grid, true, false);
            QVERIFY2(found.size() == 1 && found.first().endsWith(QLatin1String("subject 1 not spread")),
                     qPrintable(found.join(QLatin1Char('\n'))));
            QCOMPARE(outcome.spreadViolations, 1);
            const QString notes = outcome.notes.join(QLatin1Char('\n'));
            QVERIFY2(notes.contains(QStringLiteral("语文")) && !notes.contains(QStringLiteral("数学"))
                         && !notes.contains(QStringLiteral("英语")),
                     qPrintable(notes));
        }
    }

    // Counting shows the spread must fall one lesson short (the teacher has
    // one period on the second day for two classes that each need it): the
    // quick search's timetable that falls just that short is the answer, and
    // no model of the full spread is solved to prove what counting proved.
    void spreadShownImpossibleByCountingNeedsNoModel()
    {
        SolverProblem pb = shortOfDaysSchool();
        for (const std::uint32_t seed : {1u, 2u, 3u}) {
            SolverRequest request;
            request.seed = seed;
            QStringList stages;
            request.progress = [&](const SolverProgress& p) { stages << p.stage; };
            const SolverOutcome outcome = solveTimetable(pb, request);
            QCOMPARE(outcome.status, SolverOutcome::Status::Solved);
            QCOMPARE(faults(pb, outcome.grid, false, false), QStringList());
            QCOMPARE(faults(pb, outcome.grid, true, false).size(), 1);
            QVERIFY2(!stages.contains(QStringLiteral("求解")) && !stages.contains(QStringLiteral("建立模型")),
                     qPrintable(stages.join(QLatin1Char(' '))));
        }
    }

    // Where counting shows the spread cannot hold in full, a hand move is
    // repaired by the quick search alone: clash-free, the pins kept, no less
    // spread than the timetable handed in, and no model built.
    void repairShortOfSpreadNeedsNoModel()
    {
        SolverProblem pb = shortOfDaysSchool();
        const SolverOutcome first = solveTimetable(pb, SolverRequest());
        QCOMPARE(first.status, SolverOutcome::Status::Solved);
        const int S = pb.slotCount();
        for (int t1 = 0; t1 < S; ++t1)
            for (int t2 = t1 + 1; t2 < S; ++t2) {
                SolverRequest request;
                request.start = first.grid;
                std::swap(request.start[static_cast<size_t>(t1)], request.start[static_cast<size_t>(t2)]);
                const auto inZones = [&](int t) {
                    const int s = request.start[static_cast<size_t>(t)];
                    const int d = t / pb.periodCount;
                    return s == 0 || (pb.subjectZone(0, s, d) & pb.teacherZone(0, s, d) & (1u << (t % pb.periodCount)));
                };
                if (request.start == first.grid || !inZones(t1) || !inZones(t2))
                    continue; // no move, or a pin out of its zones
                request.pins = {{0, t1 / pb.periodCount, t1 % pb.periodCount}, {0, t2 / pb.periodCount, t2 % pb.periodCount}};
                QStringList stages;
                request.progress = [&](const SolverProgress& p) { stages << p.stage; };
                const SolverOutcome repaired = solveTimetable(pb, request);
                if (repaired.status != SolverOutcome::Status::Solved)
                    continue; // a move the week cannot hold (explained, not repaired)
                QCOMPARE(faults(pb, repaired.grid, false, false), QStringList());
                QCOMPARE(repaired.grid[static_cast<size_t>(t1)], request.start[static_cast<size_t>(t1)]);
                QCOMPARE(repaired.grid[static_cast<size_t>(t2)], request.start[static_cast<size_t>(t2)]);
                const auto unspread = [&](const std::vector<int>& grid) {
                    return faults(pb, grid, true, false).filter(QStringLiteral("not spread")).size();
                };
                QVERIFY(unspread(repaired.grid) <= std::max<qsizetype>(1, unspread(request.start)));
                QVERIFY2(!stages.contains(QStringLiteral("建立模型")), qPrintable(stages.join(QLatin1Char(' '))));
            }
    }

    // The quick search's start lacks a combined lesson, and no slot of its
    // zone is free in both classes: a lesson of one class moves aside, so the
    // search starts (and mends the week) instead of leaving it to the model.
    void localSearchMakesRoomForCombinedLesson()
    {
        SolverProblem pb = school(1, 4, 2);
        lesson(pb, 0, 1, 1, QStringLiteral("合"));
        lesson(pb, 1, 1, 1, QStringLiteral("合"));
        pb.combined.push_back({1, {0, 1}});
        lesson(pb, 0, 2, 3, QStringLiteral("甲"));
        lesson(pb, 1, 2, 3, QStringLiteral("乙"));
        const SolverUnits::Units units = SolverUnits::buildUnits(pb);
        std::vector<int> grid{2, 2, 2, 0, 0, 2, 2, 2};
        SolverDetail::LocalSearch search(pb, units, 1, false);
        QVERIFY(search.run(grid, 1000, [] { return false; }));
        QCOMPARE(faults(pb, grid, false, false), QStringList());
    }

    void sameSeedSameTimetable()
    {
        const SolverProblem pb = combinedFixedSchool();
        SolverRequest request;
        request.seed = 42;
        const SolverOutcome first = solveTimetable(pb, request);
        const SolverOutcome second = solveTimetable(pb, request);
        QCOMPARE(first.status, SolverOutcome::Status::Solved);
        QCOMPARE(first.grid, second.grid);
    }

    // Hand moves that clash are pinned; the repair keeps them and changes
    // little else.
    void repairKeepsPins_data()
    {
        QTest::addColumn<bool>("localSearch");
        QTest::newRow("quick search first") << true;
        QTest::newRow("exact search alone") << false;
    }
    void repairKeepsPins()
    {
        QFETCH(bool, localSearch);
        const SolverProblem pb = feasibleSchool();
        SolverRequest request;
        const SolverOutcome first = solveTimetable(pb, request);
        QCOMPARE(first.status, SolverOutcome::Status::Solved);

        // Swap the first two periods of the first day in class 1 and pin them.
        std::vector<int> moved = first.grid;
        std::swap(moved[0], moved[1]);
        request.start = moved;
        request.pins = {{0, 0, 0}, {0, 0, 1}};
        request.localSearch = localSearch;
        const std::vector<int> startCopy = request.start;
        const SolverOutcome repaired = solveTimetable(pb, request);
        QCOMPARE(repaired.status, SolverOutcome::Status::Solved);
        QCOMPARE(repaired.grid[0], moved[0]);
        QCOMPARE(repaired.grid[1], moved[1]);
        const QStringList found = faults(pb, repaired.grid, true, false);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        int changed = 0;
        for (size_t i = 0; i < moved.size(); ++i)
            changed += repaired.grid[i] != moved[i];
        QCOMPARE(repaired.changedCells, changed);
        QVERIFY2(changed <= 12, qPrintable(QString::number(changed)));
        QCOMPARE(request.start, startCopy);
    }

    // A hand move that puts mathematics onto the other class's mathematics
    // lesson (one teacher): when swapping two cells of one class mends it, the
    // repair changes no more than those two.
    void repairChangesFewCells_data() { repairKeepsPins_data(); }
    void repairChangesFewCells()
    {
        QFETCH(bool, localSearch);
        const SolverProblem pb = feasibleSchool();
        const int S = pb.slotCount();
        int tried = 0;
        for (std::uint32_t seed = 1; seed <= 20 && tried < 3; ++seed) {
            SolverRequest request;
            request.seed = seed;
            const SolverOutcome first = solveTimetable(pb, request);
            QCOMPARE(first.status, SolverOutcome::Status::Solved);
            int from = -1, to = -1;
            const std::vector<int> moved = mathOntoOtherClass(pb, first.grid, from, to);
            QVERIFY(from != -1 && to != -1 && from != to);
            // Is one swap of two other cells enough?
            bool oneSwap = false;
            for (int c = 0; c < pb.classCount() && !oneSwap; ++c)
                for (int a = 0; a < S && !oneSwap; ++a)
                    for (int b = a + 1; b < S && !oneSwap; ++b) {
                        if (c == 0 && (a == from || a == to || b == from || b == to))
                            continue;
                        std::vector<int> mended = moved;
                        std::swap(mended[static_cast<size_t>(c * S + a)], mended[static_cast<size_t>(c * S + b)]);
                        oneSwap = faults(pb, mended, true, false).isEmpty();
                    }
            if (!oneSwap)
                continue;
            ++tried;
            request.start = moved;
            request.pins = {{0, 0, from}, {0, 0, to}};
            request.localSearch = localSearch;
            // Until a timetable without clashes is found, a repair knows no count to report.
            int counted = -1;
            request.progress = [&counted](const SolverProgress& progress) {
                if (!progress.restoring)
                    counted = std::max(counted, progress.bestViolations);
            };
            const SolverOutcome repaired = solveTimetable(pb, request);
            QCOMPARE(counted, -1);
            QCOMPARE(repaired.status, SolverOutcome::Status::Solved);
            const QStringList found = faults(pb, repaired.grid, true, false);
            QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
            QCOMPARE(repaired.grid[static_cast<size_t>(from)], moved[static_cast<size_t>(from)]);
            QCOMPARE(repaired.changedCells, 2);
        }
        QVERIFY(tried > 0);
    }

    // A start timetable with a lesson outside its zone or a fixed lesson out
    // of its cell: the repair puts them right, and says solved only when no
    // rule is broken.
    void repairMendsZonesAndFixedLessons_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<bool>("localSearch");
        for (const bool localSearch : {true, false}) {
            const char* how = localSearch ? "quick search first" : "exact search alone";
            QTest::addRow("lesson outside its zone, %s", how) << "zone" << localSearch;
            QTest::addRow("fixed lesson out of place, %s", how) << "fixed" << localSearch;
        }
    }
    void repairMendsZonesAndFixedLessons()
    {
        QFETCH(QString, broken);
        QFETCH(bool, localSearch);
        SolverProblem pb = feasibleSchool();
        const int S = pb.slotCount();
        const int P = pb.periodCount;
        // 语文 of class 1 only in the first two periods of the first day; 英语 fixed on day 2, period 3.
        pb.setZone(pb.subjectZones, 0, 1, 0, periods({0, 1}));
        pb.fixedLessons.push_back({0, 1, 2, 3});
        const SolverOutcome first = solveTimetable(pb, SolverRequest());
        QCOMPARE(first.status, SolverOutcome::Status::Solved);

        // Exchange the broken lesson with the class's last lesson of that day, no pin.
        std::vector<int> start = first.grid;
        int from = -1;
        if (broken == QLatin1String("zone")) {
            for (int t = 0; t < 2; ++t)
                if (start[static_cast<size_t>(t)] == 1)
                    from = t;
        } else {
            from = 1 * P + 2;
        }
        QVERIFY(from != -1);
        const int to = (from / P) * P + P - 1;
        std::swap(start[static_cast<size_t>(from)], start[static_cast<size_t>(to)]);
        const TimetableFaults before = TimetableAudit::count(pb, start);
        QCOMPARE(before.outsideZones + before.fixedOutOfPlace > 0, true);

        SolverRequest request;
        request.start = start;
        request.localSearch = localSearch;
        const SolverOutcome repaired = solveTimetable(pb, request);
        QCOMPARE(repaired.status, SolverOutcome::Status::Solved);
        const TimetableFaults after = TimetableAudit::count(pb, repaired.grid);
        QCOMPARE(after.outsideZones, 0);
        QCOMPARE(after.fixedOutOfPlace, 0);
        QCOMPARE(after.clashes, 0);
        QCOMPARE(after.unplaced, 0);
        QCOMPARE(repaired.zoneViolations, 0);
        const QStringList found = faults(pb, repaired.grid, false, false);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        Q_UNUSED(S);
    }

    // Two pins that cannot both hold are named in the explanation.
    void conflictingPinsAreExplained()
    {
        SolverProblem pb = feasibleSchool();
        const SolverOutcome first = solveTimetable(pb, SolverRequest());
        QCOMPARE(first.status, SolverOutcome::Status::Solved);
        // Put mathematics (宋雪兰) in the first slot of classes 1 and 2 and pin both.
        SolverRequest request;
        request.start = first.grid;
        const int S = pb.slotCount();
        request.start[0] = 2;
        request.start[static_cast<size_t>(S)] = 2;
        request.pins = {{0, 0, 0}, {1, 0, 0}};
        const SolverOutcome outcome = solveTimetable(pb, request);
        QCOMPARE(outcome.status, SolverOutcome::Status::Impossible);
        const QString said = outcome.explanation.join(QLatin1Char('\n'));
        QVERIFY2(said.contains(QStringLiteral("宋雪兰老师星期一第1节已有高一1班 数学（手工调整）")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("宋雪兰老师星期一第1节已有高一2班 数学（手工调整）")), qPrintable(said));
    }

    void cancelLeavesInputUntouched()
    {
        const SolverProblem pb = feasibleSchool();
        const SolverOutcome first = solveTimetable(pb, SolverRequest());
        std::atomic<bool> cancel{true};
        SolverRequest request;
        request.start = first.grid;
        request.cancel = &cancel;
        int reports = 0;
        request.progress = [&reports](const SolverProgress&) { ++reports; };
        const std::vector<int> startCopy = request.start;
        const SolverOutcome outcome = solveTimetable(pb, request);
        QCOMPARE(outcome.status, SolverOutcome::Status::Cancelled);
        QVERIFY(outcome.grid.empty());
        QCOMPARE(request.start, startCopy);
        QVERIFY(reports > 0);
    }

    // Stopped once a repair is found and only cells are being put back, the
    // repair found stands.
    void stopWhileRestoringKeepsRepair()
    {
        const SolverProblem pb = feasibleSchool();
        const SolverOutcome first = solveTimetable(pb, SolverRequest());
        int from = -1, to = -1;
        const std::vector<int> moved = mathOntoOtherClass(pb, first.grid, from, to);
        QVERIFY(from != -1 && to != -1 && from != to);

        std::atomic<bool> cancel{false};
        bool restoring = false;
        SolverRequest request;
        request.start = moved;
        request.pins = {{0, 0, from}, {0, 0, to}};
        request.localSearch = false;
        request.cancel = &cancel;
        request.progress = [&](const SolverProgress& progress) {
            if (progress.restoring) {
                restoring = true;
                cancel = true;
            }
        };
        const SolverOutcome outcome = solveTimetable(pb, request);
        QVERIFY(restoring);
        QCOMPARE(outcome.status, SolverOutcome::Status::Solved);
        const QStringList found = faults(pb, outcome.grid, true, false);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        QCOMPARE(outcome.grid[static_cast<size_t>(from)], moved[static_cast<size_t>(from)]);
        QCOMPARE(outcome.grid[static_cast<size_t>(to)], moved[static_cast<size_t>(to)]);
    }

    // A start saved after a time-out: every class's week shuffled, so that
    // teachers clash all week and lessons bunch on days; three hand moves
    // are pinned on top. The repair is clash-free, keeps the pins and changes
    // no more cells than a search from scratch keeping the same pins, given
    // the same conflicts (the repair alone gave up on the exact search's
    // budget where the search from scratch needs far fewer).
    void repairFromClashingStartNoWorseThanAfresh_data()
    {
        QTest::addColumn<int>("classes");
        QTest::addColumn<int>("threads");
        QTest::addColumn<bool>("localSearch");
        QTest::addColumn<int>("budget"); // conflicts
        QTest::newRow("exact search, 2000 conflicts") << 24 << 1 << false << 2000;
        QTest::newRow("two threads") << 12 << 2 << true << 4'000'000;
    }
    void repairFromClashingStartNoWorseThanAfresh()
    {
        QFETCH(int, classes);
        QFETCH(int, threads);
        QFETCH(bool, localSearch);
        QFETCH(int, budget);
        const SolverProblem pb = generatedSchool(classes);
        const SolverOutcome first = solveTimetable(pb, SolverRequest());
        QCOMPARE(first.status, SolverOutcome::Status::Solved);
        const int S = pb.slotCount();
        const int P = pb.periodCount;
        std::vector<int> start = first.grid;
        std::mt19937 random(7);
        for (int c = 0; c < classes; ++c)
            std::shuffle(start.begin() + c * S, start.begin() + (c + 1) * S, random);
        SolverRequest request;
        request.start = start;
        request.threads = threads;
        request.localSearch = localSearch;
        request.conflictBudget = budget;
        for (const int c : {0, classes / 2, classes - 1}) {
            std::swap(request.start[static_cast<size_t>(c * S + 1)], request.start[static_cast<size_t>(c * S + 2)]);
            request.pins.push_back({c, 0, 1});
            request.pins.push_back({c, 0, 2});
        }
        QVERIFY(TimetableAudit::count(pb, request.start).clashes > 20);

        SolverRequest afresh;
        afresh.localSearch = localSearch;
        afresh.conflictBudget = budget;
        const SolverOutcome scratch = solveTimetable(SolverDetail::pinnedProblem(pb, request), afresh);
        QCOMPARE(scratch.status, SolverOutcome::Status::Solved);
        int scratchChanged = 0;
        for (size_t i = 0; i < scratch.grid.size(); ++i)
            scratchChanged += scratch.grid[i] != request.start[i] ? 1 : 0;

        const SolverOutcome repaired = solveTimetable(pb, request);
        QCOMPARE(repaired.status, SolverOutcome::Status::Solved);
        const QStringList found = faults(pb, repaired.grid, true, false);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        int changed = 0;
        for (size_t i = 0; i < repaired.grid.size(); ++i)
            changed += repaired.grid[i] != request.start[i] ? 1 : 0;
        for (const SolverPin& pin : request.pins) {
            const size_t i = static_cast<size_t>(pin.classIndex * S + pin.day * P + pin.period);
            QCOMPARE(repaired.grid[i], request.start[i]);
        }
        QCOMPARE(repaired.changedCells, changed);
        QVERIFY2(changed <= scratchChanged, qPrintable(QStringLiteral("%1 > %2").arg(changed).arg(scratchChanged)));
    }

    // A school whose model would not fit the memory bound is refused before
    // anything starts (no stage is reported); ordinary schools are not. The
    // bound counts a model per thread.
    void oversizeSchoolIsRefusedUnbuilt_data()
    {
        QTest::addColumn<int>("classes");
        QTest::addColumn<int>("threads");
        QTest::addColumn<QString>("refusal"); // empty: not refused
        QTest::newRow("5,000 classes") << 5000 << 1 << QStringLiteral("5000 个班级");
        QTest::newRow("5,000 classes, two threads") << 5000 << 2 << QStringLiteral("请减少班级");
        QTest::newRow("1,200 classes, eight threads") << 1200 << 8 << QStringLiteral("请减少线程数");
        QTest::newRow("144 classes") << 144 << 1 << QString();
        QTest::newRow("144 classes, four threads") << 144 << 4 << QString();
    }
    void oversizeSchoolIsRefusedUnbuilt()
    {
        QFETCH(int, classes);
        QFETCH(int, threads);
        QFETCH(QString, refusal);
        const SolverProblem pb = generatedSchool(classes);
        std::atomic<bool> cancel{false};
        SolverRequest request;
        request.threads = threads;
        request.timeLimitSeconds = 20;
        request.cancel = &cancel;
        QStringList stages;
        // Should the solve start after all, it stops at its first report.
        request.progress = [&](const SolverProgress& progress) {
            stages << progress.stage;
            cancel = true;
        };
        const QString said = modelSizeRefusal(pb, request);
        if (refusal.isEmpty()) {
            QVERIFY2(said.isEmpty(), qPrintable(said));
            return;
        }
        QVERIFY2(said.contains(refusal) && said.contains(QStringLiteral("GB 内存")), qPrintable(said));
        const SolverOutcome outcome = solveTimetable(pb, request);
        QCOMPARE(outcome.status, SolverOutcome::Status::TooLarge);
        QCOMPARE(outcome.explanation, QStringList{said});
        QVERIFY(outcome.grid.empty());
        QVERIFY2(stages.isEmpty(), qPrintable(stages.join(QLatin1Char(','))));
    }

    // The cancel flag and the time limit are checked while the model is
    // built: the building reports now and then, and the check after a report
    // that comes once the flag is set or the time is up ends it.
    void buildingStopsWhenAsked_data()
    {
        QTest::addColumn<bool>("byCancel");
        QTest::addColumn<SolverOutcome::Status>("status");
        QTest::newRow("cancel") << true << SolverOutcome::Status::Cancelled;
        QTest::newRow("time limit") << false << SolverOutcome::Status::OutOfBudget;
    }
    void buildingStopsWhenAsked()
    {
        QFETCH(bool, byCancel);
        QFETCH(SolverOutcome::Status, status);
        const SolverProblem pb = generatedSchool(36);
        std::atomic<bool> cancel{false};
        SolverRequest request;
        request.localSearch = false; // straight to the model
        request.cancel = &cancel;
        constexpr double kLimit = 2;
        if (!byCancel)
            request.timeLimitSeconds = kLimit;
        int building = 0;
        request.progress = [&](const SolverProgress& progress) {
            if (progress.stage != QStringLiteral("建立模型"))
                return;
            if (++building > 1)
                return;
            if (byCancel)
                cancel = true;
            else // the time runs out while the model is built
                std::this_thread::sleep_for(std::chrono::duration<double>(kLimit + 0.2));
        };
        const SolverOutcome outcome = solveTimetable(pb, request);
        QCOMPARE(outcome.status, status);
        QCOMPARE(building, 1);
        if (!byCancel) // the best timetable so far, lessons left out
            QCOMPARE(outcome.grid.size(), static_cast<size_t>(pb.classCount() * pb.slotCount()));
    }

    void malformedRequestIsRefused()
    {
        SolverRequest request;
        request.start = {1, 2, 3};
        const SolverOutcome outcome = solveTimetable(feasibleSchool(), request);
        QCOMPARE(outcome.status, SolverOutcome::Status::Impossible);
        QVERIFY(!outcome.explanation.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TimetableSolverTest)
#include "TimetableSolverTest.moc"
