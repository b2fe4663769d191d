#include "engine/solver/ModelSize.h"
#include "engine/solver/SatModel.h"
#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableSolver.h"

#include <QtTest>

#include <functional>
#include <map>

Q_DECLARE_METATYPE(SolverOutcome::Status)

namespace {

using Rules = SchoolRules;

// Three classes (two of 高一, one of 高二), 5 days × 6 periods, the 午休
// after the fourth. 张三 teaches 数学 in the two 高一 classes.
SolverProblem baseSchool()
{
    SolverProblem pb;
    pb.reset(5, 6, {QStringLiteral("高一1班"), QStringLiteral("高一2班"), QStringLiteral("高二1班")});
    const QStringList subjects{"语文", "数学", "英语", "体育", "科学"};
    for (int s = 0; s < SolverProblem::kSubjects; ++s)
        pb.subjectNames[s] = s < subjects.size() ? subjects[s] : QStringLiteral("科%1").arg(s + 1);
    pb.classGrades = QStringList{"高一", "高一", "高二"};
    for (int c = 0; c < 3; ++c) {
        auto lesson = [&](int s, int count, const QString& teacher) {
            pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)] = count;
            pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)] = teacher;
        };
        lesson(1, 6, QStringLiteral("语文%1").arg(c));
        lesson(2, 5, c < 2 ? QStringLiteral("张三") : QStringLiteral("数学%1").arg(c));
        lesson(3, 5, QStringLiteral("英语%1").arg(c));
        lesson(4, 3, QStringLiteral("体育%1").arg(c));
        if (c < 2)
            lesson(5, 1, QStringLiteral("王五"));
    }
    pb.rules.morningPeriods = 4;
    return pb;
}

void fix(SolverProblem& pb, int c, int day, int period, int subject)
{
    pb.fixedLessons.push_back({c, day, period, subject});
}

void offDay(SolverProblem& pb, const QString& teacher, int day, int first = 0, int last = 5)
{
    pb.rules.teacherOff.push_back({teacher, day, first, last});
}

void confine(SolverProblem& pb, int c, int s, std::uint16_t mask, int days = 5)
{
    for (int d = 0; d < 5; ++d) {
        pb.setZone(pb.subjectZones, c, s, d, d < days ? mask : 0);
        pb.setZone(pb.teacherZones, c, s, d, d < days ? mask : 0);
    }
}

// The school of each row.
SolverProblem schoolNamed(const QString& name)
{
    SolverProblem pb = baseSchool();
    Rules& r = pb.rules;
    static const std::map<QString, std::function<void(SolverProblem&, Rules&)>> schools{
        // Feasible.
        {"off", [](SolverProblem& p, Rules&) { offDay(p, "张三", 2); offDay(p, "张三", 4, 0, 3); }},
        {"limits", [](SolverProblem&, Rules& r) { r.teacherLimits.push_back({"张三", 2, 5, 1}); }},
        {"few days", [](SolverProblem&, Rules& r) { r.teacherLimits.push_back({"张三", 0, 3, 0}); }},
        {"venue", [](SolverProblem&, Rules& r) { r.venueCaps.push_back({"操场", {"体育"}, QString(), 1}); }},
        {"venue of a grade", [](SolverProblem&, Rules& r) { r.venueCaps.push_back({"操场", {"体育", "科学"}, "高一", 1}); }},
        {"doubles",
         [](SolverProblem& p, Rules& r) {
             r.doubleLessons.push_back({"高一", QString(), "语文", 2});
             r.doubleLessons.push_back({"高一", "高一2班", "语文", 1}); // the class's own row wins
             p.counts[0][3] = 7;
             r.doubleLessons.push_back({"高一", QString(), "英语", 0});
         }},
        // Impossible.
        {"off against a fixed lesson", [](SolverProblem& p, Rules&) { offDay(p, "张三", 2); fix(p, 0, 2, 0, 2); }},
        {"off leaves too few periods",
         [](SolverProblem& p, Rules&) {
             for (int d = 0; d < 4; ++d)
                 offDay(p, "张三", d);
         }},
        {"daily limit too low", [](SolverProblem&, Rules& r) { r.teacherLimits.push_back({"张三", 1, 0, 0}); }},
        {"daily limit against fixed lessons",
         [](SolverProblem& p, Rules& r) {
             r.teacherLimits.push_back({"王五", 1, 0, 0});
             fix(p, 0, 0, 0, 5);
             fix(p, 1, 0, 2, 5);
         }},
        {"one day a week", [](SolverProblem&, Rules& r) { r.teacherLimits.push_back({"张三", 0, 1, 0}); }},
        {"not two in a row",
         [](SolverProblem& p, Rules& r) {
             offDay(p, "张三", 0);
             offDay(p, "张三", 1);
             r.teacherLimits.push_back({"张三", 0, 0, 1});
         }},
        {"venue too small",
         [](SolverProblem& p, Rules& r) {
             for (int c = 0; c < 3; ++c)
                 p.counts[static_cast<size_t>(c)][4] = 11;
             r.venueCaps.push_back({"操场", {"体育"}, QString(), 1});
         }},
        {"venue against fixed lessons",
         [](SolverProblem& p, Rules& r) {
             r.venueCaps.push_back({"操场", {"体育"}, QString(), 1});
             fix(p, 0, 1, 4, 4);
             fix(p, 2, 1, 4, 4);
         }},
        {"doubles beyond the count", [](SolverProblem&, Rules& r) { r.doubleLessons.push_back({"高一", "高一1班", "语文", 4}); }},
        // 科学 only in the fourth and fifth periods: adjacent across the 午休 only.
        {"double across the lunch break",
         [](SolverProblem& p, Rules& r) {
             p.counts[0][5] = 2;
             confine(p, 0, 5, 0b011000);
             r.doubleLessons.push_back({"高一", "高一1班", "科学", 1});
         }},
        // 英语 in three adjacent periods of one morning.
        {"never doubled",
         [](SolverProblem& p, Rules& r) {
             p.counts[0][3] = 3;
             confine(p, 0, 3, 0b000111, 1);
             r.doubleLessons.push_back({"高一", "高一1班", "英语", 0});
         }},
    };
    schools.at(name)(pb, r);
    return pb;
}

// What breaks a rule in the timetable, read straight from the rules as
// stored, independent of the solver's own counting.
QStringList broken(const SolverProblem& pb, const std::vector<int>& grid)
{
    QStringList found;
    const int D = pb.dayCount, P = pb.periodCount, S = pb.slotCount();
    const int morning = pb.rules.morningPeriods;
    auto at = [&](int c, int d, int p) { return grid[static_cast<size_t>(c * S + d * P + p)]; };
    auto teacherAt = [&](int c, int d, int p) {
        const int s = at(c, d, p);
        return s > 0 ? pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)] : QString();
    };
    auto busy = [&](const QString& t, int d, int p) {
        for (int c = 0; c < pb.classCount(); ++c)
            if (teacherAt(c, d, p) == t)
                return true;
        return false;
    };
    for (int c = 0; c < pb.classCount(); ++c)
        for (int s = 1; s <= SolverProblem::kSubjects; ++s) {
            int n = 0;
            for (int t = 0; t < S; ++t)
                n += grid[static_cast<size_t>(c * S + t)] == s ? 1 : 0;
            if (n != pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)])
                found << QStringLiteral("class %1 has %2 lessons of %3").arg(c).arg(n).arg(s);
        }
    for (int d = 0; d < D; ++d)
        for (int p = 0; p < P; ++p)
            for (int a = 0; a < pb.classCount(); ++a)
                for (int b = a + 1; b < pb.classCount(); ++b)
                    if (!teacherAt(a, d, p).isEmpty() && teacherAt(a, d, p) == teacherAt(b, d, p))
                        found << QStringLiteral("%1 twice on day %2 period %3").arg(teacherAt(a, d, p)).arg(d).arg(p);
    for (const auto& off : pb.rules.teacherOff)
        for (int p = off.firstPeriod; p <= off.lastPeriod; ++p)
            if (busy(off.teacher, off.day, p))
                found << QStringLiteral("%1 teaches on day %2 period %3, off").arg(off.teacher).arg(off.day).arg(p);
    for (const auto& limit : pb.rules.teacherLimits) {
        int days = 0;
        for (int d = 0; d < D; ++d) {
            int lessons = 0, run = 0;
            for (int p = 0; p < P; ++p) {
                if (p == morning)
                    run = 0;
                run = busy(limit.teacher, d, p) ? run + 1 : 0;
                lessons += run > 0 ? 1 : 0;
                if (limit.inARow > 0 && run > limit.inARow)
                    found << QStringLiteral("%1: %2 in a row on day %3").arg(limit.teacher).arg(run).arg(d);
            }
            days += lessons > 0 ? 1 : 0;
            if (limit.perDay > 0 && lessons > limit.perDay)
                found << QStringLiteral("%1: %2 lessons on day %3").arg(limit.teacher).arg(lessons).arg(d);
        }
        if (limit.daysPerWeek > 0 && days > limit.daysPerWeek)
            found << QStringLiteral("%1: %2 working days").arg(limit.teacher).arg(days);
    }
    for (const auto& cap : pb.rules.venueCaps)
        for (int t = 0; t < S; ++t) {
            int n = 0;
            for (int c = 0; c < pb.classCount(); ++c) {
                const int s = grid[static_cast<size_t>(c * S + t)];
                n += (cap.grade.isEmpty() || pb.classGrades[c] == cap.grade) && s > 0
                        && cap.subjects.contains(pb.subjectNames[s - 1])
                    ? 1
                    : 0;
            }
            if (n > cap.cap)
                found << QStringLiteral("%1 classes in %2 at slot %3").arg(n).arg(cap.venue).arg(t);
        }
    for (int c = 0; c < pb.classCount(); ++c)
        for (int s = 1; s <= SolverProblem::kSubjects; ++s) {
            const SchoolRules::DoubleLesson* rule = nullptr;
            for (const auto& row : pb.rules.doubleLessons)
                if (row.grade == pb.classGrades[c] && row.subject == pb.subjectNames[s - 1]
                    && (row.className == pb.classNames[c] || (row.className.isEmpty() && rule == nullptr)))
                    rule = &row;
            if (rule == nullptr || pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)] == 0)
                continue;
            int pairs = 0, adjacent = 0;
            for (int d = 0; d < D; ++d)
                for (int p = 0; p + 1 < P; ++p)
                    if (p + 1 != morning && at(c, d, p) == s && at(c, d, p + 1) == s) {
                        ++adjacent;
                        ++pairs;
                        ++p; // a pair's periods are not shared with the next
                    }
            if (rule->perWeek == 0 ? adjacent > 0 : pairs < rule->perWeek)
                found << QStringLiteral("class %1 subject %2: %3 double periods").arg(c).arg(s).arg(pairs);
        }
    return found;
}

// The spread shortfall as an outside checker counts it: a class's lessons of
// a subject (two or more) fall short by min(n, days) minus the days they
// use, where a double period the rules ask for stands as one lesson.
int spreadShort(const SolverProblem& pb, const std::vector<int>& grid)
{
    const int S = pb.slotCount();
    int shortfall = 0;
    for (int c = 0; c < pb.classCount(); ++c)
        for (int s = 1; s <= SolverProblem::kSubjects; ++s) {
            const int n = pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)];
            if (n < 2)
                continue;
            int asked = 0;
            for (const auto& row : pb.rules.doubleLessons)
                if (row.grade == pb.classGrades[c] && row.subject == pb.subjectNames[s - 1]
                    && (row.className == pb.classNames[c] || (row.className.isEmpty() && asked == 0)))
                    asked = row.perWeek;
            QSet<int> days;
            for (int t = 0; t < S; ++t)
                if (grid[static_cast<size_t>(c * S + t)] == s)
                    days.insert(t / pb.periodCount);
            shortfall += std::max(0, std::min(n - asked, pb.dayCount) - static_cast<int>(days.size()));
        }
    return shortfall;
}

} // namespace

class SolverRulesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rules_data()
    {
        QTest::addColumn<QString>("school");
        QTest::addColumn<SolverOutcome::Status>("status");
        QTest::addColumn<QStringList>("words"); // in the explanation
        QTest::addColumn<bool>("quick");        // answered by the quick search, no model built

        using St = SolverOutcome::Status;
        QTest::newRow("teacher off") << "off" << St::Solved << QStringList() << true;
        QTest::newRow("teacher limits") << "limits" << St::Solved << QStringList() << true;
        QTest::newRow("days a week") << "few days" << St::Solved << QStringList() << false;
        QTest::newRow("venue cap") << "venue" << St::Solved << QStringList() << true;
        QTest::newRow("venue cap of a grade") << "venue of a grade" << St::Solved << QStringList() << true;
        QTest::newRow("double lessons") << "doubles" << St::Solved << QStringList() << true;

        QTest::newRow("off against a fixed lesson")
            << "off against a fixed lesson" << St::Impossible
            << QStringList{"张三 周三全天不排课，但高一1班 数学固定在星期三第1节"} << false;
        QTest::newRow("off leaves too few periods")
            << "off leaves too few periods" << St::Impossible
            << QStringList{"张三 周一全天、周二全天、周三全天、周四全天不排课，但每周共10节课，最多只能排6节"} << false;
        QTest::newRow("daily limit too low") << "daily limit too low" << St::Impossible
                                             << QStringList{"张三 每天最多1节，但每周共10节课，最多只能排5节"} << false;
        QTest::newRow("daily limit against fixed lessons")
            << "daily limit against fixed lessons" << St::Impossible
            << QStringList{"王五老师每天最多1节（每周2节），但", "高一1班 科学固定在星期一第1节",
                           "高一2班 科学固定在星期一第3节"} << false;
        QTest::newRow("one day a week") << "one day a week" << St::Impossible
                                        << QStringList{"张三 每周最多上1天，但每周共10节课，最多只能排6节"} << false;
        QTest::newRow("lessons in a row")
            << "not two in a row" << St::Impossible
            << QStringList{"张三 周一全天、周二全天不排课、最多连上1节，但每周共10节课，最多只能排9节"} << false;
        QTest::newRow("venue too small")
            << "venue too small" << St::Impossible
            << QStringList{"操场同一节最多1个全校的班上体育，但这些班每周共33节课，只有30个时段可排"} << false;
        QTest::newRow("venue against fixed lessons")
            << "venue against fixed lessons" << St::Impossible
            << QStringList{"操场同一节最多1个全校的班上体育，但", "高一1班 体育固定在星期二第5节",
                           "高二1班 体育固定在星期二第5节"} << false;
        QTest::newRow("doubles beyond the count") << "doubles beyond the count" << St::Impossible
                                                  << QStringList{"高一1班 语文每周4次连堂", "但每周只有6节"} << false;
        QTest::newRow("double across the lunch break")
            << "double across the lunch break" << St::Impossible
            << QStringList{"高一1班 科学每周1次连堂", "高一1班 科学只能排在科目时段内"} << false;
        QTest::newRow("never doubled") << "never doubled" << St::Impossible
                                       << QStringList{"高一1班 英语不排连堂", "只能排在"} << false;
    }
    // Each rule kept, whether the quick search or the exact one answers; an
    // impossible school explained by the rule it breaks.
    void rules()
    {
        QFETCH(QString, school);
        QFETCH(SolverOutcome::Status, status);
        QFETCH(QStringList, words);
        QFETCH(bool, quick);

        const SolverProblem pb = schoolNamed(school);
        for (const bool localSearch : {true, false}) {
            SolverRequest request;
            request.seed = 3;
            request.localSearch = localSearch;
            QStringList stages;
            request.progress = [&](const SolverProgress& progress) { stages << progress.stage; };
            const SolverOutcome outcome = solveTimetable(pb, request);
            QCOMPARE(outcome.status, status);
            if (quick && localSearch)
                QCOMPARE(stages, QStringList{QStringLiteral("初排")});
            const QString said = outcome.explanation.join(QLatin1Char('\n'));
            for (const QString& word : words)
                QVERIFY2(said.contains(word), qPrintable(said));
            if (status == SolverOutcome::Status::Solved) {
                const QStringList found = broken(pb, outcome.grid);
                QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
                QCOMPARE(outcome.spreadViolations, spreadShort(pb, outcome.grid));
            }
        }
    }

    // 语文 eight times a week with one double period: more single lessons and
    // doubles than days, so the lessons spread by the day's share (every day,
    // two at most), the double inside it, rather than not at all.
    void doublesBeyondTheDaysStillSpread()
    {
        SolverProblem pb = baseSchool();
        pb.counts[0][1] = 8;
        pb.rules.doubleLessons.push_back({"高一", "高一1班", "语文", 1});
        const int S = pb.slotCount();
        const int P = pb.periodCount;
        for (const bool localSearch : {true, false})
            for (const std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
                SolverRequest request;
                request.seed = seed;
                request.localSearch = localSearch;
                const SolverOutcome outcome = solveTimetable(pb, request);
                QCOMPARE(outcome.status, SolverOutcome::Status::Solved);
                QCOMPARE(broken(pb, outcome.grid), QStringList());
                std::array<int, SolverProblem::kDays> perDay{};
                for (int t = 0; t < S; ++t)
                    perDay[static_cast<size_t>(t / P)] += outcome.grid[static_cast<size_t>(t)] == 1 ? 1 : 0;
                for (int d = 0; d < pb.dayCount; ++d)
                    QVERIFY2(perDay[static_cast<size_t>(d)] >= 1 && perDay[static_cast<size_t>(d)] <= 2,
                             qPrintable(QStringLiteral("seed %1: %2 lessons on day %3").arg(seed).arg(perDay[static_cast<size_t>(d)]).arg(d)));
                QCOMPARE(outcome.spreadViolations, 0);
            }
    }

    // The size worked out before a run (which refuses a school too large)
    // counts the rules' clauses: what the rules add to it is what they add to
    // the largest model built.
    void modelSizeCountsTheRules_data()
    {
        QTest::addColumn<QString>("school");
        for (const char* school : {"off", "limits", "few days", "venue", "doubles", "not two in a row"})
            QTest::newRow(school) << QString::fromUtf8(school);
    }
    void modelSizeCountsTheRules()
    {
        QFETCH(QString, school);
        const SolverRequest request;
        auto built = [&request](const SolverProblem& pb) {
            const SolverUnits::Units units = SolverUnits::buildUnits(pb);
            ModelSize largest;
            for (const SolverDetail::Level& level :
                 {SolverDetail::Level{true, false, false}, SolverDetail::Level{false, true, true}}) {
                SolverDetail::SatModel model(pb, units, level, request, 1, [] {});
                const ModelSize size{static_cast<double>(model.cnf().varCount()),
                                     static_cast<double>(model.cnf().clauseCount()),
                                     static_cast<double>(model.cnf().literalCount())};
                if (size.bytes() > largest.bytes())
                    largest = size;
            }
            return largest;
        };
        const SolverProblem plain = baseSchool();
        const SolverProblem ruled = schoolNamed(school);
        const ModelSize plainBuilt = built(plain);
        const ModelSize ruledBuilt = built(ruled);
        const ModelSize plainEstimate = estimateModelSize(plain, request);
        const ModelSize ruledEstimate = estimateModelSize(ruled, request);
        QVERIFY(ruledBuilt.clauses > plainBuilt.clauses);
        QCOMPARE(ruledEstimate.variables - plainEstimate.variables, ruledBuilt.variables - plainBuilt.variables);
        QCOMPARE(ruledEstimate.clauses - plainEstimate.clauses, ruledBuilt.clauses - plainBuilt.clauses);
        QCOMPARE(ruledEstimate.literals - plainEstimate.literals, ruledBuilt.literals - plainBuilt.literals);
    }

    // A repair after hand moves that break rules mends them and keeps the pins.
    void repairKeepsRules()
    {
        SolverProblem pb = schoolNamed(QStringLiteral("limits"));
        pb.rules.venueCaps.push_back({"操场", {"体育"}, QString(), 1});
        pb.rules.doubleLessons.push_back({"高一", QString(), "语文", 1});
        SolverRequest request;
        request.seed = 5;
        const SolverOutcome first = solveTimetable(pb, request);
        QCOMPARE(first.status, SolverOutcome::Status::Solved);
        QVERIFY(broken(pb, first.grid).isEmpty());

        // Hand moves: in 高一1班 and 高一2班 a 数学 lesson swapped with the cell
        // next to it, both cells pinned.
        std::vector<int> start = first.grid;
        const int S = pb.slotCount();
        std::vector<SolverPin> pins;
        for (int c = 0; c < 2; ++c)
            for (int t = 0; t + 1 < S; ++t)
                if (start[static_cast<size_t>(c * S + t)] == 2 && t % pb.periodCount + 1 < pb.periodCount) {
                    std::swap(start[static_cast<size_t>(c * S + t)], start[static_cast<size_t>(c * S + t + 1)]);
                    pins.push_back({c, t / pb.periodCount, t % pb.periodCount});
                    pins.push_back({c, (t + 1) / pb.periodCount, (t + 1) % pb.periodCount});
                    break;
                }
        request.start = start;
        request.pins = pins;
        const SolverOutcome repaired = solveTimetable(pb, request);
        QCOMPARE(repaired.status, SolverOutcome::Status::Solved);
        const QStringList found = broken(pb, repaired.grid);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        for (const SolverPin& pin : pins) {
            const size_t i = static_cast<size_t>(pin.classIndex * S + pin.day * pb.periodCount + pin.period);
            QCOMPARE(repaired.grid[i], start[i]);
        }
    }
};

QTEST_GUILESS_MAIN(SolverRulesTest)
#include "SolverRulesTest.moc"
