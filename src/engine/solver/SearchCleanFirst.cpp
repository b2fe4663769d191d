#include "engine/solver/Search.h"

#include "engine/solver/LocalSearch.h"

#include <cstdio>

namespace SolverDetail {

// The quick search without spread, or else the model without spread, near
// the quick search's best timetable, comes first; its answer is then moved
// towards spread by the local search, never into a clash. What comes back is clash-free, every lesson placed:
// the answer given when the time runs out while spread is pursued.
Search::Result Search::cleanFirst(std::vector<int>& clean)
{
    const auto began = Clock::now();
    std::vector<int> grid;
    if (quickWithoutSpread(grid)) {
        report(QStringLiteral("分散课时"));
        polishSpread(grid);
        clean = std::move(grid);
        return Result::Sat;
    }
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

// The quick search's best timetable (spread, a few clashes left) searched
// again without spread: clashes are cleared in milliseconds where the whole
// school's model takes a good part of a second to build.
bool Search::quickWithoutSpread(std::vector<int>& grid)
{
    if (!m_greedyIsLocalBest || !m_request.localSearch)
        return false;
    const auto began = Clock::now();
    grid = m_greedy;
    LocalSearch search(m_pb, m_units, m_seed + 2, false);
    const bool solved = search.run(grid, 200000, [this] { return m_stop.stopped() || m_stop.timedOut(); }) && rulesHold(grid);
    if (trace())
        std::fprintf(stderr, "clash-free by the quick search without spread: %s, %.3f s\n", solved ? "found" : "not found",
                     std::chrono::duration<double>(Clock::now() - began).count());
    return solved;
}

} // namespace SolverDetail
