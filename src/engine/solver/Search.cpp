#include "engine/solver/Search.h"

#include "engine/solver/LessonCounting.h"
#include "engine/solver/LocalSearch.h"
#include "engine/solver/RuleAudit.h"
#include "engine/solver/SpreadBound.h"
#include "engine/solver/TimetableAudit.h"

#include <array>
#include <cstdio>

namespace SolverDetail {

namespace {
// A repair by the quick search that changes more than this share of the
// cells (and more than a few) is set against the exact search's.
constexpr double kQuickRepairShare = 0.01;
constexpr int kQuickRepairCells = 20;

int changedFrom(const std::vector<int>& start, const std::vector<int>& grid)
{
    int changed = 0;
    for (size_t i = 0; i < start.size() && i < grid.size(); ++i)
        changed += start[i] != grid[i] ? 1 : 0;
    return changed;
}

// Where counting shows the spread cannot hold, polishing the quick search's
// clash-free timetable finds its best within a few hundred moves (when it
// finds a better one at all); waiting longer only costs time.
constexpr std::int64_t kShortPatience = 1000;
} // namespace

Search::Result Search::solve(SatModel& model, const std::vector<int>& assumptions, std::int64_t budget)
{
    CaDiCaL::Solver& s = model.cnf().solver();
    for (const int lit : assumptions)
        s.assume(lit);
    const int limit = static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(budget, 1), 0x7fffffff));
    s.limit("conflicts", limit);
    s.connect_terminator(&m_stop);
    const auto began = Clock::now();
    const int r = s.solve();
    s.disconnect_terminator();
    if (trace())
        std::fprintf(stderr, "solve: %zu assumptions, %d vars, result %d, %.3f s\n", assumptions.size(),
                     model.cnf().varCount(), r,
                     std::chrono::duration<double>(Clock::now() - began).count());
    return r == 10 ? Result::Sat : r == 20 ? Result::Unsat : Result::Unknown;
}

std::unique_ptr<SatModel> Search::buildModel(const Level& level)
{
    if (m_stop.stopped() || m_stop.timedOut())
        return nullptr;
    try {
        return std::make_unique<SatModel>(m_pb, m_units, level, m_request, m_seed, [this] {
            report(QStringLiteral("建立模型"));
            if (m_stop.stopped() || m_stop.timedOut())
                throw CnfBuilder::Interrupted();
        });
    } catch (const CnfBuilder::Interrupted&) {
        if (trace())
            std::fprintf(stderr, "model: given up while built\n");
        return nullptr;
    }
}

std::vector<int> Search::gridOf(SatModel& model) const
{
    const int S = m_pb.slotCount();
    std::vector<int> grid(static_cast<size_t>(m_pb.classCount()) * static_cast<size_t>(S), 0);
    for (size_t u = 0; u < m_units.list.size(); ++u)
        for (int t = 0; t < S; ++t) {
            const int v = model.x(static_cast<int>(u), t);
            if (v && model.cnf().solver().val(v) > 0)
                for (const int c : m_units.list[u].classes)
                    grid[static_cast<size_t>(c * S + t)] = m_units.list[u].subject;
        }
    return grid;
}

void Search::setPhases(SatModel& model, const std::vector<int>& preferred) const
{
    const int S = m_pb.slotCount();
    for (size_t u = 0; u < m_units.list.size(); ++u) {
        const Unit& unit = m_units.list[u];
        for (int t = 0; t < S; ++t) {
            const int v = model.x(static_cast<int>(u), t);
            if (!v)
                continue;
            const bool there = preferred[static_cast<size_t>(unit.classes.front() * S + t)] == unit.subject;
            model.cnf().solver().phase(there ? v : -v);
        }
    }
}

SolverOutcome Search::run()
{
    SolverOutcome outcome;
    m_budgetLeft = std::max<std::int64_t>(m_request.conflictBudget, 1);
    m_units = buildUnits(m_pb);
    outcome.notes = m_units.notes;

    if (!precheck(outcome.explanation)) {
        outcome.status = SolverOutcome::Status::Impossible;
        return outcome;
    }
    // Counting comes before any search: lessons that cannot fit even in the
    // union of their zones are refused at once; lessons that fit only there
    // send the search straight to the looser levels.
    const QStringList counted = LessonCounting::refusals(m_pb, m_units, m_request, false);
    const bool strictFails = !counted.isEmpty();
    if (strictFails) {
        const QStringList loose = m_units.fallbackDiffers
            ? LessonCounting::refusals(m_pb, m_units, m_request, true)
            : counted;
        if (!loose.isEmpty()) {
            outcome.status = SolverOutcome::Status::Impossible;
            outcome.explanation = loose;
            return outcome;
        }
    }

    // Counting alone may show that the spread cannot hold in full, and how
    // far short it must fall: then no model of the full spread is built, and
    // the searches stop at a timetable that falls just that far short.
    m_spreadBound = m_request.spread && m_request.start.empty() && !strictFails
        ? SpreadBound::lowerBound(m_pb, m_units)
        : 0;
    if (trace() && m_spreadBound > 0)
        std::fprintf(stderr, "spread impossible by counting: at least %d faults\n", m_spreadBound);

    report(QStringLiteral("初排"));
    const auto began = Clock::now();
    m_greedy = greedyTimetable(m_pb, m_units, m_seed, m_request.spread);
    if (trace())
        std::fprintf(stderr, "greedy: %d unplaced, %.3f s\n", unplacedIn(m_pb, m_greedy),
                     std::chrono::duration<double>(Clock::now() - began).count());
    std::vector<int> quick; // a repair by the quick search that changed many cells
    if (!m_request.start.empty() && m_request.localSearch && !strictFails) {
        // A few hand moves usually need only a few swaps: try those first.
        std::vector<int> grid;
        const bool mended = quickRepair(grid);
        if (trace())
            std::fprintf(stderr, "repair by local search: %s\n", mended ? "solved" : "not solved");
        if (m_stop.stopped()) {
            outcome.status = SolverOutcome::Status::Cancelled;
            return outcome;
        }
        const int few = std::max(kQuickRepairCells, static_cast<int>(static_cast<double>(grid.size()) * kQuickRepairShare));
        if (mended && changedFrom(m_request.start, grid) <= few) {
            outcome.status = SolverOutcome::Status::Solved;
            outcome.grid = std::move(grid);
            noteRelaxedSpread(outcome);
            finish(outcome);
            return outcome;
        }
        // Changing more than a few cells, the quick repair stands only if
        // the exact search does no better.
        if (mended)
            quick = std::move(grid);
    }
    std::vector<int> clean; // clash-free, every lesson placed, spread short
    if (m_request.start.empty() && m_request.localSearch && !strictFails) {
        std::vector<int> grid = m_greedy;
        LocalSearch search(m_pb, m_units, m_seed, m_request.spread);
        search.stopAtCleanCost(m_spreadBound);
        const bool mended = search.run(grid, 200000, [this] { return m_stop.stopped() || m_stop.timedOut(); });
        if (m_stop.stopped()) {
            outcome.status = SolverOutcome::Status::Cancelled;
            return outcome;
        }
        if (trace())
            std::fprintf(stderr, "local search: %s, %.3f s, clean with spread cost %d\n", mended ? "solved" : "not solved",
                         std::chrono::duration<double>(Clock::now() - began).count(),
                         search.cleanGrid().empty() ? -1 : search.cleanSpreadCost());
        if (mended && rulesHold(grid)) {
            outcome.status = SolverOutcome::Status::Solved;
            outcome.grid = std::move(grid);
            noteRelaxedSpread(outcome);
            finish(outcome);
            return outcome;
        }
        if (m_request.spread)
            if (rulesHold(search.cleanGrid()))
                clean = search.cleanGrid();
        if (!clean.empty() && m_spreadBound > 0 && search.cleanSpreadCost() <= m_spreadBound) {
            // As spread as any timetable can be.
            outcome.status = SolverOutcome::Status::Solved;
            outcome.grid = std::move(clean);
            noteRelaxedSpread(outcome);
            finish(outcome);
            return outcome;
        }
        if (trace() && !clean.empty())
            for (const int u : spreadFaultUnits(clean))
                std::fprintf(stderr, "  not spread: %s\n", qPrintable(unitName(m_pb, m_units.list[static_cast<size_t>(u)])));
        if (unplacedIn(m_pb, grid) == 0) {
            m_greedyIsLocalBest = true;
            m_greedy = std::move(grid); // the better partial timetable to hand back
        }
    }
    // Spread asked and no clash-free timetable in hand: one without spread
    // comes first (far faster on large schools), so that an answer without
    // clashes stands whenever the time runs out while spread is pursued.
    bool strictImpossible = false;
    bool polished = false; // cleanFirst polishes what it finds
    if (m_request.spread && m_request.start.empty() && clean.empty() && !strictFails) {
        polished = true;
        const Result r = cleanFirst(clean);
        if (m_stop.stopped()) {
            outcome.status = SolverOutcome::Status::Cancelled;
            return outcome;
        }
        strictImpossible = r == Result::Unsat;
        if (r == Result::Sat && spreadFaultUnits(clean).empty()) {
            outcome.status = SolverOutcome::Status::Solved;
            outcome.grid = std::move(clean);
            finish(outcome);
            return outcome;
        }
    }
    // Counting proved the full spread impossible: the clash-free timetable
    // polished is the answer, no model of the full spread is built.
    if (m_spreadBound > 0 && !clean.empty()) {
        if (!polished)
            polishSpread(clean, true);
        outcome.status = SolverOutcome::Status::Solved;
        outcome.grid = std::move(clean);
        noteRelaxedSpread(outcome);
        finish(outcome);
        return outcome;
    }
    // The partial timetable built from scratch says nothing of a repair's.
    report(QStringLiteral("初排"), m_request.start.empty() ? unplacedIn(m_pb, m_greedy) : -1);

    // Levels, each looser than the one before: the spread given up (then
    // polished back as far as it goes), then the union of zones on days they
    // share nothing.
    std::vector<Level> levels;
    for (const bool fallback : {false, true}) {
        if ((fallback && !m_units.fallbackDiffers) || (!fallback && (strictFails || strictImpossible)))
            continue;
        if (m_request.spread)
            levels.push_back({true, fallback, false});
        levels.push_back({false, fallback, false});
    }

    bool allImpossible = true;
    for (const Level& level : levels) {
        report(QStringLiteral("求解"));
        // With a clash-free timetable in hand, a short try at the full spread
        // is enough before settling for that timetable polished.
        const bool shortTry = level.spread && !clean.empty();
        std::vector<int> grid;
        const Result r = solveLevel(level, grid, shortTry ? 300000 : std::numeric_limits<std::int64_t>::max());
        // Stopped while a repair already found was only putting cells back:
        // that repair stands.
        if (m_stop.stopped() && !(r == Result::Sat && m_restoring)) {
            outcome = SolverOutcome();
            outcome.status = SolverOutcome::Status::Cancelled;
            return outcome;
        }
        if (r == Result::Sat || shortTry) {
            if (r != Result::Sat) {
                if (trace())
                    std::fprintf(stderr, "spread %s: the clash-free timetable of the local search\n",
                                 r == Result::Unsat ? "proved impossible" : "not found");
                grid = clean;
            }
            if (m_request.spread && (r != Result::Sat || !level.spread) && m_request.start.empty()) {
                report(QStringLiteral("放宽分散要求"));
                polishSpread(grid);
            }
            outcome.status = SolverOutcome::Status::Solved;
            outcome.grid = std::move(grid);
            noteRelaxedSpread(outcome);
            if (level.fallback) {
                // Every zone could not hold: the timetable is the best there
                // is, but it is no solution.
                outcome.status = SolverOutcome::Status::Impossible;
                outcome.zoneFallback = true;
                outcome.notes << QStringLiteral("科目时段与教师时段没有共同节次的那天，课排在两者之一的时段内");
                outcome.explanation = counted + TimetableAudit::zonesSharingNothing(m_pb, outcome.grid);
                if (outcome.explanation.isEmpty())
                    outcome.explanation << QStringLiteral("各课不能都排在科目时段与教师时段共同的节次内");
            }
            allImpossible = false;
            break;
        }
        if (r != Result::Unsat)
            allImpossible = false;
        if (r == Result::Unknown) {
            outcome.status = SolverOutcome::Status::OutOfBudget;
            outcome.grid = m_request.start.empty() ? m_greedy : m_request.start;
            break;
        }
    }
    if (!quick.empty() && !m_stop.stopped()
        && (outcome.status != SolverOutcome::Status::Solved || outcome.zoneFallback
            || changedFrom(m_request.start, outcome.grid) > changedFrom(m_request.start, quick))) {
        if (trace())
            std::fprintf(stderr, "repair by local search: kept, the exact search did no better\n");
        outcome = SolverOutcome();
        outcome.notes = m_units.notes;
        outcome.status = SolverOutcome::Status::Solved;
        outcome.grid = std::move(quick);
        noteRelaxedSpread(outcome);
        allImpossible = false;
    }
    if (allImpossible) {
        // Every level was proved impossible.
        outcome.status = SolverOutcome::Status::Impossible;
        outcome.explanation = explain();
        if (m_stop.stopped()) {
            outcome = SolverOutcome();
            outcome.status = SolverOutcome::Status::Cancelled;
            return outcome;
        }
    }

    finish(outcome);
    return outcome;
}

// Units whose lessons in the timetable are not spread: fewer days than
// lessons (or than days), or more than the day's share on one day.
std::vector<int> Search::spreadFaultUnits(const std::vector<int>& grid) const
{
    const int S = m_pb.slotCount();
    const int P = m_pb.periodCount;
    const int D = m_pb.dayCount;
    std::vector<int> faults;
    for (size_t u = 0; u < m_units.list.size(); ++u) {
        const Unit& unit = m_units.list[u];
        if (unit.count < 2)
            continue;
        const int c = unit.classes.front();
        std::array<int, SolverProblem::kDays> perDay{};
        for (int t = 0; t < S; ++t)
            if (grid[static_cast<size_t>(c * S + t)] == unit.subject)
                ++perDay[static_cast<size_t>(t / P)];
        // With double lessons a day holds a double or a single lesson.
        const int doubles = unit.spreadDoubles();
        const int blocks = doubles > 0 ? unit.count - doubles : unit.count;
        const int cap = doubles > 0 ? 2 : unit.count <= D ? 1 : (unit.count + D - 1) / D;
        int used = 0;
        bool crowded = false;
        for (int d = 0; d < D; ++d) {
            used += perDay[static_cast<size_t>(d)] > 0 ? 1 : 0;
            crowded = crowded || perDay[static_cast<size_t>(d)] > cap;
        }
        if (crowded || used < std::min(blocks, D))
            faults.push_back(static_cast<int>(u));
    }
    return faults;
}

// Moves lessons of a clash-free timetable within their classes to spread
// them further, never into a teacher clash.
void Search::polishSpread(std::vector<int>& grid, bool nearSpread)
{
    if (m_stop.stopped() || m_stop.timedOut())
        return; // the time is up: the timetable stands as it is
    const auto began = Clock::now();
    std::vector<int> work = grid;
    LocalSearch search(m_pb, m_units, m_seed + 1, true, {}, 1000);
    search.stopAtCleanCost(m_spreadBound);
    if (m_spreadBound > 0 && nearSpread)
        search.setPatience(kShortPatience);
    search.run(work, 200000, [this] { return m_stop.stopped() || m_stop.timedOut(); });
    if (!search.cleanGrid().empty() && rulesHold(search.cleanGrid()))
        grid = search.cleanGrid();
    if (trace())
        std::fprintf(stderr, "spread polished: %d units short, %.3f s\n", static_cast<int>(spreadFaultUnits(grid).size()),
                     std::chrono::duration<double>(Clock::now() - began).count());
}

void Search::noteRelaxedSpread(SolverOutcome& outcome) const
{
    if (!m_request.spread || outcome.grid.empty())
        return;
    QStringList names;
    for (const int u : spreadFaultUnits(outcome.grid))
        names << unitName(m_pb, m_units.list[static_cast<size_t>(u)]);
    if (names.isEmpty())
        return;
    outcome.spreadRelaxed = true;
    const qsizetype all = names.size();
    if (all > 12)
        names = names.mid(0, 12) << QStringLiteral("等%1门课").arg(all);
    outcome.notes << QStringLiteral("这些课无法全部分散到不同的天，已放宽分散要求：") + names.join(QStringLiteral("、"));
}

void Search::finish(SolverOutcome& outcome) const
{
    if (!outcome.grid.empty()) {
        outcome.zoneViolations = TimetableAudit::count(m_pb, outcome.grid, m_request.pins).outsideZones;
        outcome.spreadViolations = countSpreadViolations(m_pb, outcome.grid);
        outcome.unplacedLessons = unplacedIn(m_pb, outcome.grid);
        if (!m_request.start.empty())
            for (size_t i = 0; i < outcome.grid.size() && i < m_request.start.size(); ++i)
                if (outcome.grid[i] != m_request.start[i])
                    ++outcome.changedCells;
    }
}
bool Search::rulesHold(const std::vector<int>& grid) const
{
    return !m_units.hasRules() || RuleAudit::count(m_pb, grid).clean();
}

} // namespace SolverDetail
