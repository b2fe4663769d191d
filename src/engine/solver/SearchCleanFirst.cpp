#include "engine/solver/Search.h"

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

} // namespace SolverDetail
