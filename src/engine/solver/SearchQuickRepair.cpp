#include "engine/solver/Search.h"

#include "engine/solver/LocalSearch.h"
#include "engine/solver/SpreadBound.h"

#include <cstdio>

namespace SolverDetail {

// Hand moves usually need only a few swaps near them. Where counting shows
// that the spread cannot hold in full, the start's own spread faults are no
// fault of the moves: a timetable as spread as the start is a repair, and
// chasing the rest would only send the search wandering over the whole
// school. So the clashes are mended first without spread, the spread then
// brought back to where the start had it; lessons the search moved for
// nothing go back last.
bool Search::quickRepair(std::vector<int>& grid)
{
    const auto stop = [this] { return m_stop.stopped() || m_stop.timedOut(); };
    const std::vector<int>& start = m_request.start;
    // Where counting leaves the full spread possible, the repair must reach it.
    const int startSpread = m_request.spread && SpreadBound::lowerBound(m_pb, m_units) > 0
        ? LocalSearch(m_pb, m_units, m_seed, true).spreadCost(start)
        : 0;
    bool mended = false;
    if (startSpread > 0) {
        std::vector<int> plain = start;
        if (LocalSearch(m_pb, m_units, m_seed, false, m_request.pins).run(plain, 20000, stop)) {
            LocalSearch spread(m_pb, m_units, m_seed, true, m_request.pins, LocalSearch::kSettleWeight);
            if (spread.spreadCost(plain) <= startSpread) {
                grid = std::move(plain);
                mended = true;
            } else {
                spread.stopAtCleanCost(startSpread);
                spread.run(plain, 20000, stop);
                if (!spread.cleanGrid().empty() && spread.cleanSpreadCost() <= startSpread) {
                    grid = spread.cleanGrid();
                    mended = true;
                }
            }
        }
    }
    if (!mended) {
        grid = start;
        LocalSearch search(m_pb, m_units, m_seed, m_request.spread, m_request.pins);
        search.stopAtCleanCost(startSpread);
        mended = search.run(grid, 20000, stop);
        if (!mended && startSpread > 0 && !search.cleanGrid().empty() && search.cleanSpreadCost() <= startSpread) {
            grid = search.cleanGrid();
            mended = true;
        }
    }
    if (!mended || !rulesHold(grid))
        return false;
    const int back = LocalSearch(m_pb, m_units, m_seed, m_request.spread, m_request.pins)
                         .putBack(grid, start, startSpread);
    if (trace())
        std::fprintf(stderr, "repair by local search: %d cells put back\n", back);
    return true;
}

} // namespace SolverDetail
