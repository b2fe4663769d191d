#include "engine/solver/TimetableSolver.h"

#include "engine/solver/TimetableAudit.h"

#include "base/Naming.h"
#include "engine/solver/CnfBuilder.h"
#include "engine/solver/ModelSize.h"
#include "engine/solver/SolverUnits.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>
#include <random>
#include <set>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// VORLAT_SOLVER_TRACE=1 prints each search step on stderr, for tuning.
bool trace()
{
    static const bool on = qEnvironmentVariableIsSet("VORLAT_SOLVER_TRACE");
    return on;
}

using SolverUnits::buildUnits;
using SolverUnits::hasTeacher;
using SolverUnits::Unit;
using SolverUnits::Units;

// ---- Words ----------------------------------------------------------------

QString unitName(const SolverProblem& pb, const Unit& u)
{
    QStringList names;
    for (const int c : u.classes)
        names << pb.classNames[c];
    const QString subject = pb.subjectNames[u.subject - 1];
    if (names.size() == 1)
        return names.first() + QLatin1Char(' ') + subject;
    return names.join(QStringLiteral("、")) + QStringLiteral(" 合班") + subject;
}

// ---- The SAT model ---------------------------------------------------------

struct Level
{
    bool spread = true;
    bool fallback = false; // allow the union of the zones on days they share nothing
    bool explain = false;  // a selector for every group of constraints, zones included
    bool plain = false;    // the solver's default tuning (a portfolio's second kind of search)
};

// One selector of the explaining model and what it stands for.
struct Selector
{
    enum class Kind { Teacher, Fixed, Pin, SubjectZone, TeacherZone };
    Kind kind;
    int index; // teacher id, unit, fixed lesson, pin
    int lit;
};

class SatModel
{
public:
    // `interrupt` is asked now and then while the clauses are collected and
    // handed over; it throws CnfBuilder::Interrupted to give up the model.
    SatModel(const SolverProblem& pb, const Units& units, const Level& level, const SolverRequest& request,
             std::uint32_t seed, std::function<void()> interrupt)
        : m_pb(pb)
        , m_units(units)
        , m_level(level)
    {
        m_cnf.setInterrupt(std::move(interrupt));
        build(request, seed);
        m_cnf.solver();
        m_cnf.setInterrupt({});
    }

    CnfBuilder& cnf() { return m_cnf; }
    int x(int u, int t) const { return m_x[static_cast<size_t>(u)][static_cast<size_t>(t)]; }
    const std::vector<Selector>& selectors() const { return m_selectors; }
    // Selectors that must hold in every solve (fixed lessons and pins).
    std::vector<int> hardAssumptions() const
    {
        std::vector<int> lits;
        for (const Selector& s : m_selectors)
            if (s.kind == Selector::Kind::Fixed || s.kind == Selector::Kind::Pin)
                lits.push_back(s.lit);
        return lits;
    }
    const std::vector<int>& pinUnits() const { return m_pinUnit; }

private:
    int selector(Selector::Kind kind, int index)
    {
        const int lit = m_cnf.newVar();
        m_selectors.push_back({kind, index, lit});
        return lit;
    }
    int guardFor(Selector::Kind kind, int index) { return m_level.explain ? selector(kind, index) : 0; }

    void build(const SolverRequest& request, std::uint32_t seed)
    {
        const int S = m_pb.slotCount();
        const int P = m_pb.periodCount;
        const int D = m_pb.dayCount;
        const size_t unitCount = m_units.list.size();
        if (!request.start.empty())
            m_cnf.set("forcephase", 1); // a repair decides every cell as the start timetable has it first
        else if (!m_level.explain && !m_level.plain)
            m_cnf.solver().configure("sat"); // tuned for finding a timetable rather than disproving one
        m_cnf.set("quiet", 1);
        m_cnf.set("seed", static_cast<int>(seed & 0x7fffffff));
        m_cnf.set("phase", 0); // most lessons are not in most slots

        // Pinned cells make their lesson's slot a forced one, like a fixed lesson.
        std::vector<std::vector<int>> forced(unitCount);
        for (size_t u = 0; u < unitCount; ++u)
            forced[u] = m_units.list[u].fixedSlots;
        m_pinUnit.assign(request.pins.size(), -1);
        for (size_t i = 0; i < request.pins.size(); ++i) {
            const SolverPin& pin = request.pins[i];
            const int t = pin.day * P + pin.period;
            const int s = request.start[static_cast<size_t>(pin.classIndex * S + t)];
            if (s <= 0)
                continue;
            const int u = m_units.unitOf[static_cast<size_t>(pin.classIndex)][static_cast<size_t>(s)];
            m_pinUnit[i] = u;
            if (u != -1 && std::find(forced[static_cast<size_t>(u)].begin(), forced[static_cast<size_t>(u)].end(), t)
                    == forced[static_cast<size_t>(u)].end())
                forced[static_cast<size_t>(u)].push_back(t);
        }

        // Variables: one per unit and allowed slot (every slot when explaining).
        m_x.assign(unitCount, std::vector<int>(static_cast<size_t>(S), 0));
        std::vector<int> subjectZoneGuard(unitCount, 0);
        std::vector<int> teacherZoneGuard(static_cast<size_t>(m_units.teacherNames.size()), 0);
        for (size_t u = 0; u < unitCount; ++u) {
            const Unit& unit = m_units.list[u];
            const auto& zone = m_level.fallback ? unit.fallback : unit.strict;
            for (int t = 0; t < S; ++t) {
                const bool inZone = (zone[static_cast<size_t>(t / P)] >> (t % P)) & 1u;
                const bool isForced = std::find(forced[u].begin(), forced[u].end(), t) != forced[u].end();
                if (inZone || isForced || m_level.explain)
                    m_x[u][static_cast<size_t>(t)] = m_cnf.newVar();
            }
        }
        // Explaining: slots outside the zones are forbidden only under the
        // selector of the zone that excludes them.
        if (m_level.explain) {
            for (size_t u = 0; u < unitCount; ++u) {
                const Unit& unit = m_units.list[u];
                for (int t = 0; t < S; ++t) {
                    const int d = t / P;
                    const std::uint16_t bit = static_cast<std::uint16_t>(1u << (t % P));
                    const auto& zone = m_level.fallback ? unit.fallback : unit.strict;
                    if ((zone[static_cast<size_t>(d)] & bit)
                        || std::find(forced[u].begin(), forced[u].end(), t) != forced[u].end())
                        continue;
                    const int lit = m_x[u][static_cast<size_t>(t)];
                    bool bySubject = false;
                    std::vector<int> byTeacher;
                    for (const int c : unit.classes) {
                        const std::uint16_t sz = m_pb.subjectZone(c, unit.subject, d) & m_pb.fullDay();
                        const std::uint16_t tz = m_pb.teacherZone(c, unit.subject, d) & m_pb.fullDay();
                        const bool shared = (sz & tz) != 0 || !m_level.fallback;
                        const bool outS = !(sz & bit);
                        const bool outT = !(tz & bit);
                        if (shared ? !(outS || outT) : !(outS && outT))
                            continue;
                        if (outS)
                            bySubject = true;
                        if (outT) {
                            const QString& name = m_pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(unit.subject)];
                            const int id = hasTeacher(name) ? static_cast<int>(m_units.teacherNames.indexOf(name)) : -1;
                            if (id >= 0)
                                byTeacher.push_back(id);
                            else
                                bySubject = true;
                        }
                        if (!outS && !outT)
                            bySubject = true;
                    }
                    if (bySubject) {
                        if (subjectZoneGuard[u] == 0)
                            subjectZoneGuard[u] = selector(Selector::Kind::SubjectZone, static_cast<int>(u));
                        m_cnf.clause({-lit}, subjectZoneGuard[u]);
                    }
                    for (const int id : byTeacher) {
                        if (teacherZoneGuard[static_cast<size_t>(id)] == 0)
                            teacherZoneGuard[static_cast<size_t>(id)] = selector(Selector::Kind::TeacherZone, id);
                        m_cnf.clause({-lit}, teacherZoneGuard[static_cast<size_t>(id)]);
                    }
                }
            }
        }

        // Each unit exactly its weekly count. With spread that must hold, the
        // count is kept day by day: a day holds at most one lesson (or, with
        // more lessons than days, between one and its share), and the week
        // adds up small per-day counts. That propagates far better than one
        // count over every slot of the week, and the model is a third smaller.
        const bool hardSpread = m_level.spread && !m_level.explain;
        for (size_t u = 0; u < unitCount; ++u) {
            const int n = m_units.list[u].count;
            if (hardSpread && n >= 2 && !m_units.list[u].spreadFixed) {
                const int share = (n + D - 1) / D;
                std::vector<int> counted;
                for (int d = 0; d < D; ++d) {
                    const std::vector<int> lits = lessonVars(static_cast<int>(u), d, d + 1);
                    if (lits.empty())
                        continue;
                    if (share == 1) {
                        m_cnf.atMost(lits, 1);
                        counted.push_back(m_cnf.anyOf(lits));
                        continue;
                    }
                    // atLeast[j]: the day holds more than j lessons.
                    const std::vector<int> atLeast = m_cnf.countUpTo(lits, share + 1);
                    m_cnf.clause({atLeast[0]});
                    if (const int beyond = atLeast[static_cast<size_t>(share)])
                        m_cnf.clause({-beyond});
                    for (int j = 0; j < share; ++j)
                        if (atLeast[static_cast<size_t>(j)] != 0)
                            counted.push_back(atLeast[static_cast<size_t>(j)]);
                }
                m_cnf.exactly(counted, n);
                continue;
            }
            m_cnf.exactly(lessonVars(static_cast<int>(u), 0, D), n);
        }

        // One lesson per class and slot; every slot taken when the counts fill the week.
        for (int c = 0; c < m_pb.classCount(); ++c) {
            int total = 0;
            for (int s = 1; s <= SolverProblem::kSubjects; ++s)
                total += std::max(0, m_pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)]);
            for (int t = 0; t < S; ++t) {
                std::vector<int> lits;
                for (const int u : m_units.unitsOfClass[static_cast<size_t>(c)])
                    if (const int v = x(u, t))
                        lits.push_back(v);
                m_cnf.atMost(lits, 1);
                if (total == S)
                    m_cnf.clause(lits);
            }
        }

        // One lesson per teacher and slot, and (redundant, but it is what makes
        // tight schools fast) each teacher busy in exactly as many slots as
        // lessons.
        std::vector<std::vector<int>> busyIn(static_cast<size_t>(m_units.teacherNames.size()),
                                             std::vector<int>(static_cast<size_t>(S), 0));
        for (size_t id = 0; id < static_cast<size_t>(m_units.teacherNames.size()); ++id) {
            const auto& taught = m_units.unitsOfTeacher[id];
            const int guard = guardFor(Selector::Kind::Teacher, static_cast<int>(id));
            int load = 0;
            for (const int u : taught)
                load += m_units.list[static_cast<size_t>(u)].count;
            std::vector<int> busy;
            for (int t = 0; t < S; ++t) {
                std::vector<int> lits;
                for (const int u : taught)
                    if (const int v = x(u, t))
                        lits.push_back(v);
                if (lits.empty())
                    continue;
                m_cnf.atMost(lits, 1, guard);
                busy.push_back(m_cnf.anyOf(lits));
                busyIn[id][static_cast<size_t>(t)] = busy.back();
            }
            // Only where it can matter: a teacher busy in most of the slots
            // open to them.
            if ((taught.size() >= 2 && load * 10 >= static_cast<int>(busy.size()) * 6)
                || load > static_cast<int>(busy.size())) {
                const int n = static_cast<int>(busy.size());
                if (load * 2 > n) {
                    std::vector<int> idle;
                    for (const int b : busy)
                        idle.push_back(-b);
                    m_cnf.atMost(idle, n - load, guard);
                    if (load > n)
                        m_cnf.clause(std::vector<int>{}, guard);
                } else {
                    m_cnf.atLeast(busy, load, guard);
                }
            }
        }

        // Redundant as well, and what makes the tightest schools solvable: in
        // a slot every class has a lesson, so when nearly every teacher free
        // in that slot is needed, the few who may stay idle are counted.
        if (!m_level.explain)
            addSlotCounts(busyIn);

        // Spread in the explaining model (elsewhere the counts above hold it):
        // on different days when the count fits the week, otherwise every day
        // and at most ceil(n / days) a day.
        if (m_level.spread && m_level.explain) {
            for (size_t u = 0; u < unitCount; ++u) {
                const int n = m_units.list[u].count;
                if (n < 2 || m_units.list[u].spreadFixed)
                    continue;
                for (int d = 0; d < D; ++d) {
                    const std::vector<int> lits = lessonVars(static_cast<int>(u), d, d + 1);
                    if (n <= D) {
                        m_cnf.atMost(lits, 1);
                    } else if (!lits.empty()) {
                        m_cnf.clause(lits);
                        m_cnf.atMost(lits, (n + D - 1) / D);
                    }
                }
            }
        }

        // Fixed lessons and pins: a selector each, assumed on every solve.
        for (size_t i = 0; i < m_pb.fixedLessons.size(); ++i) {
            const SolverProblem::Fixed& f = m_pb.fixedLessons[i];
            if (f.classIndex < 0 || f.classIndex >= m_pb.classCount() || f.day < 0 || f.day >= D || f.period < 0
                || f.period >= P || f.subject < 1 || f.subject > SolverProblem::kSubjects)
                continue;
            const int u = m_units.unitOf[static_cast<size_t>(f.classIndex)][static_cast<size_t>(f.subject)];
            if (u == -1)
                continue;
            const int sel = selector(Selector::Kind::Fixed, static_cast<int>(i));
            m_cnf.clause({x(u, f.day * P + f.period)}, sel);
        }
        for (size_t i = 0; i < request.pins.size(); ++i) {
            const SolverPin& pin = request.pins[i];
            const int t = pin.day * P + pin.period;
            const int sel = selector(Selector::Kind::Pin, static_cast<int>(i));
            const int u = m_pinUnit[i];
            const int s = request.start[static_cast<size_t>(pin.classIndex * S + t)];
            if (s > 0 && u == -1) {
                m_cnf.clause(std::vector<int>{}, sel); // a lesson the class no longer has
            } else if (s > 0) {
                m_cnf.clause({x(u, t)}, sel);
            } else {
                for (const int v : m_units.unitsOfClass[static_cast<size_t>(pin.classIndex)])
                    if (const int lit = x(v, t))
                        m_cnf.clause({-lit}, sel);
            }
        }
    }

    // In a slot, the lessons taught number the classes when every class's
    // week is full. A teacher whose lessons are all single-class ones counts
    // once (their busy literal); combined groups, lessons of several teachers
    // and lessons without one count once per class.
    void addSlotCounts(const std::vector<std::vector<int>>& busyIn)
    {
        const int S = m_pb.slotCount();
        for (int c = 0; c < m_pb.classCount(); ++c) {
            int total = 0;
            for (int s = 1; s <= SolverProblem::kSubjects; ++s)
                total += std::max(0, m_pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)]);
            if (total != S)
                return;
        }
        const int classes = m_pb.classCount();
        std::vector<char> single(m_units.teacherNames.size(), 0);
        std::vector<char> counted(m_units.list.size(), 0);
        for (size_t id = 0; id < single.size(); ++id) {
            const auto& taught = m_units.unitsOfTeacher[id];
            single[id] = std::all_of(taught.begin(), taught.end(), [&](int u) {
                const Unit& unit = m_units.list[static_cast<size_t>(u)];
                return unit.classes.size() == 1 && unit.teachers.size() == 1;
            });
            if (single[id])
                for (const int u : taught)
                    counted[static_cast<size_t>(u)] = 1;
        }
        for (int t = 0; t < S; ++t) {
            std::vector<int> taught;
            for (size_t id = 0; id < single.size(); ++id)
                if (single[id] && busyIn[id][static_cast<size_t>(t)])
                    taught.push_back(busyIn[id][static_cast<size_t>(t)]);
            for (size_t u = 0; u < m_units.list.size(); ++u)
                if (!counted[u])
                    if (const int v = x(static_cast<int>(u), t))
                        taught.insert(taught.end(), m_units.list[u].classes.size(), v);
            // Worth its clauses only when at most a fifth may stay idle;
            // counted from the idle side, the counter stays small.
            const int n = static_cast<int>(taught.size());
            if ((n - classes) * 4 > classes)
                continue;
            std::vector<int> idle;
            for (const int lit : taught)
                idle.push_back(-lit);
            m_cnf.atMost(idle, n - classes);
        }
    }

    std::vector<int> lessonVars(int u, int fromDay, int toDay) const
    {
        std::vector<int> lits;
        const int P = m_pb.periodCount;
        for (int t = fromDay * P; t < toDay * P; ++t)
            if (const int v = x(u, t))
                lits.push_back(v);
        return lits;
    }

    const SolverProblem& m_pb;
    const Units& m_units;
    Level m_level;
    CnfBuilder m_cnf;
    std::vector<std::vector<int>> m_x;
    std::vector<Selector> m_selectors;
    std::vector<int> m_pinUnit;
};

// Stops CaDiCaL when the caller cancels or the wall-clock limit passes.
class StopCheck : public CaDiCaL::Terminator
{
public:
    StopCheck(const std::atomic<bool>* cancel, const std::atomic<bool>* portfolioStop, Clock::time_point deadline,
              bool hasDeadline)
        : m_cancel(cancel)
        , m_portfolioStop(portfolioStop)
        , m_deadline(deadline)
        , m_hasDeadline(hasDeadline)
    {
    }
    bool terminate() override { return stopped() || timedOut(); }
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
    bool stopped() const
    {
        return cancelled() || (m_portfolioStop && m_portfolioStop->load(std::memory_order_relaxed));
    }
    bool timedOut() const { return m_hasDeadline && Clock::now() >= m_deadline; }

private:
    const std::atomic<bool>* m_cancel;
    const std::atomic<bool>* m_portfolioStop;
    Clock::time_point m_deadline;
    bool m_hasDeadline;
};

// ---- A quick greedy timetable: phases for the search, and the best answer
// when the budget runs out.

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

// ---- Local search: the greedy timetable completed, then teacher clashes
// and crowded days taken out by swapping two cells of one class, the move
// that removes most conflicts first, a moved lesson not moved straight back.
// Combined lessons and fixed lessons stay where the greedy put them. Answers
// easy schools in milliseconds; returns true when nothing is left to mend.
// A teacher clash weighs `teacherWeight` crowded days. Along the way it keeps
// the clash-free timetable with the fewest spread faults it passed through:
// where the spread cannot hold in full, that is the answer to polish.

class LocalSearch
{
public:
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
    }

    // The clash-free timetable with the fewest spread faults met during the
    // last run (empty when every one had a clash), and its spread cost.
    const std::vector<int>& cleanGrid() const { return m_cleanGrid; }
    int cleanSpreadCost() const { return m_cleanCost; }

    bool run(std::vector<int>& grid, std::int64_t iterations, const std::function<bool()>& stop)
    {
        if (stop())
            return false;
        if (!load(grid)) {
            if (trace())
                std::fprintf(stderr, "local search: no complete start\n");
            return false;
        }
        int clashes = teacherCost();
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
        std::vector<int> conflicted;
        std::int64_t sinceBest = 0;
        for (std::int64_t it = 0; it < iterations && cost > 0 && sinceBest < 4000; ++it) {
            if (it % 16 == 15 && stop()) // an iteration of a large school scans every cell
                break;
            conflicted.clear();
            for (int c = 0; c < m_pb.classCount(); ++c)
                for (int t = 0; t < S; ++t)
                    if (movable(c, t) && conflictsAt(c, t) > 0)
                        conflicted.push_back(c * S + t);
            if (conflicted.empty())
                break;
            const int pick = conflicted[m_random() % conflicted.size()];
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
            clashes += swapDelta(c, t1, bestT).teacher;
            swap(c, t1, bestT);
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
        return best == 0;
    }

private:
    struct Cost
    {
        int teacher = 0; // lessons beyond one per teacher and slot
        int day = 0;     // spread faults
        int weighted(int teacherWeight) const { return teacher * teacherWeight + day; }
    };

    std::vector<int> gridOf(const std::vector<int>& cells) const
    {
        std::vector<int> grid(cells.size(), 0);
        for (size_t i = 0; i < cells.size(); ++i)
            grid[i] = cells[i] == -1 ? 0 : m_units.list[static_cast<size_t>(cells[i])].subject;
        return grid;
    }
    const Unit& unit(int u) const { return m_units.list[static_cast<size_t>(u)]; }
    int cap(int u) const
    {
        const int n = unit(u).count;
        if (!m_spread || n < 2 || unit(u).spreadFixed)
            return 1 << 20;
        return n <= m_pb.dayCount ? 1 : (n + m_pb.dayCount - 1) / m_pb.dayCount;
    }
    int& teacherAt(int id, int t) { return m_teacher[static_cast<size_t>(id * S + t)]; }
    int& dayCount(int u, int d) { return m_perDay[static_cast<size_t>(u * m_pb.dayCount + d)]; }

    // Fills the cells from the greedy timetable and puts every lesson left
    // out into a free cell of its zone; false when one finds none.
    bool load(const std::vector<int>& grid)
    {
        const int classes = m_pb.classCount();
        m_cell.assign(static_cast<size_t>(classes * S), -1);
        m_fixed.assign(m_cell.size(), 0);
        m_teacher.assign(static_cast<size_t>(m_units.teacherNames.size()) * static_cast<size_t>(S), 0);
        m_perDay.assign(m_units.list.size() * static_cast<size_t>(m_pb.dayCount), 0);
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

    bool inZone(int u, int t) const
    {
        return (unit(u).strict[static_cast<size_t>(t / P)] >> (t % P)) & 1u;
    }
    void add(int u, int t, int sign)
    {
        for (const int id : unit(u).teachers)
            teacherAt(id, t) += sign;
        dayCount(u, t / P) += sign;
    }
    bool movable(int c, int t) const
    {
        const size_t i = static_cast<size_t>(c * S + t);
        return !m_fixed[i] && (m_cell[i] == -1 || unit(m_cell[i]).classes.size() == 1);
    }
    // Can the lessons of (c, t1) and (c, t2) change places within their zones?
    bool fits(int c, int t1, int t2) const
    {
        const int a = m_cell[static_cast<size_t>(c * S + t1)];
        const int b = m_cell[static_cast<size_t>(c * S + t2)];
        if (a == b)
            return false;
        return (a == -1 || inZone(a, t2)) && (b == -1 || inZone(b, t1));
    }
    int conflictsAt(int c, int t)
    {
        const int u = m_cell[static_cast<size_t>(c * S + t)];
        if (u == -1)
            return 0;
        int n = 0;
        for (const int id : unit(u).teachers)
            n += teacherAt(id, t) - 1;
        n += std::max(0, dayCount(u, t / P) - cap(u));
        if (unit(u).count > m_pb.dayCount && cap(u) < (1 << 20) && dayCount(u, t / P) > 1)
            for (int d = 0; d < m_pb.dayCount; ++d)
                n += d != t / P && dayCost(u, d) > 0 && dayCount(u, d) == 0 ? 1 : 0;
        return n;
    }
    int teacherCost(int id, int t) { return std::max(0, teacherAt(id, t) - 1); }
    // Lessons beyond the day's share, or (more lessons than days) a day of
    // the zone without one.
    int dayCost(int u, int d)
    {
        const int n = dayCount(u, d);
        const int c = cap(u);
        if (n == 0 && c < (1 << 20) && unit(u).count > m_pb.dayCount && unit(u).strict[static_cast<size_t>(d)] != 0)
            return 1;
        return std::max(0, n - c);
    }
    int teacherCost()
    {
        int cost = 0;
        for (int id = 0; id < static_cast<int>(m_units.teacherNames.size()); ++id)
            for (int t = 0; t < S; ++t)
                cost += teacherCost(id, t);
        return cost;
    }
    int totalCost()
    {
        int cost = teacherCost() * m_weight;
        for (int u = 0; u < static_cast<int>(m_units.list.size()); ++u)
            for (int d = 0; d < m_pb.dayCount; ++d)
                cost += dayCost(u, d);
        return cost;
    }
    // Cost after minus cost before of swapping the two cells.
    Cost swapDelta(int c, int t1, int t2)
    {
        const int a = m_cell[static_cast<size_t>(c * S + t1)];
        const int b = m_cell[static_cast<size_t>(c * S + t2)];
        const Cost before = localCost(a, b, t1, t2);
        if (a != -1) { add(a, t1, -1); add(a, t2, 1); }
        if (b != -1) { add(b, t2, -1); add(b, t1, 1); }
        const Cost after = localCost(a, b, t1, t2);
        if (a != -1) { add(a, t2, -1); add(a, t1, 1); }
        if (b != -1) { add(b, t1, -1); add(b, t2, 1); }
        return {after.teacher - before.teacher, after.day - before.day};
    }
    Cost localCost(int a, int b, int t1, int t2)
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
        return cost;
    }
    void swap(int c, int t1, int t2)
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
};

int unplacedIn(const SolverProblem& pb, const std::vector<int>& grid)
{
    const int S = pb.slotCount();
    int missing = 0;
    for (int c = 0; c < pb.classCount(); ++c) {
        int have[SolverProblem::kSubjects + 1] = {};
        for (int t = 0; t < S; ++t) {
            const int s = grid[static_cast<size_t>(c * S + t)];
            if (s >= 1 && s <= SolverProblem::kSubjects)
                ++have[s];
        }
        for (int s = 1; s <= SolverProblem::kSubjects; ++s)
            missing += std::max(0, pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)] - have[s]);
    }
    return missing;
}

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

// ---- One search ------------------------------------------------------------

class Search
{
public:
    Search(const SolverProblem& pb, const SolverRequest& request, std::uint32_t seed,
           const std::atomic<bool>* portfolioStop, bool plain = false)
        : m_pb(pb)
        , m_request(request)
        , m_seed(seed)
        , m_plain(plain)
        , m_stop(request.cancel, portfolioStop,
                 Clock::now() + std::chrono::milliseconds(static_cast<long long>(request.timeLimitSeconds * 1000)),
                 request.timeLimitSeconds > 0)
    {
    }

    SolverOutcome run();

private:
    enum class Result { Sat, Unsat, Unknown };

    void report(const QString& stage, int best = -1, bool restoring = false)
    {
        if (m_request.progress)
            m_request.progress({stage, best, restoring});
    }
    Result solve(SatModel& model, const std::vector<int>& assumptions, std::int64_t budget)
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
    std::vector<int> gridOf(SatModel& model) const;
    // The model of a level, or none when the caller cancelled or the time
    // ran out while it was built.
    std::unique_ptr<SatModel> buildModel(const Level& level);
    void setPhases(SatModel& model, const std::vector<int>& preferred) const;
    // A lesson of the start timetable the repair tries to keep.
    struct Keep
    {
        int lit, unit, slot;
    };
    void reduceChanges(SatModel& model, const std::vector<int>& hard, const std::vector<Keep>& start,
                       std::vector<int>& grid);
    Result solveLevel(const Level& level, std::vector<int>& grid,
                      std::int64_t budgetCap = std::numeric_limits<std::int64_t>::max());
    std::vector<int> spreadFaultUnits(const std::vector<int>& grid) const;
    void polishSpread(std::vector<int>& grid);
    void noteRelaxedSpread(SolverOutcome& outcome) const;
    QStringList explain();
    void finish(SolverOutcome& outcome) const;
    QString describe(const Selector& sel) const;
    bool precheck(QStringList& explanation) const;

    const SolverProblem& m_pb;
    const SolverRequest& m_request;
    std::uint32_t m_seed;
    bool m_plain;
    StopCheck m_stop;
    Units m_units;
    std::vector<int> m_greedy;
    bool m_greedyIsLocalBest = false; // m_greedy is the local search's best: spread, but with clashes
    bool m_restoring = false;         // a repair is found; its changed cells are being put back
    std::int64_t m_budgetLeft = 0;
};

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
    int round = 0;
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
            for (size_t i = 0; i < failed.size() && i < 3; ++i) {
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
            keep.clear(); // nothing learned within the budget: solve without keeping
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
                           std::vector<int>& grid)
{
    constexpr int kRounds = 300;
    constexpr std::int64_t kConflictsPerRound = 4000;
    constexpr int kUnfinishedRounds = 4; // rounds out of conflicts before giving up
    m_restoring = true;

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
    constexpr std::array<std::pair<size_t, size_t>, 3> kBlockerPairs{{{0, 1}, {0, 2}, {1, 2}}};
    size_t pair = 0;
    while (rounds < kRounds) {
        bool improved = false;
        std::vector<int> changedIn(static_cast<size_t>(classes), 0);
        for (size_t i = 0; i < start.size(); ++i)
            if (!held[i])
                ++changedIn[static_cast<size_t>(classOf(i))];
        for (const int c : mostFirst(changedIn)) {
            if (m_stop.stopped() || m_stop.timedOut() || rounds >= kRounds)
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
            const auto [first, second] = kBlockerPairs[pair];
            if (pair > 0 && second >= ranked.size())
                continue;
            std::vector<int> group;
            for (const size_t rank : {first, second})
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
            const int fewer = model.cnf().newVar();
            model.cnf().atMost(lost, changed - 1, fewer);
            assumptions.push_back(fewer);
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
            if (r == Result::Unknown && ++unfinished >= kUnfinishedRounds)
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

QString Search::describe(const Selector& sel) const
{
    switch (sel.kind) {
    case Selector::Kind::Teacher: {
        int load = 0;
        for (const int u : m_units.unitsOfTeacher[static_cast<size_t>(sel.index)])
            load += m_units.list[static_cast<size_t>(u)].count;
        return QStringLiteral("%1老师每节只能上一节课（每周%2节）").arg(m_units.teacherNames[sel.index]).arg(load);
    }
    case Selector::Kind::Fixed: {
        const SolverProblem::Fixed& f = m_pb.fixedLessons[static_cast<size_t>(sel.index)];
        return QStringLiteral("%1 %2固定在%3%4")
            .arg(m_pb.classNames[f.classIndex], m_pb.subjectNames[f.subject - 1], DayName(f.day), PeriodName(f.period));
    }
    case Selector::Kind::Pin: {
        const SolverPin& pin = m_request.pins[static_cast<size_t>(sel.index)];
        const int s = m_request.start[static_cast<size_t>(pin.classIndex * m_pb.slotCount() + pin.day * m_pb.periodCount + pin.period)];
        if (s <= 0)
            return QStringLiteral("%1 %2%3保持空闲（手工调整）")
                .arg(m_pb.classNames[pin.classIndex], DayName(pin.day), PeriodName(pin.period));
        const QString& teacher = m_pb.teachers[static_cast<size_t>(pin.classIndex)][static_cast<size_t>(s)];
        return QStringLiteral("%1%2%3已有%4 %5（手工调整）")
            .arg(hasTeacher(teacher) ? teacher + QStringLiteral("老师") : QString(), DayName(pin.day),
                 PeriodName(pin.period), m_pb.classNames[pin.classIndex], m_pb.subjectNames[s - 1]);
    }
    case Selector::Kind::SubjectZone: {
        const Unit& unit = m_units.list[static_cast<size_t>(sel.index)];
        return QStringLiteral("%1只能排在科目时段内").arg(unitName(m_pb, unit));
    }
    case Selector::Kind::TeacherZone: {
        int slots = 0;
        for (int d = 0; d < m_pb.dayCount; ++d) {
            std::uint16_t any = 0;
            for (const int u : m_units.unitsOfTeacher[static_cast<size_t>(sel.index)])
                for (const int c : m_units.list[static_cast<size_t>(u)].classes)
                    if (m_pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(m_units.list[static_cast<size_t>(u)].subject)]
                        == m_units.teacherNames[sel.index])
                        any |= m_pb.teacherZone(c, m_units.list[static_cast<size_t>(u)].subject, d);
            slots += __builtin_popcount(any & m_pb.fullDay());
        }
        return QStringLiteral("%1老师只能排在教师时段内（共%2个时段）").arg(m_units.teacherNames[sel.index]).arg(slots);
    }
    }
    return QString();
}

// Impossibilities that need no search, worded directly.
bool Search::precheck(QStringList& explanation) const
{
    const int S = m_pb.slotCount();
    for (int c = 0; c < m_pb.classCount(); ++c) {
        int total = 0;
        for (int s = 1; s <= SolverProblem::kSubjects; ++s)
            total += std::max(0, m_pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)]);
        if (total > S)
            explanation << QStringLiteral("%1每周共%2节课，多于每周的%3个时段").arg(m_pb.classNames[c]).arg(total).arg(S);
    }
    // A teacher with more lessons than the week has slots (a combined lesson
    // counts once): no search needed, however large the school.
    int overloaded = 0;
    for (size_t id = 0; id < m_units.unitsOfTeacher.size(); ++id) {
        qint64 load = 0;
        for (const int u : m_units.unitsOfTeacher[id])
            load += m_units.list[static_cast<size_t>(u)].count;
        if (load <= S || ++overloaded > 10)
            continue;
        explanation << QStringLiteral("%1老师每周共%2节课，多于每周的%3个时段").arg(m_units.teacherNames[static_cast<qsizetype>(id)]).arg(load).arg(S);
    }
    if (overloaded > 10)
        explanation << QStringLiteral("共%1位老师的课多于每周的时段").arg(overloaded);
    return explanation.isEmpty();
}

// A smallest set of constraint groups that cannot hold together, in words.
QStringList Search::explain()
{
    report(QStringLiteral("查找原因"));
    Level level;
    level.spread = false;
    level.fallback = true;
    level.explain = true;
    const std::unique_ptr<SatModel> built = buildModel(level);
    if (!built)
        return {QStringLiteral("在限定的计算量内没有找到无法排课的具体原因")};
    SatModel& model = *built;
    std::vector<Selector> core = model.selectors();
    std::vector<int> all;
    for (const Selector& s : core)
        all.push_back(s.lit);
    if (solve(model, all, std::max<std::int64_t>(m_budgetLeft, 100000)) != Result::Unsat)
        return {QStringLiteral("在限定的计算量内没有找到无法排课的具体原因")};
    auto failedOnly = [&](const std::vector<Selector>& from) {
        std::vector<Selector> kept;
        for (const Selector& s : from)
            if (model.cnf().solver().failed(s.lit))
                kept.push_back(s);
        return kept;
    };
    core = failedOnly(core);
    // Drop one group at a time; when the rest still cannot hold, keep only
    // what that proof used.
    for (size_t i = 0; i < core.size();) {
        std::vector<Selector> trial;
        std::vector<int> lits;
        for (size_t j = 0; j < core.size(); ++j)
            if (j != i) {
                trial.push_back(core[j]);
                lits.push_back(core[j].lit);
            }
        if (m_stop.stopped() || m_stop.timedOut())
            break;
        if (solve(model, lits, 20000) == Result::Unsat) {
            core = failedOnly(trial);
            i = 0;
            continue;
        }
        ++i;
    }
    QStringList words;
    for (const Selector& s : core)
        words << describe(s);
    if (words.isEmpty())
        return {QStringLiteral("各班每周的课时与每周的时段不能对应")};
    const QString all_ = words.join(QStringLiteral("；"));
    if (words.size() == 1)
        return {all_ + QStringLiteral("；无法满足")};
    if (words.size() == 2)
        return {all_ + QStringLiteral("；二者不能同时满足")};
    return {all_ + QStringLiteral("；这%1条不能同时满足").arg(words.size())};
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

    report(QStringLiteral("初排"));
    const auto began = Clock::now();
    m_greedy = greedyTimetable(m_pb, m_units, m_seed, m_request.spread);
    if (trace())
        std::fprintf(stderr, "greedy: %d unplaced, %.3f s\n", unplacedIn(m_pb, m_greedy),
                     std::chrono::duration<double>(Clock::now() - began).count());
    if (!m_request.start.empty() && m_request.localSearch) {
        // A few hand moves usually need only a few swaps: try those first.
        std::vector<int> grid = m_request.start;
        const bool mended = LocalSearch(m_pb, m_units, m_seed, m_request.spread, m_request.pins)
                                .run(grid, 20000, [this] { return m_stop.stopped() || m_stop.timedOut(); });
        if (trace())
            std::fprintf(stderr, "repair by local search: %s\n", mended ? "solved" : "not solved");
        if (m_stop.stopped()) {
            outcome.status = SolverOutcome::Status::Cancelled;
            return outcome;
        }
        if (mended) {
            outcome.status = SolverOutcome::Status::Solved;
            outcome.grid = std::move(grid);
            noteRelaxedSpread(outcome);
            finish(outcome);
            return outcome;
        }
    }
    std::vector<int> clean; // clash-free, every lesson placed, spread short
    if (m_request.start.empty() && m_request.localSearch) {
        std::vector<int> grid = m_greedy;
        LocalSearch search(m_pb, m_units, m_seed, m_request.spread);
        const bool mended = search.run(grid, 200000, [this] { return m_stop.stopped() || m_stop.timedOut(); });
        if (m_stop.stopped()) {
            outcome.status = SolverOutcome::Status::Cancelled;
            return outcome;
        }
        if (trace())
            std::fprintf(stderr, "local search: %s, %.3f s, clean with spread cost %d\n", mended ? "solved" : "not solved",
                         std::chrono::duration<double>(Clock::now() - began).count(),
                         search.cleanGrid().empty() ? -1 : search.cleanSpreadCost());
        if (mended) {
            outcome.status = SolverOutcome::Status::Solved;
            outcome.grid = std::move(grid);
            noteRelaxedSpread(outcome);
            finish(outcome);
            return outcome;
        }
        if (m_request.spread)
            clean = search.cleanGrid();
        if (unplacedIn(m_pb, grid) == 0) {
            m_greedyIsLocalBest = true;
            m_greedy = std::move(grid); // the better partial timetable to hand back
        }
    }
    // The partial timetable built from scratch says nothing of a repair's.
    report(QStringLiteral("初排"), m_request.start.empty() ? unplacedIn(m_pb, m_greedy) : -1);

    // Levels, each looser than the one before: the spread given up (then
    // polished back as far as it goes), then the union of zones on days they
    // share nothing.
    std::vector<Level> levels;
    for (const bool fallback : {false, true}) {
        if (fallback && !m_units.fallbackDiffers)
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
                outcome.explanation = TimetableAudit::zonesSharingNothing(m_pb, outcome.grid);
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
        const int cap = unit.count <= D ? 1 : (unit.count + D - 1) / D;
        int used = 0;
        bool crowded = false;
        for (int d = 0; d < D; ++d) {
            used += perDay[static_cast<size_t>(d)] > 0 ? 1 : 0;
            crowded = crowded || perDay[static_cast<size_t>(d)] > cap;
        }
        if (crowded || used < std::min(unit.count, D))
            faults.push_back(static_cast<int>(u));
    }
    return faults;
}

// Moves lessons of a clash-free timetable within their classes to spread
// them further, never into a teacher clash.
void Search::polishSpread(std::vector<int>& grid)
{
    std::vector<int> work = grid;
    LocalSearch search(m_pb, m_units, m_seed + 1, true, {}, 1000);
    search.run(work, 200000, [this] { return m_stop.stopped() || m_stop.timedOut(); });
    if (!search.cleanGrid().empty())
        grid = search.cleanGrid();
    if (trace())
        std::fprintf(stderr, "spread polished: %d units short\n", static_cast<int>(spreadFaultUnits(grid).size()));
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

bool requestIsValid(const SolverProblem& pb, const SolverRequest& request)
{
    const size_t cells = static_cast<size_t>(pb.classCount()) * static_cast<size_t>(pb.slotCount());
    if (!request.start.empty() && request.start.size() != cells)
        return false;
    for (const SolverPin& pin : request.pins)
        if (request.start.empty() || pin.classIndex < 0 || pin.classIndex >= pb.classCount() || pin.day < 0
            || pin.day >= pb.dayCount || pin.period < 0 || pin.period >= pb.periodCount)
            return false;
    return pb.dayCount >= 1 && pb.dayCount <= SolverProblem::kDays && pb.periodCount >= 1 && pb.periodCount <= 9
        && pb.counts.size() == static_cast<size_t>(pb.classCount())
        && pb.teachers.size() == static_cast<size_t>(pb.classCount())
        && pb.subjectZones.size() == static_cast<size_t>(pb.classCount()) * SolverProblem::kSubjects * SolverProblem::kDays
        && pb.teacherZones.size() == pb.subjectZones.size();
}

} // namespace

int countZoneViolations(const SolverProblem& pb, const std::vector<int>& grid)
{
    const int S = pb.slotCount();
    const int P = pb.periodCount;
    int violations = 0;
    for (int c = 0; c < pb.classCount(); ++c)
        for (int t = 0; t < S; ++t) {
            const int s = grid[static_cast<size_t>(c * S + t)];
            if (s < 1 || s > SolverProblem::kSubjects)
                continue;
            const std::uint16_t bit = static_cast<std::uint16_t>(1u << (t % P));
            if (!(pb.subjectZone(c, s, t / P) & pb.teacherZone(c, s, t / P) & bit))
                ++violations;
        }
    return violations;
}

int countSpreadViolations(const SolverProblem& pb, const std::vector<int>& grid)
{
    const int S = pb.slotCount();
    const int P = pb.periodCount;
    int violations = 0;
    for (int c = 0; c < pb.classCount(); ++c) {
        unsigned daysOf[SolverProblem::kSubjects + 1] = {};
        for (int t = 0; t < S; ++t) {
            const int s = grid[static_cast<size_t>(c * S + t)];
            if (s >= 1 && s <= SolverProblem::kSubjects)
                daysOf[s] |= 1u << (t / P);
        }
        for (int s = 1; s <= SolverProblem::kSubjects; ++s) {
            const int n = pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)];
            if (n >= 2)
                violations += std::max(0, std::min(n, pb.dayCount) - __builtin_popcount(daysOf[s]));
        }
    }
    return violations;
}

namespace {

// Solved means every rule holds: a timetable that breaks one is handed back
// as the best found, never as solved.
SolverOutcome checked(const SolverProblem& pb, const SolverRequest& request, SolverOutcome outcome)
{
    if (outcome.status != SolverOutcome::Status::Solved)
        return outcome;
    bool pinsKept = true;
    const int S = pb.slotCount();
    for (const SolverPin& pin : request.pins) {
        const size_t i = static_cast<size_t>(pin.classIndex * S + pin.day * pb.periodCount + pin.period);
        pinsKept = pinsKept && outcome.grid.size() == request.start.size() && outcome.grid[i] == request.start[i];
    }
    if (!pinsKept || !TimetableAudit::count(pb, outcome.grid, request.pins).clean())
        outcome.status = SolverOutcome::Status::OutOfBudget;
    return outcome;
}

} // namespace

SolverOutcome solveTimetable(const SolverProblem& problem, const SolverRequest& request)
{
    if (!requestIsValid(problem, request)) {
        SolverOutcome outcome;
        outcome.status = SolverOutcome::Status::Impossible;
        outcome.explanation << QStringLiteral("课表的大小与教学计划不符");
        return outcome;
    }
    // A school whose model would not fit in memory is refused before
    // anything is built.
    const QString tooLarge = modelSizeRefusal(problem, request);
    if (trace()) {
        const ModelSize size = estimateModelSize(problem, request);
        std::fprintf(stderr, "estimate: %.0f vars, %.0f clauses, %.0f literals, %.0f MB\n", size.variables, size.clauses,
                     size.literals, size.bytes() / 1048576);
    }
    if (!tooLarge.isEmpty()) {
        if (trace())
            std::fprintf(stderr, "refused: %s\n", tooLarge.toUtf8().constData());
        SolverOutcome outcome;
        outcome.status = SolverOutcome::Status::TooLarge;
        outcome.explanation << tooLarge;
        return outcome;
    }
    const int threads = std::max(1, request.threads);
    if (threads == 1)
        return checked(problem, request, Search(problem, request, request.seed, nullptr).run());

    // Portfolio: the same school searched with different seeds; the first
    // search that settles the question stops the others.
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::vector<SolverOutcome> outcomes(static_cast<size_t>(threads));
    int winner = -1;
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i)
        workers.emplace_back([&, i] {
            SolverRequest own = request;
            own.progress = i == 0 ? request.progress : nullptr;
            // Every other search uses the solver's default tuning: on tight
            // schools the two kinds are fast on different seeds.
            SolverOutcome result
                = Search(problem, own, request.seed + static_cast<std::uint32_t>(i) * 7919u, &stop, i % 2 == 1).run();
            const std::lock_guard<std::mutex> guard(lock);
            const bool settled = result.status == SolverOutcome::Status::Solved
                || result.status == SolverOutcome::Status::Impossible;
            if (settled && winner == -1) {
                winner = i;
                stop = true;
            }
            outcomes[static_cast<size_t>(i)] = std::move(result);
        });
    for (std::thread& worker : workers)
        worker.join();
    if (winner != -1)
        return checked(problem, request, std::move(outcomes[static_cast<size_t>(winner)]));
    if (request.cancel && request.cancel->load()) {
        SolverOutcome cancelled;
        cancelled.status = SolverOutcome::Status::Cancelled;
        return cancelled;
    }
    return checked(problem, request, std::move(outcomes.front()));
}
