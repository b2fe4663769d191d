#include "engine/solver/LocalSearch.h"

#include <algorithm>
#include <cstdio>

// The scheduling rules as costs of the local search. A teacher's periods off
// need none: they are out of the units' zones, which the search never leaves.

namespace SolverDetail {

void LocalSearch::prepareRules()
{
    m_rules = m_units.hasRules();
    if (!m_rules)
        return;
    // Clashes and broken rules weigh at least twice a spread fault: weighing
    // the same, the search settles on trading a broken rule for spread.
    m_weight = std::max(m_weight, 2);
    m_venuesOf.assign(m_units.list.size(), {});
    m_limitCache.assign(m_units.limits.size(), -1);
    m_doubleCache.assign(m_units.list.size(), -1);
    for (size_t v = 0; v < m_units.venues.size(); ++v)
        for (const auto& [u, classes] : m_units.venues[v].units)
            m_venuesOf[static_cast<size_t>(u)].emplace_back(static_cast<int>(v), classes);
}

// Lessons beyond the daily limit, runs beyond lessons in a row (within a
// half day) and working days beyond the weekly number.
int LocalSearch::limitCost(int id)
{
    const SolverUnits::TeacherLimit& limit = m_units.limits[static_cast<size_t>(id)];
    if (!limit.any())
        return 0;
    int& cached = m_limitCache[static_cast<size_t>(id)];
    if (cached >= 0)
        return cached;
    int cost = 0;
    int days = 0;
    for (int d = 0; d < m_pb.dayCount; ++d) {
        int lessons = 0;
        int run = 0;
        for (int p = 0; p < P; ++p) {
            if (p > 0 && m_units.half(p) != m_units.half(p - 1))
                run = 0;
            if (teacherAt(id, d * P + p) > 0) {
                ++lessons;
                if (limit.inARow > 0 && ++run > limit.inARow)
                    ++cost;
            } else {
                run = 0;
            }
        }
        days += lessons > 0 ? 1 : 0;
        if (limit.perDay > 0)
            cost += std::max(0, lessons - limit.perDay);
    }
    if (limit.daysPerWeek > 0)
        cost += std::max(0, days - limit.daysPerWeek);
    cached = cost;
    return cost;
}

int LocalSearch::venueCost(int v, int t) const
{
    return std::max(0, m_venue[static_cast<size_t>(v * S + t)] - m_units.venues[static_cast<size_t>(v)].cap);
}

int LocalSearch::doubleCost(int u)
{
    const int doubles = unit(u).doubles;
    if (doubles < 0)
        return 0;
    int& cached = m_doubleCache[static_cast<size_t>(u)];
    if (cached >= 0)
        return cached;
    const int c = unit(u).classes.front();
    int pairs = 0;
    int adjacent = 0;
    for (int d = 0; d < m_pb.dayCount; ++d)
        for (int p = 0; p + 1 < P; ++p)
            if (m_cell[static_cast<size_t>(c * S + d * P + p)] == u
                && m_cell[static_cast<size_t>(c * S + d * P + p + 1)] == u && m_units.half(p) == m_units.half(p + 1)) {
                ++adjacent;
                ++pairs;
                ++p;
            }
    cached = doubles == 0 ? adjacent : std::max(0, doubles - pairs);
    // Spread: no more double periods than asked for.
    if (unit(u).spreadDoubles() > 0 && m_spread && !unit(u).spreadFixed)
        cached += std::max(0, pairs - doubles);
    return cached;
}

int LocalSearch::doubleDayCost(int u, int d) const
{
    const int n = m_perDay[static_cast<size_t>(u * m_pb.dayCount + d)];
    if (n <= 1)
        return 0;
    if (n > 2)
        return n - 2;
    const int c = unit(u).classes.front();
    for (int p = 0; p + 1 < P; ++p)
        if (m_cell[static_cast<size_t>(c * S + d * P + p)] == u && m_cell[static_cast<size_t>(c * S + d * P + p + 1)] == u)
            return m_units.half(p) == m_units.half(p + 1) ? 0 : 1;
    return 1;
}

int LocalSearch::ruleCost()
{
    if (!m_rules)
        return 0;
    int cost = 0;
    for (int id = 0; id < static_cast<int>(m_units.limits.size()); ++id)
        cost += limitCost(id);
    for (int v = 0; v < static_cast<int>(m_units.venues.size()); ++v)
        for (int t = 0; t < S; ++t)
            cost += venueCost(v, t);
    for (int u = 0; u < static_cast<int>(m_units.list.size()); ++u)
        cost += doubleCost(u);
    return cost;
}

// The rule costs the two cells' units can change by trading places.
int LocalSearch::ruleCost(int a, int b, int t1, int t2)
{
    int cost = 0;
    std::vector<int> teachers;
    std::vector<int> venues;
    for (const int u : {a, b}) {
        if (u == -1)
            continue;
        for (const int id : unit(u).teachers)
            if (m_units.limits[static_cast<size_t>(id)].any()
                && std::find(teachers.begin(), teachers.end(), id) == teachers.end())
                teachers.push_back(id);
        for (const auto& entry : m_venuesOf[static_cast<size_t>(u)])
            if (std::find(venues.begin(), venues.end(), entry.first) == venues.end())
                venues.push_back(entry.first);
        if (u != a || a != b)
            cost += doubleCost(u);
    }
    for (const int id : teachers)
        cost += limitCost(id);
    for (const int v : venues)
        cost += venueCost(v, t1) + venueCost(v, t2);
    return cost;
}

int LocalSearch::ruleConflictsAt(int u, int t)
{
    int n = 0;
    for (const int id : unit(u).teachers)
        n += limitCost(id) > 0 ? 1 : 0;
    for (const auto& entry : m_venuesOf[static_cast<size_t>(u)])
        n += venueCost(entry.first, t) > 0 ? 1 : 0;
    n += doubleCost(u) > 0 ? 1 : 0;
    // Two lessons of a doubled subject on one day but not side by side: a
    // spread fault the day's share alone does not show.
    const int d = t / P;
    if (unit(u).spreadDoubles() > 0 && cap(u) < (1 << 20) && m_perDay[static_cast<size_t>(u * m_pb.dayCount + d)] == 2)
        n += doubleDayCost(u, d);
    return n;
}

} // namespace SolverDetail
