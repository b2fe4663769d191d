#pragma once

#include "engine/solver/SolverCommon.h"
#include "engine/solver/TimetableSolver.h"

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

// The quick way to a timetable: a greedy start, then a local search that
// mends it by swapping cells. Answers easy schools before any model is built.
namespace SolverDetail {

// A quick greedy timetable: phases for the search, and the best answer
// when the budget runs out.
std::vector<int> greedyTimetable(const SolverProblem& pb, const Units& units, std::uint32_t seed, bool spread);

// Local search: the greedy timetable completed, then teacher clashes
// and crowded days taken out by swapping two cells of one class, the move
// that removes most conflicts first, a moved lesson not moved straight back.
// Combined lessons and fixed lessons stay where the greedy put them. Answers
// easy schools in milliseconds; returns true when nothing is left to mend.
// A teacher clash weighs `teacherWeight` crowded days (at least two where
// the school has scheduling rules). Along the way it keeps
// the clash-free timetable with the fewest spread faults it passed through:
// where the spread cannot hold in full, that is the answer to polish.
class LocalSearch
{
public:
    // A clash or broken rule weighing this many spread faults: the search
    // clears them before it spreads.
    static constexpr int kSettleWeight = 1000;

    LocalSearch(const SolverProblem& pb, const Units& units, std::uint32_t seed, bool spread,
                const std::vector<SolverPin>& pins = {}, int teacherWeight = 1)
        : m_pins(pins)
        , m_pb(pb)
        , m_units(units)
        , m_random(seed ^ 0x9e3779b9u)
        , m_spread(spread)
        , m_weight(teacherWeight)
        , S(pb.slotCount())
        , P(pb.periodCount)
    {
        prepare();
    }

    // The clash-free timetable with the fewest spread faults met during the
    // last run (empty when every one had a clash), and its spread cost.
    const std::vector<int>& cleanGrid() const { return m_cleanGrid; }
    int cleanSpreadCost() const { return m_cleanCost; }

    bool run(std::vector<int>& grid, std::int64_t iterations, const std::function<bool()>& stop);
    // The spread faults of a timetable as the search counts them (lessons
    // out of their zones are first placed again, as a run does); a very large
    // number when it cannot be loaded.
    int spreadCost(const std::vector<int>& grid);
    // A clash-free `grid` moved back towards `start` (same shape, subjects),
    // swap by swap: a swap that puts a cell's lesson of the start back is
    // made when it adds no clash, breaks no rule and keeps the spread faults
    // within `spreadLimit`. Returns the cells put back.
    int putBack(std::vector<int>& grid, const std::vector<int>& start, int spreadLimit);
    // Stop as soon as a clash-free timetable costs no more than `cost`: where
    // counting shows the spread must fall that far short, nothing better exists.
    void stopAtCleanCost(int cost) { m_enough = cost; }
    // Iterations without a better timetable before the search gives up.
    void setPatience(std::int64_t iterations) { m_patience = iterations; }

private:
    struct Cost
    {
        int teacher = 0; // lessons beyond one per teacher and slot
        int day = 0;     // spread faults
        int rule = 0;    // what breaks the scheduling rules (weighs like a clash)
        int weighted(int teacherWeight) const { return (teacher + rule) * teacherWeight + day; }
    };

    std::vector<int> gridOf(const std::vector<int>& cells) const;
    const Unit& unit(int u) const { return m_units.list[static_cast<size_t>(u)]; }
    // Lessons a day may hold with the spread (very many without it).
    int cap(int u) const { return m_cap[static_cast<size_t>(u)]; }
    int capOf(int u) const;
    void prepare();
    int& teacherAt(int id, int t) { return m_teacher[static_cast<size_t>(id * S + t)]; }
    int& dayCount(int u, int d) { return m_perDay[static_cast<size_t>(u * m_pb.dayCount + d)]; }

    // Fills the cells from the greedy timetable and puts every lesson left
    // out into a free cell of its zone; false when one finds none.
    bool load(const std::vector<int>& grid);
    // Places one more lesson of combined unit `u`, moving lessons of its
    // member classes out of the way; false when no slot of its zone allows it.
    bool makeRoomForCombined(int u);

    bool inZone(int u, int t) const
    {
        return (unit(u).strict[static_cast<size_t>(t / P)] >> (t % P)) & 1u;
    }
    void add(int u, int t, int sign)
    {
        for (const int id : unit(u).teachers)
            teacherAt(id, t) += sign;
        dayCount(u, t / P) += sign;
        if (m_rules) {
            for (const auto& [v, classes] : m_venuesOf[static_cast<size_t>(u)])
                m_venue[static_cast<size_t>(v * S + t)] += sign * classes;
            for (const int id : unit(u).teachers)
                m_limitCache[static_cast<size_t>(id)] = -1;
            m_doubleCache[static_cast<size_t>(u)] = -1;
        }
    }
    bool movable(int c, int t) const
    {
        const size_t i = static_cast<size_t>(c * S + t);
        return !m_fixed[i] && (m_cell[i] == -1 || unit(m_cell[i]).classes.size() == 1);
    }
    // Can the lessons of (c, t1) and (c, t2) change places within their zones?
    bool fits(int c, int t1, int t2) const;
    int conflictsAt(int c, int t);
    int teacherCost(int id, int t) { return std::max(0, teacherAt(id, t) - 1); }
    // Lessons beyond the day's share, or (more lessons than days) a day of
    // the zone without one.
    int dayCost(int u, int d);
    int teacherCost();
    int totalCost();
    // The spread faults of the timetable loaded (its cost less clashes and rules).
    int loadedSpreadCost();
    // Cost after minus cost before of swapping the two cells.
    Cost swapDelta(int c, int t1, int t2);
    Cost localCost(int a, int b, int t1, int t2);
    void swap(int c, int t1, int t2);

    // The movable cells with a conflict, kept up to date move by move (a
    // scan of every cell per move dominated large schools). A Fenwick tree
    // over the cells' flags picks the k-th one in cell order, so the
    // search takes the same steps as with a fresh scan.
    void markAll();
    void mark(int c, int t);
    // After swapping cells t1 and t2 of class c: what the move can have
    // changed (those two slots in every class, class c, and the classes of
    // a teacher with limits of either unit).
    void markAfterSwap(int c, int t1, int t2);
    int conflictedAt(int k) const;
    // What the flags should be, from a scan of every cell (checked after
    // each move in debug builds).
    bool flagsMatchScan();

    // The scheduling rules (LocalSearchRules.cpp): a teacher's limits over
    // the week, a venue's classes beyond its cap in a slot, a unit's double
    // lessons missing (or lessons side by side when never doubled).
    void prepareRules();
    int limitCost(int id);
    int venueCost(int v, int t) const;
    int doubleCost(int u);
    // With double lessons and spread: more than two lessons a day, or two apart.
    int doubleDayCost(int u, int d) const;
    int ruleCost();
    int ruleCost(int a, int b, int t1, int t2);
    int ruleConflictsAt(int u, int t);
    // Where the spread (or a rule) cannot hold in full, a search weighing
    // clashes and broken rules little more than spread faults can settle on
    // a few of each: searched again from there with them weighing far more,
    // for a clash-free timetable keeping every rule (its clean grid), which
    // polishing then spreads further. True when that one is spread as well.
    static constexpr std::int64_t kSettlePatience = 1000;
    bool settle(std::vector<int>& grid, std::int64_t iterations, const std::function<bool()>& stop);

    std::vector<SolverPin> m_pins;
    const SolverProblem& m_pb;
    const Units& m_units;
    std::mt19937 m_random;
    bool m_spread;
    int m_weight;
    const int S;
    const int P;
    std::vector<int> m_cell;     // class x slot -> unit, -1 free
    std::vector<char> m_fixed;   // cells of fixed lessons
    std::vector<int> m_teacher;  // teacher x slot -> lessons
    std::vector<int> m_perDay;   // unit x day -> lessons
    std::vector<int> m_tabuUnit; // cell -> unit that left it
    std::vector<int> m_cleanGrid;
    int m_cleanCost = 1 << 30;
    int m_enough = 0;
    std::int64_t m_patience = 4000;
    bool m_rules = false;
    std::vector<int> m_venue;                                    // venue x slot -> classes
    std::vector<std::vector<std::pair<int, int>>> m_venuesOf;    // unit -> (venue, classes)
    std::vector<int> m_limitCache;  // teacher -> limitCost, -1 when to be counted again
    std::vector<int> m_doubleCache; // unit -> doubleCost, -1 when to be counted again
    std::vector<int> m_cap;                    // unit -> cap()
    std::vector<std::vector<int>> m_classesOf; // teacher -> classes taught
    std::vector<int> m_touched;                // scratch: classes a move touches
    std::vector<char> m_conflicted;            // cell -> movable and in conflict
    std::vector<int> m_conflictTree;           // Fenwick tree over m_conflicted
    int m_conflictCount = 0;
};
} // namespace SolverDetail
