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
        if (level.explain) // a guarded unit clause for each slot outside the zones
            clauseOf(2, std::popcount(all & ~mask));
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
