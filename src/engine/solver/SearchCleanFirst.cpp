#include "engine/solver/Search.h"

#include "engine/solver/LocalSearch.h"

#include <cstdio>

namespace SolverDetail {

// The model without spread is solved first, near the quick search's best
// timetable; its answer is then moved towards spread by the local search,
// never into a clash. What comes back is clash-free, every lesson placed:
// the answer given when the time runs out while spread is pursued.
Search::Result Search::cleanFirst(std::vector<int>& clean)
{
    const auto began = Clock::now();
    std::vector<int> grid;
    const Result r = solveLevel(Level{false, false, false}, grid);
    if (trace())
        std::fprintf(stderr, "clash-free first: %s, %.3f s\n",
                     r == Result::Sat ? "found" : r == Result::Unsat ? "impossible" : "not found",
                     std::chrono::duration<double>(Clock::now() - began).count());
    if (r != Result::Sat)
        return r;
    report(QStringLiteral("分散课时"));
    polishSpread(grid);
    clean = std::move(grid);
    return r;
}

// The quick search's best timetable, all lessons placed, spread but with a
// few clashes, searched again with a clash weighing far more than a spread
// fault: its clash-free timetables lose little of that spread, and no model
// is built for them.
bool Search::cleanByLocalSearch(std::vector<int>& clean)
{
    const auto began = Clock::now();
    if (m_greedyIsLocalBest) {
        std::vector<int> work = m_greedy;
        LocalSearch search(m_pb, m_units, m_seed + 1, true, {}, 1000);
        search.stopAtCleanCost(m_spreadBound);
        search.run(work, 200000, [this] { return m_stop.stopped() || m_stop.timedOut(); });
        if (trace())
            std::fprintf(stderr, "clashes weighed more: %s, %.3f s\n",
                         search.cleanGrid().empty() ? "still clashes" : "clash-free",
                         std::chrono::duration<double>(Clock::now() - began).count());
        if (!search.cleanGrid().empty() && rulesHold(search.cleanGrid())) {
            clean = search.cleanGrid();
            return true;
        }
    }
    return false;
}

} // namespace SolverDetail
