#include "engine/solver/SpreadBound.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace SpreadBound {

namespace {

using SolverUnits::Unit;
using SolverUnits::Units;

// The periods of day d a unit's lessons may take.
std::uint16_t dayMask(const SolverProblem& pb, const Unit& unit, int d)
{
    std::uint16_t mask = unit.strict[static_cast<size_t>(d)];
    for (const int t : unit.fixedSlots)
        if (t / pb.periodCount == d)
            mask = static_cast<std::uint16_t>(mask | (1u << (t % pb.periodCount)));
    return mask;
}

// Whether the spread is asked of the unit at all (as the local search has it).
bool spreadApplies(const Unit& unit)
{
    return unit.count >= 2 && !unit.spreadFixed && unit.spreadDoubles() <= 0;
}

// Lessons the unit needs on each day to be spread; its own shortfall (lessons
// that fit on no day within the day's share) in `own`.
std::array<int, SolverProblem::kDays> neededPerDay(const SolverProblem& pb, const Unit& unit, int& own)
{
    std::array<int, SolverProblem::kDays> need{};
    own = 0;
    if (!spreadApplies(unit))
        return need;
    const int D = pb.dayCount;
    const int n = unit.count;
    const int share = n <= D ? 1 : (n + D - 1) / D;
    std::array<int, SolverProblem::kDays> room{};
    int total = 0;
    for (int d = 0; d < D; ++d) {
        room[static_cast<size_t>(d)] = std::min(share, __builtin_popcount(dayMask(pb, unit, d)));
        total += room[static_cast<size_t>(d)];
    }
    own = std::max(0, n - total);
    for (int d = 0; d < D; ++d) {
        int least = std::max(0, n - (total - room[static_cast<size_t>(d)]));
        if (n > D && unit.strict[static_cast<size_t>(d)] != 0)
            least = std::max(least, 1);
        need[static_cast<size_t>(d)] = std::min(least, room[static_cast<size_t>(d)]);
    }
    return need;
}

// Lessons of the teacher's units that day beyond the periods they may take:
// the periods open to one unit, to two, or to all of them, each taken as the
// region that the units confined to it must share.
int dayShortfall(const SolverProblem& pb, const Units& units, const std::vector<int>& taught,
                 const std::vector<std::array<int, SolverProblem::kDays>>& need, int d)
{
    std::vector<std::uint16_t> masks;
    std::uint16_t all = 0;
    for (const int u : taught) {
        if (need[static_cast<size_t>(u)][static_cast<size_t>(d)] == 0)
            continue;
        const std::uint16_t m = dayMask(pb, units.list[static_cast<size_t>(u)], d);
        all = static_cast<std::uint16_t>(all | m);
        if (std::find(masks.begin(), masks.end(), m) == masks.end())
            masks.push_back(m);
    }
    std::vector<std::uint16_t> regions = masks;
    if (masks.size() <= 16)
        for (size_t i = 0; i < masks.size(); ++i)
            for (size_t j = i + 1; j < masks.size(); ++j)
                regions.push_back(static_cast<std::uint16_t>(masks[i] | masks[j]));
    regions.push_back(all);
    int worst = 0;
    for (const std::uint16_t region : regions) {
        int demand = 0;
        for (const int u : taught)
            if ((dayMask(pb, units.list[static_cast<size_t>(u)], d) & ~region) == 0)
                demand += need[static_cast<size_t>(u)][static_cast<size_t>(d)];
        worst = std::max(worst, demand - __builtin_popcount(region));
    }
    return worst;
}

} // namespace

int lowerBound(const SolverProblem& pb, const Units& units)
{
    const int D = pb.dayCount;
    std::vector<std::array<int, SolverProblem::kDays>> need(units.list.size());
    std::vector<int> own(units.list.size(), 0);
    for (size_t u = 0; u < units.list.size(); ++u)
        need[u] = neededPerDay(pb, units.list[u], own[u]);

    // Each teacher's worst day; a unit counted once, so teachers sharing a
    // unit do not count its faults twice.
    std::vector<char> used(units.list.size(), 0);
    int bound = 0;
    for (size_t id = 0; id < units.unitsOfTeacher.size(); ++id) {
        const auto& taught = units.unitsOfTeacher[id];
        if (std::any_of(taught.begin(), taught.end(), [&](int u) { return used[static_cast<size_t>(u)]; }))
            continue;
        int worst = 0;
        for (int d = 0; d < D; ++d)
            worst = std::max(worst, dayShortfall(pb, units, taught, need, d));
        int ownSum = 0;
        for (const int u : taught)
            ownSum += own[static_cast<size_t>(u)];
        // A unit's own shortfall and the teacher's day may be the same lessons.
        const int counted = std::max(worst, ownSum);
        if (counted <= 0)
            continue;
        bound += counted;
        for (const int u : taught)
            used[static_cast<size_t>(u)] = 1;
    }
    for (size_t u = 0; u < units.list.size(); ++u)
        if (!used[u])
            bound += own[u];
    return bound;
}

} // namespace SpreadBound
