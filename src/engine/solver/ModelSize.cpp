#include "engine/solver/ModelSize.h"

#include "engine/solver/CnfBuilder.h"
#include "engine/solver/SolverUnits.h"
#include "engine/solver/TimetableSolver.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

using SolverUnits::Unit;
using SolverUnits::Units;

namespace {

using Shape = CnfBuilder::Size;

// The model of one level of the search, counted shape by shape as
// TimetableSolver's SatModel builds it, from the slots open to each unit.
struct LevelShape
{
    bool spread = true;
    bool fallback = false;
    bool explain = false;
};

// A unit with double lessons under spread (SatModel::addDoubleSpread): per
// day at most two lessons, the count of them, no two apart; as many days two
// as doubles and days taught as lessons less doubles.
Shape doubleSpreadSize(const Units& units, const Unit& unit, std::uint64_t open, int P, int D)
{
    Shape size;
    auto shape = [&size](const Shape& part) {
        size.variables += part.variables;
        size.clauses += part.clauses;
        size.literals += part.literals;
    };
    int once = 0;
    int twice = 0;
    for (int d = 0; d < D; ++d) {
        const int m = std::popcount(open & (((std::uint64_t{1} << P) - 1) << (d * P)));
        if (m == 1)
            ++once;
        if (m < 2)
            continue;
        shape(CnfBuilder::atMostSize(m, 2));
        shape(CnfBuilder::countUpToSize(m, 2));
        ++once;
        ++twice;
        for (int p = 0; p < P; ++p)
            for (int q = p + 1; q < P; ++q)
                if (!(q == p + 1 && units.half(p) == units.half(q)) && ((open >> (d * P + p)) & 1u)
                    && ((open >> (d * P + q)) & 1u))
                    shape({0, 1, 2});
    }
    shape(CnfBuilder::atMostSize(twice, unit.doubles));
    shape(CnfBuilder::atLeastSize(twice, unit.doubles));
    shape(CnfBuilder::atMostSize(once, unit.count - unit.doubles));
    shape(CnfBuilder::atLeastSize(once, unit.count - unit.doubles));
    return size;
}

// The scheduling rules as SatModelRules.cpp adds them: periods off, teacher
// limits over the busy literals, venue caps and double lessons; in the
// explaining model each under a selector.
Shape ruleSize(const SolverProblem& pb, const Units& units, const std::vector<std::uint64_t>& open,
               const std::vector<std::vector<char>>& busyIn, bool guarded)
{
    const int S = pb.slotCount();
    const int P = pb.periodCount;
    const int D = pb.dayCount;
    const double g = guarded ? 1 : 0;
    Shape size;
    auto shape = [&size](const Shape& part) {
        size.variables += part.variables;
        size.clauses += part.clauses;
        size.literals += part.literals;
    };
    auto isOpen = [&open](int u, int t) { return ((open[static_cast<size_t>(u)] >> t) & 1u) != 0; };

    std::vector<char> offSelector(units.teacherOff.size(), 0);
    for (size_t u = 0; u < units.list.size(); ++u) {
        const Unit& unit = units.list[u];
        for (int t = 0; t < S; ++t) {
            const std::uint16_t bit = static_cast<std::uint16_t>(1u << (t % P));
            if (!isOpen(static_cast<int>(u), t) || !(unit.off[static_cast<size_t>(t / P)] & bit))
                continue;
            for (const int id : unit.teachers) {
                if (!(units.teacherOff[static_cast<size_t>(id)][static_cast<size_t>(t / P)] & bit))
                    continue;
                if (guarded && !offSelector[static_cast<size_t>(id)]) {
                    offSelector[static_cast<size_t>(id)] = 1;
                    size.variables += 1;
                }
                shape({0, 1, 1 + g});
            }
        }
    }

    for (size_t id = 0; id < units.limits.size() && id < busyIn.size(); ++id) {
        const SolverUnits::TeacherLimit& limit = units.limits[id];
        if (!limit.any())
            continue;
        size.variables += g;
        int working = 0;
        for (int d = 0; d < D; ++d) {
            int day = 0;
            for (int p = 0; p < P; ++p)
                day += busyIn[id][static_cast<size_t>(d * P + p)] ? 1 : 0;
            if (day == 0)
                continue;
            if (limit.perDay > 0 && day > limit.perDay)
                shape(CnfBuilder::atMostSize(day, limit.perDay, guarded));
            if (limit.daysPerWeek > 0) {
                shape(CnfBuilder::anyOfSize(day));
                ++working;
            }
            if (limit.inARow > 0)
                for (int first = 0; first + limit.inARow < P; ++first) {
                    const int last = first + limit.inARow;
                    if (units.half(first) != units.half(last))
                        continue;
                    int window = 0;
                    for (int p = first; p <= last; ++p)
                        window += busyIn[id][static_cast<size_t>(d * P + p)] ? 1 : 0;
                    if (window == limit.inARow + 1)
                        shape({0, 1, window + g});
                }
        }
        if (limit.daysPerWeek > 0 && working > limit.daysPerWeek)
            shape(CnfBuilder::atMostSize(working, limit.daysPerWeek, guarded));
    }

    for (const SolverUnits::VenueCap& venue : units.venues) {
        size.variables += g;
        for (int t = 0; t < S; ++t) {
            int lits = 0;
            for (const auto& [u, classes] : venue.units)
                lits += isOpen(u, t) ? classes : 0;
            if (lits > venue.cap)
                shape(CnfBuilder::atMostSize(lits, venue.cap, guarded));
        }
    }

    for (size_t u = 0; u < units.list.size(); ++u) {
        const Unit& unit = units.list[u];
        if (unit.doubles < 0)
            continue;
        size.variables += g;
        int pairs = 0;
        for (int d = 0; d < D; ++d) {
            bool previous = false;
            for (int p = 0; p + 1 < P; ++p) {
                if (!isOpen(static_cast<int>(u), d * P + p) || !isOpen(static_cast<int>(u), d * P + p + 1)
                    || units.half(p) != units.half(p + 1)) {
                    previous = false;
                    continue;
                }
                if (unit.doubles == 0) {
                    shape({0, 1, 2 + g});
                    continue;
                }
                shape({1, 2, 4});
                if (previous)
                    shape({0, 1, 2});
                previous = true;
                ++pairs;
            }
        }
        if (unit.doubles > 0) {
            if (pairs < unit.doubles)
                shape({0, 1, g});
            else
                shape(CnfBuilder::atLeastSize(pairs, unit.doubles, guarded));
        }
    }
    return size;
}

Shape levelSize(const SolverProblem& pb, const Units& units, const SolverRequest& request, const LevelShape& level)
{
    const int S = pb.slotCount();
    const int P = pb.periodCount;
    const int D = pb.dayCount;
    const size_t unitCount = units.list.size();
    Shape size;
    auto shape = [&size](const Shape& part, double times = 1) {
        size.variables += part.variables * times;
        size.clauses += part.clauses * times;
        size.literals += part.literals * times;
    };
    auto clauseOf = [&](double lits, double times = 1) { shape({0, 1, lits}, times); };

    // The slots each unit has a variable in: its zone, the slots its fixed
    // lessons and pinned cells force, every slot when explaining.
    std::vector<std::uint64_t> open(unitCount, 0);
    const std::uint64_t all = S >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << S) - 1;
    for (size_t u = 0; u < unitCount; ++u) {
        const Unit& unit = units.list[u];
        const auto& zone = level.fallback ? unit.fallback : unit.strict;
        std::uint64_t mask = 0;
        for (int d = 0; d < D; ++d)
            mask |= static_cast<std::uint64_t>(zone[static_cast<size_t>(d)] & pb.fullDay()) << (d * P);
        for (const int t : unit.fixedSlots)
            mask |= std::uint64_t{1} << t;
        open[u] = level.explain ? all : mask;
        // A guarded unit clause for each slot outside the zones, but for the
        // periods off, which their own rule closes.
        std::uint64_t off = 0;
        for (int d = 0; d < D; ++d)
            off |= static_cast<std::uint64_t>(unit.off[static_cast<size_t>(d)] & pb.fullDay()) << (d * P);
        if (level.explain)
            clauseOf(2, std::popcount(all & ~(mask | off)));
    }
    for (const SolverPin& pin : request.pins) {
        const int t = pin.day * P + pin.period;
        const int s = request.start[static_cast<size_t>(pin.classIndex * S + t)];
        const int u = s > 0 ? units.unitOf[static_cast<size_t>(pin.classIndex)][static_cast<size_t>(s)] : -1;
        if (u != -1)
            open[static_cast<size_t>(u)] |= std::uint64_t{1} << t;
    }
    for (size_t u = 0; u < unitCount; ++u)
        size.variables += std::popcount(open[u]);
    if (level.explain)
        size.variables += static_cast<double>(unitCount + static_cast<size_t>(units.teacherNames.size()));
    auto slotsOf = [&](int u, int fromDay, int toDay) {
        const std::uint64_t days = ((std::uint64_t{1} << ((toDay - fromDay) * P)) - 1) << (fromDay * P);
        return std::popcount(open[static_cast<size_t>(u)] & days);
    };

    // Each unit's weekly count, day by day where the spread must hold.
    const bool hardSpread = level.spread && !level.explain;
    for (size_t u = 0; u < unitCount; ++u) {
        const int n = units.list[u].count;
        if (hardSpread && units.list[u].spreadDoubles() > 0 && !units.list[u].spreadFixed) {
            shape(doubleSpreadSize(units, units.list[u], open[u], P, D));
            shape(CnfBuilder::atMostSize(slotsOf(static_cast<int>(u), 0, D), n));
            shape(CnfBuilder::atLeastSize(slotsOf(static_cast<int>(u), 0, D), n));
            continue;
        }
        if (hardSpread && n >= 2 && !units.list[u].spreadFixed) {
            const int share = (n + D - 1) / D;
            int counted = 0;
            for (int d = 0; d < D; ++d) {
                const int m = slotsOf(static_cast<int>(u), d, d + 1);
                if (m == 0)
                    continue;
                if (share == 1) {
                    shape(CnfBuilder::atMostSize(m, 1));
                    shape(CnfBuilder::anyOfSize(m));
                    ++counted;
                    continue;
                }
                shape(CnfBuilder::countUpToSize(m, share + 1));
                clauseOf(1, m > share ? 2 : 1);
                counted += std::min(share, m);
            }
            shape(CnfBuilder::atMostSize(counted, n));
            shape(CnfBuilder::atLeastSize(counted, n));
            continue;
        }
        const int m = slotsOf(static_cast<int>(u), 0, D);
        shape(CnfBuilder::atMostSize(m, n));
        shape(CnfBuilder::atLeastSize(m, n));
    }

    // One lesson per class and slot.
    bool everyWeekFull = true;
    for (int c = 0; c < pb.classCount(); ++c) {
        int total = 0;
        for (int s = 1; s <= SolverProblem::kSubjects; ++s)
            total += std::max(0, pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)]);
        everyWeekFull = everyWeekFull && total == S;
        for (int t = 0; t < S; ++t) {
            int m = 0;
            for (const int u : units.unitsOfClass[static_cast<size_t>(c)])
                m += (open[static_cast<size_t>(u)] >> t) & 1u;
            shape(CnfBuilder::atMostSize(m, 1));
            if (total == S)
                clauseOf(m);
        }
    }

    // One lesson per teacher and slot, the busy literals and the count of
    // a busy teacher's slots.
    const bool guarded = level.explain;
    std::vector<std::vector<char>> busyIn(static_cast<size_t>(units.teacherNames.size()));
    for (size_t id = 0; id < busyIn.size(); ++id) {
        const auto& taught = units.unitsOfTeacher[id];
        busyIn[id].assign(static_cast<size_t>(S), 0);
        int load = 0;
        for (const int u : taught)
            load += units.list[static_cast<size_t>(u)].count;
        int busy = 0;
        for (int t = 0; t < S; ++t) {
            int m = 0;
            for (const int u : taught)
                m += (open[static_cast<size_t>(u)] >> t) & 1u;
            if (m == 0)
                continue;
            shape(CnfBuilder::atMostSize(m, 1, guarded));
            shape(CnfBuilder::anyOfSize(m));
            busyIn[id][static_cast<size_t>(t)] = 1;
            ++busy;
        }
        if ((taught.size() >= 2 && load * 10 >= busy * 6) || load > busy) {
            if (load * 2 > busy) {
                shape(CnfBuilder::atMostSize(busy, busy - load, guarded));
                if (load > busy)
                    clauseOf(guarded ? 1 : 0);
            } else {
                shape(CnfBuilder::atLeastSize(busy, load, guarded));
            }
        }
    }

    // The count of lessons taught in a slot where few teachers may stay idle.
    if (!level.explain && everyWeekFull) {
        const int classes = pb.classCount();
        std::vector<char> single(busyIn.size(), 0);
        std::vector<char> counted(unitCount, 0);
        for (size_t id = 0; id < single.size(); ++id) {
            const auto& taught = units.unitsOfTeacher[id];
            single[id] = std::all_of(taught.begin(), taught.end(), [&](int u) {
                const Unit& unit = units.list[static_cast<size_t>(u)];
                return unit.classes.size() == 1 && unit.teachers.size() == 1;
            });
            if (single[id])
                for (const int u : taught)
                    counted[static_cast<size_t>(u)] = 1;
        }
        for (int t = 0; t < S; ++t) {
            int n = 0;
            for (size_t id = 0; id < single.size(); ++id)
                n += single[id] && busyIn[id][static_cast<size_t>(t)];
            for (size_t u = 0; u < unitCount; ++u)
                if (!counted[u] && ((open[u] >> t) & 1u))
                    n += static_cast<int>(units.list[u].classes.size());
            if ((n - classes) * 4 > classes)
                continue;
            shape(CnfBuilder::atMostSize(n, n - classes));
        }
    }

    shape(ruleSize(pb, units, open, busyIn, level.explain));

    // Fixed lessons and pins: a selector and a guarded clause each.
    for (const SolverProblem::Fixed& f : pb.fixedLessons)
        if (f.classIndex >= 0 && f.classIndex < pb.classCount() && f.subject >= 1 && f.subject <= SolverProblem::kSubjects
            && units.unitOf[static_cast<size_t>(f.classIndex)][static_cast<size_t>(f.subject)] != -1) {
            size.variables += 1;
            clauseOf(2);
        }
    for (const SolverPin& pin : request.pins) {
        size.variables += 1;
        const int t = pin.day * P + pin.period;
        if (request.start[static_cast<size_t>(pin.classIndex * S + t)] > 0)
            clauseOf(2);
        else
            clauseOf(2, static_cast<double>(units.unitsOfClass[static_cast<size_t>(pin.classIndex)].size()));
    }
    return size;
}

} // namespace

double ModelSize::bytes() const
{
    // Measured on CaDiCaL 1.x: a clause costs its header and allocation, two
    // watches and a place in the list of clauses; a literal four bytes in the
    // solver and four while collected; a variable its entries in the
    // solver's tables (values, phases, links, watch and occurrence lists).
    constexpr double kPerVariable = 160;
    constexpr double kPerClause = 96;
    constexpr double kPerLiteral = 8;
    return variables * kPerVariable + clauses * kPerClause + literals * kPerLiteral;
}

ModelSize estimateModelSize(const SolverProblem& problem, const SolverRequest& request)
{
    const Units units = SolverUnits::buildUnits(problem);
    // The levels a solve may build, one model at a time: the search's (its
    // zones, then their union where they share nothing) and the explaining
    // model, which has a variable for every slot.
    std::vector<LevelShape> levels{{request.spread, false, false}};
    if (units.fallbackDiffers)
        levels.push_back({request.spread, true, false});
    levels.push_back({false, true, true});
    ModelSize largest;
    for (const LevelShape& level : levels) {
        const Shape size = levelSize(problem, units, request, level);
        const ModelSize model{size.variables, size.clauses, size.literals};
        if (model.bytes() > largest.bytes())
            largest = model;
    }
    return largest;
}

QString modelSizeRefusal(const SolverProblem& problem, const SolverRequest& request)
{
    const ModelSize size = estimateModelSize(problem, request);
    const int threads = std::max(1, request.threads);
    const double need = size.bytes() * threads;
    if (need <= SolverLimits::kModelMemoryBytes)
        return QString();
    constexpr double kGiB = 1024.0 * 1024 * 1024;
    QString text = QStringLiteral("学校太大，无法求解：%1 个班级的课表模型约有 %2 万个变量、%3 万条子句，估计需要 %4 GB 内存，"
                                  "超过 %5 GB 的上限")
                       .arg(problem.classCount())
                       .arg(size.variables / 1e4, 0, 'f', 0)
                       .arg(size.clauses / 1e4, 0, 'f', 0)
                       .arg(need / kGiB, 0, 'f', 1)
                       .arg(SolverLimits::kModelMemoryBytes / kGiB, 0, 'f', 0);
    if (threads > 1 && size.bytes() <= SolverLimits::kModelMemoryBytes)
        return text + QStringLiteral("（%1 个线程各需一份模型），请减少线程数").arg(threads);
    return text + QStringLiteral("；请减少班级，或把学校分成几部分分别排课");
}
