#include "engine/solver/SatModel.h"

#include <algorithm>

namespace SolverDetail {

std::vector<int> SatModel::hardAssumptions() const
{
    std::vector<int> lits;
    for (const Selector& s : m_selectors)
        if (s.kind == Selector::Kind::Fixed || s.kind == Selector::Kind::Pin)
            lits.push_back(s.lit);
    return lits;
}

void SatModel::build(const SolverRequest& request, std::uint32_t seed)
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
                if ((zone[static_cast<size_t>(d)] & bit) || (unit.off[static_cast<size_t>(d)] & bit)
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

    addPeriodsOff();

    // Each unit exactly its weekly count. With spread that must hold, the
    // count is kept day by day: a day holds at most one lesson (or, with
    // more lessons than days, between one and its share), and the week
    // adds up small per-day counts. That propagates far better than one
    // count over every slot of the week, and the model is a third smaller.
    const bool hardSpread = m_level.spread && !m_level.explain;
    for (size_t u = 0; u < unitCount; ++u) {
        const int n = m_units.list[u].count;
        if (hardSpread && m_units.list[u].spreadDoubles() > 0 && !m_units.list[u].spreadFixed) {
            addDoubleSpread(static_cast<int>(u));
            m_cnf.exactly(lessonVars(static_cast<int>(u), 0, D), n);
            continue;
        }
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

    addTeacherLimits(busyIn);
    addVenueCaps();
    addDoubleLessons();

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

void SatModel::addSlotCounts(const std::vector<std::vector<int>>& busyIn)
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

std::vector<int> SatModel::lessonVars(int u, int fromDay, int toDay) const
{
    std::vector<int> lits;
    const int P = m_pb.periodCount;
    for (int t = fromDay * P; t < toDay * P; ++t)
        if (const int v = x(u, t))
            lits.push_back(v);
    return lits;
}

} // namespace SolverDetail
