#include "engine/solver/LessonCounting.h"

#include "engine/solver/TimetableSolver.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace LessonCounting {

namespace {

using SolverUnits::Unit;
using SolverUnits::Units;

constexpr int kMaxLines = 10;
// Beyond this many different slot sets, only each set alone and all together
// are tried (the pairs would cost more than counting should).
constexpr size_t kPairLimit = 64;

// Every slot of the week a unit's lessons may take: bit d · periods + p.
std::vector<std::uint64_t> allowedSlots(const SolverProblem& pb, const Units& units, const SolverRequest& request,
                                        bool fallback)
{
    const int P = pb.periodCount;
    const int S = pb.slotCount();
    std::vector<std::uint64_t> allowed(units.list.size(), 0);
    for (size_t u = 0; u < units.list.size(); ++u) {
        const Unit& unit = units.list[u];
        std::uint64_t mask = 0;
        for (int d = 0; d < pb.dayCount; ++d)
            mask |= static_cast<std::uint64_t>(fallback ? unit.fallback[static_cast<size_t>(d)]
                                                        : unit.strict[static_cast<size_t>(d)])
                << (d * P);
        for (const int t : unit.fixedSlots)
            mask |= std::uint64_t{1} << t;
        allowed[u] = mask;
    }
    for (const SolverPin& pin : request.pins) {
        const int t = pin.day * P + pin.period;
        const int s = request.start[static_cast<size_t>(pin.classIndex * S + t)];
        const int u = s >= 1 && s <= SolverProblem::kSubjects
            ? units.unitOf[static_cast<size_t>(pin.classIndex)][static_cast<size_t>(s)]
            : -1;
        if (u != -1)
            allowed[static_cast<size_t>(u)] |= std::uint64_t{1} << t;
    }
    return allowed;
}

struct Shortfall
{
    std::vector<int> units; // the lessons that do not fit
    int lessons = 0;
    int slots = 0;
};

// The tightest set of the given units that cannot fit: the slot sets of
// single units, of pairs and of all together are tried as the region; the
// units allowed only within a region need its slots. Fewest units first,
// then the largest shortfall.
bool tightest(const Units& units, const std::vector<int>& of, const std::vector<std::uint64_t>& allowed,
              Shortfall& found)
{
    std::vector<std::uint64_t> regions;
    std::uint64_t all = 0;
    for (const int u : of) {
        regions.push_back(allowed[static_cast<size_t>(u)]);
        all |= allowed[static_cast<size_t>(u)];
    }
    std::sort(regions.begin(), regions.end());
    regions.erase(std::unique(regions.begin(), regions.end()), regions.end());
    const size_t singles = regions.size();
    if (singles <= kPairLimit)
        for (size_t i = 0; i < singles; ++i)
            for (size_t j = i + 1; j < singles; ++j)
                regions.push_back(regions[i] | regions[j]);
    regions.push_back(all);

    bool any = false;
    for (const std::uint64_t region : regions) {
        Shortfall here;
        here.slots = __builtin_popcountll(region);
        for (const int u : of)
            if ((allowed[static_cast<size_t>(u)] & ~region) == 0) {
                here.units.push_back(u);
                here.lessons += units.list[static_cast<size_t>(u)].count;
            }
        if (here.lessons <= here.slots)
            continue;
        const bool better = !any || here.units.size() < found.units.size()
            || (here.units.size() == found.units.size()
                && here.lessons - here.slots > found.lessons - found.slots);
        if (better) {
            found = here;
            any = true;
        }
    }
    return any;
}

QString classesOf(const SolverProblem& pb, const Unit& unit)
{
    QStringList names;
    for (const int c : unit.classes)
        names << pb.classNames[c];
    return names.size() == 1 ? names.first() : names.join(QStringLiteral("、")) + QStringLiteral(" 合班");
}

QString numbers(const Shortfall& s)
{
    return QStringLiteral("共 %1 节课，只能排在 %2 个时段").arg(s.lessons).arg(s.slots);
}

} // namespace

QStringList refusals(const SolverProblem& pb, const Units& units, const SolverRequest& request, bool fallback)
{
    const std::vector<std::uint64_t> allowed = allowedSlots(pb, units, request, fallback);
    QStringList lines;
    int more = 0;
    const auto add = [&](const QString& line) {
        if (lines.size() < kMaxLines)
            lines << line;
        else
            ++more;
    };
    // A combined group alone: its members take the lesson together.
    std::vector<char> groupSaid(units.list.size(), 0);
    for (size_t u = 0; u < units.list.size(); ++u) {
        const Unit& unit = units.list[u];
        if (unit.classes.size() < 2)
            continue;
        Shortfall s;
        if (tightest(units, {static_cast<int>(u)}, allowed, s)) {
            groupSaid[u] = 1;
            add(QStringLiteral("%1%2").arg(classesOf(pb, unit) + pb.subjectNames[unit.subject - 1], numbers(s)));
        }
    }
    for (int c = 0; c < pb.classCount(); ++c) {
        Shortfall s;
        if (!tightest(units, units.unitsOfClass[static_cast<size_t>(c)], allowed, s))
            continue;
        if (s.units.size() == 1 && groupSaid[static_cast<size_t>(s.units.front())])
            continue;
        QStringList subjects;
        for (const int u : s.units) {
            const Unit& unit = units.list[static_cast<size_t>(u)];
            subjects << (unit.classes.size() > 1 ? QStringLiteral("合班") : QString())
                    + pb.subjectNames[unit.subject - 1];
        }
        add(QStringLiteral("%1 %2%3").arg(pb.classNames[c], subjects.join(QStringLiteral("、")), numbers(s)));
    }
    for (size_t id = 0; id < units.unitsOfTeacher.size(); ++id) {
        Shortfall s;
        if (!tightest(units, units.unitsOfTeacher[id], allowed, s))
            continue;
        if (s.units.size() == 1 && groupSaid[static_cast<size_t>(s.units.front())])
            continue;
        const QString teacher = units.teacherNames[static_cast<qsizetype>(id)] + QStringLiteral("老师");
        if (s.units.size() == units.unitsOfTeacher[id].size() && s.units.size() > 3) {
            add(QStringLiteral("%1的课%2").arg(teacher, numbers(s)));
            continue;
        }
        QStringList lessons;
        for (const int u : s.units) {
            const Unit& unit = units.list[static_cast<size_t>(u)];
            lessons << classesOf(pb, unit) + QLatin1Char(' ') + pb.subjectNames[unit.subject - 1];
        }
        if (lessons.size() > 4)
            lessons = lessons.mid(0, 4) << QStringLiteral("等 %1 门课").arg(s.units.size());
        add(QStringLiteral("%1的%2%3").arg(teacher, lessons.join(QStringLiteral("、")), numbers(s)));
    }
    if (more > 0)
        lines << QStringLiteral("另有 %1 处课时多于可排的时段").arg(more);
    return lines;
}

} // namespace LessonCounting
