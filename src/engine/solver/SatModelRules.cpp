#include "engine/solver/SatModel.h"

#include <algorithm>

// The scheduling rules in the SAT model. Each is a hard constraint; in the
// explaining model each teacher's periods off, each teacher's limits, each
// venue cap and each unit's double lessons stand under a selector of their
// own, so that an explanation can name them.

namespace SolverDetail {

// A teacher's periods off: the slots there are closed to their units, even
// to a fixed lesson or a pinned cell (which then cannot hold).
void SatModel::addPeriodsOff()
{
    const int S = m_pb.slotCount();
    const int P = m_pb.periodCount;
    std::vector<int> guards(m_units.teacherOff.size(), 0);
    for (size_t u = 0; u < m_units.list.size(); ++u) {
        const Unit& unit = m_units.list[u];
        for (int t = 0; t < S; ++t) {
            const int lit = x(static_cast<int>(u), t);
            const std::uint16_t bit = static_cast<std::uint16_t>(1u << (t % P));
            if (!lit || !(unit.off[static_cast<size_t>(t / P)] & bit))
                continue;
            for (const int id : unit.teachers) {
                if (!(m_units.teacherOff[static_cast<size_t>(id)][static_cast<size_t>(t / P)] & bit))
                    continue;
                int& guard = guards[static_cast<size_t>(id)];
                if (m_level.explain && guard == 0)
                    guard = selector(Selector::Kind::TeacherOff, id);
                m_cnf.clause({-lit}, guard);
            }
        }
    }
}

// Lessons a day, working days a week and lessons in a row (within a half
// day) over the teacher's busy literals.
void SatModel::addTeacherLimits(const std::vector<std::vector<int>>& busyIn)
{
    const int P = m_pb.periodCount;
    const int D = m_pb.dayCount;
    for (size_t id = 0; id < m_units.limits.size() && id < busyIn.size(); ++id) {
        const SolverUnits::TeacherLimit& limit = m_units.limits[id];
        if (!limit.any())
            continue;
        const int guard = guardFor(Selector::Kind::TeacherLimit, static_cast<int>(id));
        std::vector<int> working;
        for (int d = 0; d < D; ++d) {
            std::vector<int> day;
            for (int p = 0; p < P; ++p)
                if (const int b = busyIn[id][static_cast<size_t>(d * P + p)])
                    day.push_back(b);
            if (day.empty())
                continue;
            if (limit.perDay > 0 && static_cast<int>(day.size()) > limit.perDay)
                m_cnf.atMost(day, limit.perDay, guard);
            if (limit.daysPerWeek > 0)
                working.push_back(m_cnf.anyOf(day));
            if (limit.inARow > 0)
                for (int first = 0; first + limit.inARow < P; ++first) {
                    const int last = first + limit.inARow;
                    if (m_units.half(first) != m_units.half(last))
                        continue;
                    std::vector<int> window;
                    for (int p = first; p <= last; ++p)
                        if (const int b = busyIn[id][static_cast<size_t>(d * P + p)])
                            window.push_back(-b);
                    if (static_cast<int>(window.size()) == limit.inARow + 1)
                        m_cnf.clause(window, guard);
                }
        }
        if (limit.daysPerWeek > 0 && static_cast<int>(working.size()) > limit.daysPerWeek)
            m_cnf.atMost(working, limit.daysPerWeek, guard);
    }
}

void SatModel::addVenueCaps()
{
    const int S = m_pb.slotCount();
    for (size_t v = 0; v < m_units.venues.size(); ++v) {
        const SolverUnits::VenueCap& venue = m_units.venues[v];
        const int guard = guardFor(Selector::Kind::Venue, static_cast<int>(v));
        for (int t = 0; t < S; ++t) {
            std::vector<int> lits;
            for (const auto& [u, classes] : venue.units)
                if (const int lit = x(u, t))
                    lits.insert(lits.end(), static_cast<size_t>(classes), lit);
            if (static_cast<int>(lits.size()) > venue.cap)
                m_cnf.atMost(lits, venue.cap, guard);
        }
    }
}

// At least n double periods (pairs of adjacent periods of one half, a pair
// sharing no period with another), or never two lessons side by side.
void SatModel::addDoubleLessons()
{
    const int P = m_pb.periodCount;
    const int D = m_pb.dayCount;
    for (size_t u = 0; u < m_units.list.size(); ++u) {
        const Unit& unit = m_units.list[u];
        if (unit.doubles < 0)
            continue;
        const int guard = guardFor(Selector::Kind::Double, static_cast<int>(u));
        std::vector<int> pairs;
        for (int d = 0; d < D; ++d) {
            int previous = 0; // the pair ending on this period, to keep pairs apart
            for (int p = 0; p + 1 < P; ++p) {
                const int a = x(static_cast<int>(u), d * P + p);
                const int b = x(static_cast<int>(u), d * P + p + 1);
                if (!a || !b || m_units.half(p) != m_units.half(p + 1)) {
                    previous = 0;
                    continue;
                }
                if (unit.doubles == 0) {
                    m_cnf.clause({-a, -b}, guard);
                    continue;
                }
                const int pair = m_cnf.newVar();
                m_cnf.clause({-pair, a});
                m_cnf.clause({-pair, b});
                if (previous)
                    m_cnf.clause({-pair, -previous});
                previous = pair;
                pairs.push_back(pair);
            }
        }
        if (unit.doubles > 0) {
            if (static_cast<int>(pairs.size()) < unit.doubles)
                m_cnf.clause(std::vector<int>{}, guard);
            else
                m_cnf.atLeast(pairs, unit.doubles, guard);
        }
    }
}

// Spread with double lessons: a day holds one lesson or one double period.
// As the double periods asked for are at least as many as the days holding
// two, those days number exactly the doubles, and the days taught exactly the
// lessons less the doubles: both counted over the days, which propagates far
// better than the week's count over every slot.
void SatModel::addDoubleSpread(int u)
{
    const int P = m_pb.periodCount;
    const int doubles = m_units.list[static_cast<size_t>(u)].doubles;
    std::vector<int> once;  // a day holding a lesson
    std::vector<int> twice; // a day holding two
    for (int d = 0; d < m_pb.dayCount; ++d) {
        const std::vector<int> lits = lessonVars(u, d, d + 1);
        if (lits.size() == 1)
            once.push_back(lits.front());
        if (lits.size() < 2)
            continue;
        m_cnf.atMost(lits, 2);
        const std::vector<int> atLeast = m_cnf.countUpTo(lits, 2);
        once.push_back(atLeast[0]);
        if (atLeast.size() > 1 && atLeast[1] != 0)
            twice.push_back(atLeast[1]);
        for (int p = 0; p < P; ++p)
            for (int q = p + 1; q < P; ++q) {
                if (q == p + 1 && m_units.half(p) == m_units.half(q))
                    continue;
                const int a = x(u, d * P + p);
                const int b = x(u, d * P + q);
                if (a && b)
                    m_cnf.clause({-a, -b});
            }
    }
    m_cnf.exactly(twice, doubles);
    m_cnf.exactly(once, m_units.list[static_cast<size_t>(u)].count - doubles);
}

} // namespace SolverDetail
