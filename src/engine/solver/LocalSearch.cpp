#include "engine/solver/LocalSearch.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <numeric>

namespace SolverDetail {

std::vector<int> greedyTimetable(const SolverProblem& pb, const Units& units, std::uint32_t seed, bool spread)
{
    const int S = pb.slotCount();
    const int P = pb.periodCount;
    std::vector<int> unitAt(static_cast<size_t>(pb.classCount()) * static_cast<size_t>(S), -1);
    std::vector<std::vector<char>> teacherBusy(units.teacherNames.size(), std::vector<char>(static_cast<size_t>(S), 0));
    std::vector<int> placed(units.list.size(), 0);
    std::vector<std::vector<int>> perDay(units.list.size(), std::vector<int>(static_cast<size_t>(pb.dayCount), 0));
    std::mt19937 random(seed);

    auto isFree = [&](int u, int t) {
        const Unit& unit = units.list[static_cast<size_t>(u)];
        for (const int c : unit.classes)
            if (unitAt[static_cast<size_t>(c * S + t)] != -1)
                return false;
        for (const int id : unit.teachers)
            if (teacherBusy[static_cast<size_t>(id)][static_cast<size_t>(t)])
                return false;
        return true;
    };
    auto place = [&](int u, int t) {
        const Unit& unit = units.list[static_cast<size_t>(u)];
        for (const int c : unit.classes)
            unitAt[static_cast<size_t>(c * S + t)] = u;
        for (const int id : unit.teachers)
            teacherBusy[static_cast<size_t>(id)][static_cast<size_t>(t)] = 1;
        ++placed[static_cast<size_t>(u)];
        ++perDay[static_cast<size_t>(u)][static_cast<size_t>(t / P)];
    };

    // Fixed lessons where they are fixed, even onto a busy teacher: that
    // clash is for the search to settle or to explain.
    auto classesFree = [&](int u, int t) {
        for (const int c : units.list[static_cast<size_t>(u)].classes)
            if (unitAt[static_cast<size_t>(c * S + t)] != -1)
                return false;
        return true;
    };
    for (size_t u = 0; u < units.list.size(); ++u)
        for (const int t : units.list[u].fixedSlots)
            if (placed[u] < units.list[u].count && classesFree(static_cast<int>(u), t))
                place(static_cast<int>(u), t);

    // Hardest first: fewest allowed slots per lesson, then busiest teachers.
    std::vector<int> order(units.list.size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    std::vector<double> room(units.list.size(), 0);
    for (size_t u = 0; u < units.list.size(); ++u) {
        int slots = 0;
        for (int d = 0; d < pb.dayCount; ++d)
            slots += __builtin_popcount(units.list[u].strict[static_cast<size_t>(d)]);
        room[u] = units.list[u].count > 0 ? static_cast<double>(slots) / units.list[u].count : 1e9;
    }
    // Combined lessons first: they need the same free slot in several classes.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const bool ca = units.list[static_cast<size_t>(a)].classes.size() > 1;
        const bool cb = units.list[static_cast<size_t>(b)].classes.size() > 1;
        if (ca != cb)
            return ca;
        return room[static_cast<size_t>(a)] < room[static_cast<size_t>(b)];
    });

    std::vector<int> candidates;
    for (const int u : order) {
        const Unit& unit = units.list[static_cast<size_t>(u)];
        const int cap = spread ? (unit.count <= pb.dayCount ? 1 : (unit.count + pb.dayCount - 1) / pb.dayCount) : P;
        while (placed[static_cast<size_t>(u)] < unit.count) {
            candidates.clear();
            int best = 1 << 30;
            for (int t = 0; t < S; ++t) {
                const int d = t / P;
                if (!((unit.strict[static_cast<size_t>(d)] >> (t % P)) & 1u) || !isFree(u, t))
                    continue;
                const int load = perDay[static_cast<size_t>(u)][static_cast<size_t>(d)];
                if (load >= cap)
                    continue;
                if (load < best) {
                    best = load;
                    candidates.clear();
                }
                if (load == best)
                    candidates.push_back(t);
            }
            if (candidates.empty())
                break;
            place(u, candidates[random() % candidates.size()]);
        }
    }

    std::vector<int> grid(static_cast<size_t>(pb.classCount()) * static_cast<size_t>(S), 0);
    for (size_t i = 0; i < grid.size(); ++i)
        if (unitAt[i] != -1)
            grid[i] = units.list[static_cast<size_t>(unitAt[i])].subject;
    return grid;
}

bool LocalSearch::run(std::vector<int>& grid, std::int64_t iterations, const std::function<bool()>& stop)
{
    if (stop())
        return false;
    if (!load(grid)) {
        if (trace())
            std::fprintf(stderr, "local search: no complete start\n");
        return false;
    }
    int clashes = teacherCost() + ruleCost();
    int cost = totalCost();
    if (trace())
        std::fprintf(stderr, "local search: start cost %d\n", cost);
    int best = cost;
    std::vector<int> bestCells = m_cell;
    m_cleanGrid.clear();
    m_cleanCost = 1 << 30;
    std::vector<int> cleanCells;
    auto noteClean = [&] {
        if (clashes == 0 && cost < m_cleanCost) {
            m_cleanCost = cost;
            cleanCells = m_cell;
        }
    };
    noteClean();
    std::vector<std::int64_t> tabu(m_cell.size(), -1); // cell -> iteration until which its unit may not return
    markAll();
    std::int64_t sinceBest = 0;
    for (std::int64_t it = 0; it < iterations && cost > 0 && sinceBest < m_patience && m_cleanCost > m_enough; ++it) {
        if (it % 16 == 15 && stop()) // reading the clock costs about as much as a move
            break;
        if (m_conflictCount == 0)
            break;
        const int pick = conflictedAt(static_cast<int>(m_random() % static_cast<unsigned>(m_conflictCount)));
        const int c = pick / S;
        const int t1 = pick % S;
        int bestDelta = 1 << 30;
        int bestT = -1;
        int ties = 0;
        for (int t2 = 0; t2 < S; ++t2) {
            if (t2 == t1 || !movable(c, t2) || !fits(c, t1, t2))
                continue;
            const int delta = swapDelta(c, t1, t2).weighted(m_weight);
            const bool isTabu = tabu[static_cast<size_t>(c * S + t2)] > it
                && m_cell[static_cast<size_t>(c * S + t1)] == m_tabuUnit[static_cast<size_t>(c * S + t2)];
            if (isTabu && cost + delta >= best)
                continue;
            if (delta < bestDelta) {
                bestDelta = delta;
                bestT = t2;
                ties = 1;
            } else if (delta == bestDelta && m_random() % static_cast<unsigned>(++ties) == 0) {
                bestT = t2;
            }
        }
        if (bestT == -1)
            continue;
        const size_t from = static_cast<size_t>(c * S + t1);
        m_tabuUnit.resize(m_cell.size(), -1);
        m_tabuUnit[from] = m_cell[from];
        tabu[from] = it + 10 + static_cast<std::int64_t>(m_random() % 10);
        const Cost moved = swapDelta(c, t1, bestT);
        clashes += moved.teacher + moved.rule;
        swap(c, t1, bestT);
        markAfterSwap(c, t1, bestT);
        assert(flagsMatchScan());
        cost += bestDelta;
        noteClean();
        if (cost < best) {
            best = cost;
            bestCells = m_cell;
            sinceBest = 0;
        } else {
            ++sinceBest;
        }
    }
    if (trace())
        std::fprintf(stderr, "local search: best cost %d\n", best);
    if (!cleanCells.empty())
        m_cleanGrid = gridOf(cleanCells);
    m_cell = bestCells;
    grid = gridOf(m_cell);
    if (best != 0 && m_cleanGrid.empty() && (m_rules || m_spread) && m_weight < kSettleWeight)
        return settle(grid, iterations, stop);
    return best == 0;
}

bool LocalSearch::settle(std::vector<int>& grid, std::int64_t iterations, const std::function<bool()>& stop)
{
    if (stop())
        return false;
    LocalSearch strict(m_pb, m_units, m_random(), m_spread, m_pins, kSettleWeight);
    strict.stopAtCleanCost(m_enough);
    // Without rules, polishing spreads the clean timetable further anyway:
    // the settling search need not wait long for a better one.
    strict.setPatience(m_rules ? m_patience : std::min<std::int64_t>(m_patience, kSettlePatience));
    std::vector<int> work = grid;
    const bool solved = strict.run(work, iterations, stop);
    if (trace())
        std::fprintf(stderr, "local search, clashes weighing more: %s\n",
                     solved ? "solved" : strict.cleanGrid().empty() ? "not clean" : "clean");
    if (strict.cleanGrid().empty())
        return false;
    m_cleanGrid = strict.cleanGrid();
    m_cleanCost = strict.cleanSpreadCost();
    if (solved)
        grid = std::move(work);
    return solved;
}

int LocalSearch::spreadCost(const std::vector<int>& grid)
{
    if (!load(grid))
        return 1 << 29;
    return loadedSpreadCost();
}

int LocalSearch::loadedSpreadCost()
{
    return totalCost() - (teacherCost() + ruleCost()) * m_weight;
}

int LocalSearch::putBack(std::vector<int>& grid, const std::vector<int>& start, int spreadLimit)
{
    if (!load(grid))
        return 0;
    int spread = loadedSpreadCost();
    auto subjectAt = [&](int c, int t) {
        const int u = m_cell[static_cast<size_t>(c * S + t)];
        return u == -1 ? 0 : unit(u).subject;
    };
    auto wanted = [&](int c, int t) { return start[static_cast<size_t>(c * S + t)]; };
    int back = 0;
    for (bool moved = true; moved;) {
        moved = false;
        for (int c = 0; c < m_pb.classCount(); ++c)
            for (int t1 = 0; t1 < S; ++t1) {
                if (subjectAt(c, t1) == wanted(c, t1) || !movable(c, t1))
                    continue;
                for (int t2 = 0; t2 < S; ++t2) {
                    if (subjectAt(c, t2) != wanted(c, t1) || subjectAt(c, t2) == wanted(c, t2) || !movable(c, t2)
                        || !fits(c, t1, t2))
                        continue;
                    const Cost delta = swapDelta(c, t1, t2);
                    if (delta.teacher > 0 || delta.rule > 0 || spread + delta.day > spreadLimit)
                        continue;
                    swap(c, t1, t2);
                    spread += delta.day;
                    back += subjectAt(c, t2) == wanted(c, t2) ? 2 : 1;
                    moved = true;
                    break;
                }
            }
    }
    grid = gridOf(m_cell);
    return back;
}

std::vector<int> LocalSearch::gridOf(const std::vector<int>& cells) const
{
    std::vector<int> grid(cells.size(), 0);
    for (size_t i = 0; i < cells.size(); ++i)
        grid[i] = cells[i] == -1 ? 0 : m_units.list[static_cast<size_t>(cells[i])].subject;
    return grid;
}

int LocalSearch::capOf(int u) const
{
    const int n = unit(u).count;
    if (!m_spread || n < 2 || unit(u).spreadFixed)
        return 1 << 20;
    if (unit(u).spreadDoubles() > 0)
        return 2;
    return n <= m_pb.dayCount ? 1 : (n + m_pb.dayCount - 1) / m_pb.dayCount;
}

void LocalSearch::prepare()
{
    m_cap.resize(m_units.list.size());
    for (size_t u = 0; u < m_units.list.size(); ++u)
        m_cap[u] = capOf(static_cast<int>(u));
    m_classesOf.assign(m_units.teacherNames.size(), {});
    for (const Unit& un : m_units.list)
        for (const int id : un.teachers)
            for (const int c : un.classes) {
                auto& classes = m_classesOf[static_cast<size_t>(id)];
                if (std::find(classes.begin(), classes.end(), c) == classes.end())
                    classes.push_back(c);
            }
    prepareRules();
}

bool LocalSearch::load(const std::vector<int>& grid)
{
    const int classes = m_pb.classCount();
    m_cell.assign(static_cast<size_t>(classes * S), -1);
    m_fixed.assign(m_cell.size(), 0);
    m_teacher.assign(static_cast<size_t>(m_units.teacherNames.size()) * static_cast<size_t>(S), 0);
    m_perDay.assign(m_units.list.size() * static_cast<size_t>(m_pb.dayCount), 0);
    m_venue.assign(m_units.venues.size() * static_cast<size_t>(S), 0);
    std::fill(m_limitCache.begin(), m_limitCache.end(), -1);
    std::fill(m_doubleCache.begin(), m_doubleCache.end(), -1);
    std::vector<int> placed(m_units.list.size(), 0);
    std::vector<char> pinned(m_cell.size(), 0);
    for (const SolverPin& pin : m_pins)
        pinned[static_cast<size_t>(pin.classIndex * S + pin.day * P + pin.period)] = 1;
    for (int c = 0; c < classes; ++c)
        for (int t = 0; t < S; ++t) {
            const int s = grid[static_cast<size_t>(c * S + t)];
            if (s <= 0)
                continue;
            const int u = m_units.unitOf[static_cast<size_t>(c)][static_cast<size_t>(s)];
            if (u == -1)
                return false;
            // A lesson outside its zones (a repair's start may have one) is
            // taken out and placed again below like a missing one; fixed
            // lessons and pinned cells stay where they were asked to be.
            const auto& fixedSlots = unit(u).fixedSlots;
            if (!inZone(u, t) && !pinned[static_cast<size_t>(c * S + t)]
                && std::find(fixedSlots.begin(), fixedSlots.end(), t) == fixedSlots.end())
                continue;
            m_cell[static_cast<size_t>(c * S + t)] = u;
            if (unit(u).classes.front() == c)
                add(u, t, 1);
        }
    for (size_t u = 0; u < m_units.list.size(); ++u) {
        for (const int t : unit(static_cast<int>(u)).fixedSlots)
            for (const int c : unit(static_cast<int>(u)).classes) {
                if (m_cell[static_cast<size_t>(c * S + t)] != static_cast<int>(u))
                    return false; // a fixed lesson the greedy could not put in its place
                m_fixed[static_cast<size_t>(c * S + t)] = 1;
            }
        for (int t = 0; t < S; ++t)
            if (m_cell[static_cast<size_t>(unit(static_cast<int>(u)).classes.front() * S + t)] == static_cast<int>(u))
                ++placed[u];
    }
    for (const SolverPin& pin : m_pins)
        m_fixed[static_cast<size_t>(pin.classIndex * S + pin.day * P + pin.period)] = 1;
    for (size_t u = 0; u < m_units.list.size(); ++u) {
        const Unit& un = m_units.list[u];
        const int id = static_cast<int>(u);
        // A free cell of the zone (in every member class).
        for (int t = 0; t < S && placed[u] < un.count; ++t) {
            bool free = inZone(id, t);
            for (const int c : un.classes)
                free = free && m_cell[static_cast<size_t>(c * S + t)] == -1;
            if (!free)
                continue;
            for (const int c : un.classes)
                m_cell[static_cast<size_t>(c * S + t)] = id;
            add(id, t, 1);
            ++placed[u];
        }
        if (placed[u] == un.count)
            continue;
        if (un.classes.size() > 1) {
            while (placed[u] < un.count && makeRoomForCombined(id))
                ++placed[u];
            if (placed[u] == un.count)
                continue;
            if (trace())
                std::fprintf(stderr, "local search: no room for a combined lesson\n");
            return false; // the exact search decides
        }
        // Else move a lesson of the class from a cell of the zone to a free cell of its own zone.
        const int c = un.classes.front();
        for (int g = 0; g < S && placed[u] < un.count; ++g) {
            const int v = m_cell[static_cast<size_t>(c * S + g)];
            if (!inZone(id, g) || v == -1 || v == id || !movable(c, g))
                continue;
            for (int f = 0; f < S; ++f) {
                if (m_cell[static_cast<size_t>(c * S + f)] != -1 || !inZone(v, f))
                    continue;
                add(v, g, -1);
                add(v, f, 1);
                m_cell[static_cast<size_t>(c * S + f)] = v;
                m_cell[static_cast<size_t>(c * S + g)] = id;
                add(id, g, 1);
                ++placed[u];
                break;
            }
        }
        if (placed[u] < un.count) {
            if (trace())
                std::fprintf(stderr, "local search: no room in the zone of a lesson\n");
            return false;
        }
    }
    return true;
}

// A slot of the combined unit's zone where each member class is free or
// holds a lesson of its own that can move to a free cell of its zone; those
// lessons move and the combined lesson takes the slot.
bool LocalSearch::makeRoomForCombined(int u)
{
    const Unit& un = unit(u);
    std::vector<std::pair<int, int>> moves; // (class, free cell) for the lesson now in the slot
    for (int t = 0; t < S; ++t) {
        if (!inZone(u, t))
            continue;
        moves.clear();
        bool room = true;
        for (const int c : un.classes) {
            const int v = m_cell[static_cast<size_t>(c * S + t)];
            if (v == -1)
                continue;
            room = !m_fixed[static_cast<size_t>(c * S + t)] && unit(v).classes.size() == 1;
            int to = -1;
            for (int f = 0; room && f < S && to == -1; ++f)
                if (m_cell[static_cast<size_t>(c * S + f)] == -1 && inZone(v, f))
                    to = f;
            room = room && to != -1;
            if (!room)
                break;
            moves.push_back({c, to});
        }
        if (!room)
            continue;
        for (const auto& [c, to] : moves) {
            const int v = m_cell[static_cast<size_t>(c * S + t)];
            add(v, t, -1);
            add(v, to, 1);
            m_cell[static_cast<size_t>(c * S + to)] = v;
            m_cell[static_cast<size_t>(c * S + t)] = -1;
        }
        for (const int c : un.classes)
            m_cell[static_cast<size_t>(c * S + t)] = u;
        add(u, t, 1);
        return true;
    }
    return false;
}

bool LocalSearch::fits(int c, int t1, int t2) const
{
    const int a = m_cell[static_cast<size_t>(c * S + t1)];
    const int b = m_cell[static_cast<size_t>(c * S + t2)];
    if (a == b)
        return false;
    return (a == -1 || inZone(a, t2)) && (b == -1 || inZone(b, t1));
}

int LocalSearch::conflictsAt(int c, int t)
{
    const int u = m_cell[static_cast<size_t>(c * S + t)];
    if (u == -1)
        return 0;
    int n = 0;
    for (const int id : unit(u).teachers)
        n += teacherAt(id, t) - 1;
    n += std::max(0, dayCount(u, t / P) - cap(u));
    if (unit(u).count > m_pb.dayCount && cap(u) < (1 << 20) && dayCount(u, t / P) > 1 && unit(u).spreadDoubles() <= 0)
        for (int d = 0; d < m_pb.dayCount; ++d)
            n += d != t / P && dayCost(u, d) > 0 && dayCount(u, d) == 0 ? 1 : 0;
    if (m_rules)
        n += ruleConflictsAt(u, t);
    return n;
}

int LocalSearch::dayCost(int u, int d)
{
    const int n = dayCount(u, d);
    const int c = cap(u);
    if (unit(u).spreadDoubles() > 0)
        return c < (1 << 20) ? doubleDayCost(u, d) : 0;
    if (n == 0 && c < (1 << 20) && unit(u).count > m_pb.dayCount && unit(u).strict[static_cast<size_t>(d)] != 0)
        return 1;
    return std::max(0, n - c);
}

int LocalSearch::teacherCost()
{
    int cost = 0;
    for (int id = 0; id < static_cast<int>(m_units.teacherNames.size()); ++id)
        for (int t = 0; t < S; ++t)
            cost += teacherCost(id, t);
    return cost;
}

int LocalSearch::totalCost()
{
    int cost = (teacherCost() + ruleCost()) * m_weight;
    for (int u = 0; u < static_cast<int>(m_units.list.size()); ++u)
        for (int d = 0; d < m_pb.dayCount; ++d)
            cost += dayCost(u, d);
    return cost;
}

LocalSearch::Cost LocalSearch::swapDelta(int c, int t1, int t2)
{
    const int a = m_cell[static_cast<size_t>(c * S + t1)];
    const int b = m_cell[static_cast<size_t>(c * S + t2)];
    const Cost before = localCost(a, b, t1, t2);
    swap(c, t1, t2);
    const Cost after = localCost(a, b, t1, t2);
    swap(c, t1, t2);
    return {after.teacher - before.teacher, after.day - before.day, after.rule - before.rule};
}

LocalSearch::Cost LocalSearch::localCost(int a, int b, int t1, int t2)
{
    Cost cost;
    for (const int u : {a, b}) {
        if (u == -1)
            continue;
        for (const int id : unit(u).teachers) {
            // A teacher of both units is counted once.
            if (u == b && a != -1 && std::count(unit(a).teachers.begin(), unit(a).teachers.end(), id))
                continue;
            cost.teacher += teacherCost(id, t1) + teacherCost(id, t2);
        }
        cost.day += dayCost(u, t1 / P);
        if (t2 / P != t1 / P)
            cost.day += dayCost(u, t2 / P);
    }
    if (m_rules)
        cost.rule = ruleCost(a, b, t1, t2);
    return cost;
}

void LocalSearch::markAll()
{
    const int cells = m_pb.classCount() * S;
    m_conflicted.assign(static_cast<size_t>(cells), 0);
    m_conflictTree.assign(static_cast<size_t>(cells) + 1, 0);
    m_conflictCount = 0;
    for (int c = 0; c < m_pb.classCount(); ++c)
        for (int t = 0; t < S; ++t)
            mark(c, t);
}

void LocalSearch::mark(int c, int t)
{
    const int i = c * S + t;
    const char now = movable(c, t) && conflictsAt(c, t) > 0 ? 1 : 0;
    char& was = m_conflicted[static_cast<size_t>(i)];
    if (now == was)
        return;
    was = now;
    const int step = now ? 1 : -1;
    m_conflictCount += step;
    for (int j = i + 1; j < static_cast<int>(m_conflictTree.size()); j += j & -j)
        m_conflictTree[static_cast<size_t>(j)] += step;
}

void LocalSearch::markAfterSwap(int c, int t1, int t2)
{
    for (int t = 0; t < S; ++t)
        mark(c, t);
    // The two slots change only for the two units' teachers (and venues).
    std::vector<int>& classes = m_touched;
    classes.clear();
    bool everyClass = false;
    bool wholeWeek = false;
    for (const int t : {t1, t2}) {
        const int u = m_cell[static_cast<size_t>(c * S + t)];
        if (u == -1)
            continue;
        everyClass = everyClass || (m_rules && !m_venuesOf[static_cast<size_t>(u)].empty());
        for (const int id : unit(u).teachers) {
            wholeWeek = wholeWeek || (m_rules && m_units.limits[static_cast<size_t>(id)].any());
            for (const int k : m_classesOf[static_cast<size_t>(id)])
                if (k != c && std::find(classes.begin(), classes.end(), k) == classes.end())
                    classes.push_back(k);
        }
    }
    if (everyClass) {
        for (int k = 0; k < m_pb.classCount(); ++k) {
            mark(k, t1);
            mark(k, t2);
        }
    }
    for (const int k : classes) {
        if (wholeWeek) { // a teacher's limits span the week
            for (int t = 0; t < S; ++t)
                mark(k, t);
        } else {
            mark(k, t1);
            mark(k, t2);
        }
    }
}

bool LocalSearch::flagsMatchScan()
{
    for (int c = 0; c < m_pb.classCount(); ++c)
        for (int t = 0; t < S; ++t)
            if (m_conflicted[static_cast<size_t>(c * S + t)] != (movable(c, t) && conflictsAt(c, t) > 0 ? 1 : 0))
                return false;
    return true;
}

// The k-th conflicted cell (from 0) in cell order.
int LocalSearch::conflictedAt(int k) const
{
    int pos = 0;
    int step = 1;
    while (step * 2 < static_cast<int>(m_conflictTree.size()))
        step *= 2;
    for (; step > 0; step /= 2) {
        const int next = pos + step;
        if (next < static_cast<int>(m_conflictTree.size()) && m_conflictTree[static_cast<size_t>(next)] <= k) {
            pos = next;
            k -= m_conflictTree[static_cast<size_t>(next)];
        }
    }
    return pos; // the tree is 1-based: position pos + 1 holds cell pos
}

void LocalSearch::swap(int c, int t1, int t2)
{
    const size_t i1 = static_cast<size_t>(c * S + t1);
    const size_t i2 = static_cast<size_t>(c * S + t2);
    const int a = m_cell[i1];
    const int b = m_cell[i2];
    if (a != -1) { add(a, t1, -1); add(a, t2, 1); }
    if (b != -1) { add(b, t2, -1); add(b, t1, 1); }
    m_cell[i1] = b;
    m_cell[i2] = a;
}

} // namespace SolverDetail
