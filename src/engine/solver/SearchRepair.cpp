#include "engine/solver/Search.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>

namespace SolverDetail {

namespace {

// The indices of the counts above zero, the largest count first (ties in
// index order).
std::vector<int> mostFirst(const std::vector<int>& counts)
{
    std::vector<int> order;
    for (size_t i = 0; i < counts.size(); ++i)
        if (counts[i] > 0)
            order.push_back(static_cast<int>(i));
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return counts[static_cast<size_t>(a)] > counts[static_cast<size_t>(b)]; });
    return order;
}

// The kept lessons less those meeting another lesson of one of their
// teachers in the same slot.
// Lessons in clashes beyond those hand moves make that mark a start as
// saved after a time-out.
constexpr size_t kFewClashingLessons = 10;

template <typename Keep>
std::vector<Keep> lessonsWithoutClash(const Units& units, const std::vector<Keep>& keep)
{
    std::map<std::pair<int, int>, int> busy; // (slot, teacher) -> lessons
    for (const Keep& k : keep)
        for (const int id : units.list[static_cast<size_t>(k.unit)].teachers)
            ++busy[{k.slot, id}];
    std::vector<Keep> kept;
    for (const Keep& k : keep) {
        bool clash = false;
        for (const int id : units.list[static_cast<size_t>(k.unit)].teachers)
            clash = clash || busy[{k.slot, id}] > 1;
        if (!clash)
            kept.push_back(k);
    }
    return kept;
}

// The kept lessons less the class-days of those already set free and of the
// pins.
template <typename Keep>
std::vector<Keep> lessonsWidened(const SolverProblem& pb, const Units& units, const std::vector<SolverPin>& pins,
                                 const std::vector<Keep>& start, const std::vector<Keep>& keep)
{
    const int P = pb.periodCount;
    std::set<int> held;
    for (const Keep& k : keep)
        held.insert(k.lit);
    std::set<std::pair<int, int>> classDays;
    for (const SolverPin& pin : pins)
        classDays.insert({pin.classIndex, pin.day});
    for (const Keep& k : start)
        if (!held.count(k.lit))
            for (const int c : units.list[static_cast<size_t>(k.unit)].classes)
                classDays.insert({c, k.slot / P});
    std::vector<Keep> kept;
    for (const Keep& k : keep) {
        bool freed = false;
        for (const int c : units.list[static_cast<size_t>(k.unit)].classes)
            freed = freed || classDays.count({c, k.slot / P}) != 0;
        if (!freed)
            kept.push_back(k);
    }
    return kept;
}

} // namespace

// Solves one level of the model. With a start timetable, its cells are
// assumed kept; the cells around the ones that cannot be kept are set free,
// round after round, so that the rest stays as it was.
Search::Result Search::solveLevel(const Level& level, std::vector<int>& grid, std::int64_t budgetCap)
{
    const auto began = Clock::now();
    Level tuned = level;
    tuned.plain = m_plain;
    const std::unique_ptr<SatModel> built = buildModel(tuned);
    if (!built)
        return Result::Unknown;
    SatModel& model = *built;
    if (trace())
        std::fprintf(stderr, "model: %d vars, %lld clauses, %lld literals, built in %.3f s\n", model.cnf().varCount(),
                     static_cast<long long>(model.cnf().clauseCount()),
                     static_cast<long long>(model.cnf().literalCount()),
                     std::chrono::duration<double>(Clock::now() - began).count());
    const bool repair = !m_request.start.empty();
    // The start timetable guides a repair. The greedy timetable does not
    // guide: when the local search could not mend it, its clashes lead the
    // search astray (on tight schools and once spread is given up alike).
    if (repair)
        setPhases(model, m_request.start);
    else if (m_request.spread && !level.spread && m_greedyIsLocalBest)
        setPhases(model, m_greedy); // stay near the well spread timetable, clashes aside
    const std::vector<int> hard = model.hardAssumptions();

    const int S = m_pb.slotCount();
    const int P = m_pb.periodCount;
    std::vector<Keep> keep;
    if (repair) {
        std::set<int> seen;
        for (int c = 0; c < m_pb.classCount(); ++c)
            for (int t = 0; t < S; ++t) {
                const int s = m_request.start[static_cast<size_t>(c * S + t)];
                if (s < 1 || s > SolverProblem::kSubjects)
                    continue;
                const int u = m_units.unitOf[static_cast<size_t>(c)][static_cast<size_t>(s)];
                const int v = u == -1 ? 0 : model.x(u, t);
                if (v && seen.insert(v).second)
                    keep.push_back({v, u, t});
            }
    }
    const std::vector<Keep> start = keep;
    // Lessons of the start that meet a teacher's other lesson in the same
    // slot cannot all stay. When there are many (a start saved after a
    // time-out), none of them is held at first and the restoring puts back
    // those that can; the few clashes of hand moves are left to the rounds,
    // which free only the side that must move.
    const std::vector<Keep> clashFree = lessonsWithoutClash(m_units, keep);
    if (keep.size() - clashFree.size() > 2 * m_request.pins.size() + kFewClashingLessons)
        keep = clashFree;

    std::set<int> pinDays, pinTeachers;
    for (const SolverPin& pin : m_request.pins) {
        pinDays.insert(pin.day);
        const int s = m_request.start[static_cast<size_t>(pin.classIndex * S + pin.day * P + pin.period)];
        const int u = s > 0 ? m_units.unitOf[static_cast<size_t>(pin.classIndex)][static_cast<size_t>(s)] : -1;
        if (u != -1)
            for (const int id : m_units.list[static_cast<size_t>(u)].teachers)
                pinTeachers.insert(id);
    }
    // The lessons the proof used first, then their class-days; whole
    // classes and the teachers' other lessons only when many rounds of
    // class-days have not been enough.
    constexpr int kCellRounds = 150;
    constexpr int kFewRounds = 100;
    constexpr size_t kShareOfProof = 16;
    constexpr size_t kLargeProof = 160; // kept lessons in a proof
    int round = 0;
    int unfinished = 0; // rounds that ran out of conflicts
    constexpr int kUnfinishedRounds = 2;
    while (true) {
        std::vector<int> assumptions = hard;
        for (const Keep& k : keep)
            assumptions.push_back(k.lit);
        const std::int64_t budget = std::min(keep.empty() ? m_budgetLeft : std::min<std::int64_t>(m_budgetLeft, 30000),
                                             budgetCap);
        const Result r = solve(model, assumptions, budget);
        if (m_stop.stopped() || m_stop.timedOut())
            return Result::Unknown;
        if (r == Result::Sat) {
            grid = gridOf(model);
            if (repair)
                reduceChanges(model, hard, start, grid);
            return r;
        }
        CaDiCaL::Solver& solver = model.cnf().solver();
        // Free the cells around the kept lessons that could not all stay:
        // their classes on their days first, whole classes and their
        // teachers' lessons when that is not enough.
        // Of the kept lessons the proof used, a few are set free each round:
        // first those on the days and of the teachers of the pinned cells.
        std::set<int> classes, teachers, cells;
        std::set<std::pair<int, int>> classDays;
        if (r == Result::Unsat) {
            std::vector<std::pair<int, const Keep*>> failed;
            for (const Keep& k : keep)
                if (solver.failed(k.lit)) {
                    const Unit& unit = m_units.list[static_cast<size_t>(k.unit)];
                    int score = pinDays.count(k.slot / P) ? 0 : 2;
                    for (const int id : unit.teachers)
                        if (pinTeachers.count(id))
                            score = std::min(score, score - 1 < 0 ? 0 : score - 1);
                    failed.emplace_back(score, &k);
                }
            std::stable_sort(failed.begin(), failed.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            if (trace())
                std::fprintf(stderr, "repair round %d: %zu kept lessons in the proof\n", round, failed.size());
            // Three at first; once many rounds have not been enough, a
            // share of a large proof, so that a wide tangle is undone in
            // tens of rounds rather than hundreds (a small proof keeps
            // freeing three: its cells are the ones to free).
            const size_t take = round < kFewRounds || failed.size() < kLargeProof
                ? 3
                : failed.size() / kShareOfProof;
            for (size_t i = 0; i < failed.size() && i < take; ++i) {
                const Keep& k = *failed[i].second;
                const Unit& unit = m_units.list[static_cast<size_t>(k.unit)];
                cells.insert(k.lit);
                for (const int c : unit.classes) {
                    classes.insert(c);
                    classDays.insert({c, k.slot / P});
                }
                for (const int id : unit.teachers)
                    teachers.insert(id);
            }
        }
        if (keep.empty() || (classes.empty() && r == Result::Unsat))
            return r; // nothing kept is to blame: the level cannot hold
        ++round;
        if (classes.empty()) {
            // Nothing learned within the budget: the class-days of what is
            // already free are set free once; a second time the repair gives
            // up, the start being too far from any timetable for it (the
            // search from scratch it races answers then).
            if (++unfinished >= kUnfinishedRounds)
                return Result::Unknown;
            const size_t before = keep.size();
            keep = lessonsWidened(m_pb, m_units, m_request.pins, start, keep);
            if (trace())
                std::fprintf(stderr, "repair round %d: no answer, %zu of %zu lessons kept\n", round, keep.size(),
                             before);
            continue;
        }
        const bool single = round <= kCellRounds;
        const bool wide = round > kCellRounds + 80;
        std::vector<Keep> kept;
        for (const Keep& k : keep) {
            const Unit& unit = m_units.list[static_cast<size_t>(k.unit)];
            bool freed = single && cells.count(k.lit) != 0;
            if (single) {
                if (!freed)
                    kept.push_back(k);
                continue;
            }
            for (const int c : unit.classes)
                if (wide ? classes.count(c) != 0 : classDays.count({c, k.slot / P}) != 0)
                    freed = true;
            if (wide)
                for (const int id : unit.teachers)
                    if (teachers.count(id))
                        freed = true;
            if (!freed)
                kept.push_back(k);
        }
        keep.swap(kept);
        if (round > kCellRounds + 160)
            keep.clear();
        report(QStringLiteral("修复课表"));
    }
}

// A repair frees more cells than it must. Then, round after round, a class
// with changed cells and the two classes whose lessons most keep them from
// going back (they hold the wanted teacher in that slot) may change any of
// their cells, as long as more of them end as they were; every other class
// keeps each cell that is as it was. A round that finds nothing is not
// repeated while those classes stay as they are. When no class finds fewer
// with its two most blocking classes, the third most blocking takes the
// place of the second, then of the first.
void Search::reduceChanges(SatModel& model, const std::vector<int>& hard, const std::vector<Keep>& start,
                           std::vector<int>& grid, int unfinishedRounds)
{
    constexpr int kRounds = 300;
    constexpr std::int64_t kConflictsPerRound = 4000;
    // Without a time limit (优化课表, a plain `solve --repair`) fewer rounds
    // put cells back: the later ones win back a cell or two each, and a
    // count (not the clock) keeps the answer the same on every machine.
    constexpr int kRoundsWithoutLimit = 100;
    const int roundCap = m_request.timeLimitSeconds > 0 ? kRounds : kRoundsWithoutLimit;
    m_restoring = true;
    m_stop.found();
    if (m_request.timeLimitSeconds > 0)
        m_stop.endBy(m_restoreBy);

    const int S = m_pb.slotCount();
    const int classes = m_pb.classCount();
    CaDiCaL::Solver& solver = model.cnf().solver();
    std::vector<char> held(start.size());
    auto update = [&] {
        for (size_t i = 0; i < start.size(); ++i)
            held[i] = solver.val(start[i].lit) > 0;
        grid = gridOf(model);
    };
    update();
    auto classOf = [&](size_t i) { return m_units.list[static_cast<size_t>(start[i].unit)].classes.front(); };
    auto unitAt = [&](int c, int t) {
        const int s = grid[static_cast<size_t>(c * S + t)];
        return s > 0 ? m_units.unitOf[static_cast<size_t>(c)][static_cast<size_t>(s)] : -1;
    };

    std::set<std::pair<std::vector<int>, int>> fruitless; // (classes, their changed cells)
    int rounds = 0;
    int unfinished = 0;
    // The two blocking classes taken with a class, by their rank: the two
    // most blocking first; the others once no class finds fewer with those.
    // Then the three, the four, the six and the eight most blocking
    // together: a chain of swaps through several classes is found only with
    // all of them free.
    const std::array<std::vector<size_t>, 7> kBlockerPairs{
        {{0, 1}, {0, 2}, {1, 2}, {0, 1, 2}, {0, 1, 2, 3}, {0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5, 6, 7}}};
    size_t pair = 0;
    while (rounds < roundCap) {
        bool improved = false;
        std::vector<int> changedIn(static_cast<size_t>(classes), 0);
        for (size_t i = 0; i < start.size(); ++i)
            if (!held[i])
                ++changedIn[static_cast<size_t>(classOf(i))];
        for (const int c : mostFirst(changedIn)) {
            if (m_stop.stopped() || m_stop.timedOut() || rounds >= roundCap)
                return;
            // The classes holding, in the slots of c's changed cells, the
            // teachers c's lessons there had.
            std::vector<int> blocking(static_cast<size_t>(classes), 0);
            for (size_t i = 0; i < start.size(); ++i) {
                if (held[i] || classOf(i) != c)
                    continue;
                const auto& wanted = m_units.list[static_cast<size_t>(start[i].unit)].teachers;
                for (int other = 0; other < classes; ++other) {
                    const int u = other == c ? -1 : unitAt(other, start[i].slot);
                    if (u == -1)
                        continue;
                    for (const int id : m_units.list[static_cast<size_t>(u)].teachers)
                        if (std::find(wanted.begin(), wanted.end(), id) != wanted.end())
                            ++blocking[static_cast<size_t>(other)];
                }
            }
            const std::vector<int> ranked = mostFirst(blocking);
            const std::vector<size_t>& ranks = kBlockerPairs[pair];
            if (pair > 0 && ranks.back() >= ranked.size())
                continue;
            std::vector<int> group;
            for (const size_t rank : ranks)
                if (rank < ranked.size())
                    group.push_back(ranked[rank]);
            group.push_back(c);
            std::sort(group.begin(), group.end());
            auto inGroup = [&](size_t i) {
                for (const int member : m_units.list[static_cast<size_t>(start[i].unit)].classes)
                    if (std::binary_search(group.begin(), group.end(), member))
                        return true;
                return false;
            };
            std::vector<int> assumptions = hard;
            std::vector<int> lost; // a group's lesson not where it was
            int changed = 0;
            for (size_t i = 0; i < start.size(); ++i) {
                if (inGroup(i)) {
                    lost.push_back(-start[i].lit);
                    changed += held[i] ? 0 : 1;
                } else if (held[i]) {
                    assumptions.push_back(start[i].lit);
                }
            }
            if (!fruitless.insert({group, changed}).second)
                continue;
            ++rounds;
            report(QStringLiteral("减少改动"), 0, true);
            // Every clause of the count carries the round's own switch, so
            // that the solver drops them all once the round is over: a
            // count left behind each round would slow every later one.
            const int fewer = model.cnf().newVar();
            const std::vector<int> atLeast = model.cnf().countAtLeast(lost, changed, fewer);
            assumptions.push_back(fewer);
            assumptions.push_back(-atLeast[static_cast<size_t>(changed - 1)]);
            const Result r = solve(model, assumptions, kConflictsPerRound);
            if (trace())
                std::fprintf(stderr, "trade: %zu classes, %d changed, %s\n", group.size(), changed,
                             r == Result::Sat ? "fewer" : r == Result::Unsat ? "no fewer" : "unfinished");
            if (r == Result::Sat)
                update(); // before any clause is added: the values last only until then
            model.cnf().clause({-fewer}); // this round's count is not needed again
            if (r == Result::Sat) {
                improved = true;
                break;
            }
            if (r == Result::Unknown && ++unfinished >= unfinishedRounds)
                return;
        }
        if (improved)
            pair = 0;
        else if (pair + 1 < kBlockerPairs.size())
            ++pair;
        else
            return;
    }
}


SolverOutcome Search::restoreInto(const std::vector<int>& found)
{
    SolverOutcome outcome;
    m_budgetLeft = std::max<std::int64_t>(m_request.conflictBudget, 1);
    m_units = buildUnits(m_pb);
    // Spread kept as far as the timetable found keeps it.
    const Level level{m_request.spread && spreadFaultUnits(found).empty(), false, false};
    Level tuned = level;
    tuned.plain = m_plain;
    const std::unique_ptr<SatModel> built = buildModel(tuned);
    if (!built)
        return outcome;
    SatModel& model = *built;
    setPhases(model, m_request.start);
    const std::vector<int> hard = model.hardAssumptions();
    const int S = m_pb.slotCount();
    std::vector<int> assumptions = hard;
    std::vector<Keep> start;
    std::set<int> seen;
    for (int c = 0; c < m_pb.classCount(); ++c)
        for (int t = 0; t < S; ++t) {
            const size_t i = static_cast<size_t>(c * S + t);
            const int s = found[i];
            const int u = s > 0 ? m_units.unitOf[static_cast<size_t>(c)][static_cast<size_t>(s)] : -1;
            const int v = u == -1 ? 0 : model.x(u, t);
            if (v)
                assumptions.push_back(v);
            const int was = m_request.start[i];
            const int w = was > 0 ? m_units.unitOf[static_cast<size_t>(c)][static_cast<size_t>(was)] : -1;
            const int kept = w == -1 ? 0 : model.x(w, t);
            if (kept && seen.insert(kept).second)
                start.push_back({kept, w, t});
        }
    if (solve(model, assumptions, 10000) != Result::Sat)
        return outcome;
    std::vector<int> grid = gridOf(model);
    if (grid != found)
        return outcome;
    if (trace())
        std::fprintf(stderr, "restoring into the timetable found from scratch\n");
    // Far from the start, a round that runs out of conflicts is seldom
    // followed by one that finds fewer: the first ends the restoring.
    reduceChanges(model, hard, start, grid, 1);
    outcome.status = SolverOutcome::Status::Solved;
    outcome.grid = std::move(grid);
    outcome.notes = m_units.notes;
    noteRelaxedSpread(outcome);
    finish(outcome);
    return outcome;
}
} // namespace SolverDetail
