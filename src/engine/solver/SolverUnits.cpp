#include "engine/solver/SolverUnits.h"

#include "base/Naming.h"
#include "engine/solver/RuleAudit.h"

#include <QHash>

#include <algorithm>

namespace SolverUnits {

bool hasTeacher(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String("H");
}

bool Units::hasRules() const
{
    if (hasDoubles || !venues.empty())
        return true;
    for (const TeacherLimit& limit : limits)
        if (limit.any())
            return true;
    for (const auto& days : teacherOff)
        for (const std::uint16_t mask : days)
            if (mask != 0)
                return true;
    return false;
}

namespace {

// The rules of the school by teacher id and unit; periods off leave the zones.
void applyRules(const SolverProblem& pb, Units& units)
{
    const SchoolRules& rules = pb.rules;
    const int P = pb.periodCount;
    const int teachers = static_cast<int>(units.teacherNames.size());
    units.morning = rules.morningPeriods > 0 && rules.morningPeriods < P ? rules.morningPeriods : 0;
    units.teacherOff.assign(static_cast<size_t>(teachers), {});
    units.limits.assign(static_cast<size_t>(teachers), {});
    if (rules.isEmpty())
        return;
    for (const auto& off : rules.teacherOff) {
        const int id = static_cast<int>(units.teacherNames.indexOf(off.teacher));
        if (id < 0 || off.day < 0 || off.day >= pb.dayCount)
            continue;
        for (int p = std::max(off.firstPeriod, 0); p <= std::min(off.lastPeriod, P - 1); ++p)
            units.teacherOff[static_cast<size_t>(id)][static_cast<size_t>(off.day)] |= static_cast<std::uint16_t>(1u << p);
    }
    for (const auto& limit : rules.teacherLimits) {
        const int id = static_cast<int>(units.teacherNames.indexOf(limit.teacher));
        if (id < 0)
            continue;
        TeacherLimit& l = units.limits[static_cast<size_t>(id)];
        // Two rows for one teacher: the stricter of each limit.
        auto stricter = [](int a, int b) { return a <= 0 ? b : b <= 0 ? a : std::min(a, b); };
        l.perDay = stricter(l.perDay, limit.perDay);
        l.daysPerWeek = stricter(l.daysPerWeek, limit.daysPerWeek);
        l.inARow = stricter(l.inARow, limit.inARow);
    }
    for (Unit& u : units.list) {
        for (const int id : u.teachers)
            for (int d = 0; d < pb.dayCount; ++d)
                u.off[static_cast<size_t>(d)] |= units.teacherOff[static_cast<size_t>(id)][static_cast<size_t>(d)];
        for (int d = 0; d < pb.dayCount; ++d) {
            const auto keep = static_cast<std::uint16_t>(~u.off[static_cast<size_t>(d)]);
            u.strict[static_cast<size_t>(d)] &= keep;
            u.fallback[static_cast<size_t>(d)] &= keep;
        }
    }
    auto subjectNumber = [&](const QString& name) {
        const qsizetype i = pb.subjectNames.indexOf(name);
        return i < 0 || name.isEmpty() || name == QLatin1String("H") ? 0 : static_cast<int>(i) + 1;
    };
    auto gradeOf = [&](int c) { return c < pb.classGrades.size() ? pb.classGrades[c] : QString(); };
    for (size_t r = 0; r < rules.venueCaps.size(); ++r) {
        const auto& rule = rules.venueCaps[r];
        if (rule.cap <= 0)
            continue;
        VenueCap cap;
        cap.rule = static_cast<int>(r);
        cap.cap = rule.cap;
        for (size_t u = 0; u < units.list.size(); ++u) {
            const Unit& unit = units.list[u];
            if (!rule.subjects.contains(pb.subjectNames[unit.subject - 1]) || subjectNumber(pb.subjectNames[unit.subject - 1]) != unit.subject)
                continue;
            int counted = 0;
            for (const int c : unit.classes)
                if (rule.grade.isEmpty() || gradeOf(c) == rule.grade)
                    ++counted;
            if (counted > 0)
                cap.units.emplace_back(static_cast<int>(u), counted);
        }
        int most = 0;
        for (const auto& entry : cap.units)
            most += entry.second;
        if (most > cap.cap) // a cap no slot can reach holds by itself
            units.venues.push_back(std::move(cap));
    }
    // The first member of a combined group with a double-lesson rule decides.
    for (Unit& u : units.list) {
        for (const int c : u.classes) {
            const int perWeek = RuleAudit::doublesAskedFor(pb, c, u.subject);
            if (perWeek >= 0) {
                u.doubles = perWeek;
                units.hasDoubles = true;
                break;
            }
        }
    }
}

} // namespace

Units buildUnits(const SolverProblem& pb)
{
    Units units;
    const int classes = pb.classCount();
    const int P = pb.periodCount;
    units.unitOf.assign(static_cast<size_t>(classes), {});
    for (auto& row : units.unitOf)
        row.fill(-1);
    QHash<QString, int> teacherIds;
    auto teacherId = [&](const QString& name) {
        auto it = teacherIds.constFind(name);
        if (it != teacherIds.constEnd())
            return it.value();
        const int id = static_cast<int>(units.teacherNames.size());
        teacherIds.insert(name, id);
        units.teacherNames << name;
        units.unitsOfTeacher.emplace_back();
        return id;
    };

    auto addUnit = [&](int s, const std::vector<int>& members) {
        Unit u;
        u.subject = s;
        u.classes = members;
        u.count = pb.counts[static_cast<size_t>(members.front())][static_cast<size_t>(s)];
        for (const int c : members) {
            const QString& t = pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)];
            if (hasTeacher(t)) {
                const int id = teacherId(t);
                if (std::find(u.teachers.begin(), u.teachers.end(), id) == u.teachers.end())
                    u.teachers.push_back(id);
            }
        }
        for (int d = 0; d < pb.dayCount; ++d) {
            std::uint16_t strict = pb.fullDay();
            std::uint16_t fallback = pb.fullDay();
            for (const int c : members) {
                const std::uint16_t sz = pb.subjectZone(c, s, d) & pb.fullDay();
                const std::uint16_t tz = pb.teacherZone(c, s, d) & pb.fullDay();
                strict &= static_cast<std::uint16_t>(sz & tz);
                fallback &= (sz & tz) ? static_cast<std::uint16_t>(sz & tz) : static_cast<std::uint16_t>(sz | tz);
            }
            u.strict[static_cast<size_t>(d)] = strict;
            u.fallback[static_cast<size_t>(d)] = fallback;
            if (strict != fallback)
                units.fallbackDiffers = true;
        }
        const int id = static_cast<int>(units.list.size());
        for (const int c : members)
            units.unitOf[static_cast<size_t>(c)][static_cast<size_t>(s)] = id;
        units.list.push_back(std::move(u));
    };

    // Combined groups first: a (class, subject) belongs to the first group that
    // names it; members whose weekly count differs from the first member's
    // take their lessons on their own.
    for (const SolverProblem::Combined& group : pb.combined) {
        const int s = group.subject;
        if (s < 1 || s > SolverProblem::kSubjects)
            continue;
        std::vector<int> members;
        for (const int c : group.members) {
            if (c < 0 || c >= classes || units.unitOf[static_cast<size_t>(c)][static_cast<size_t>(s)] != -1)
                continue;
            if (std::find(members.begin(), members.end(), c) != members.end())
                continue;
            if (pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)] <= 0)
                continue;
            if (!members.empty()
                && pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)]
                    != pb.counts[static_cast<size_t>(members.front())][static_cast<size_t>(s)]) {
                units.notes << QStringLiteral("%1 %2的周课时与合班的其他班不同，单独排课")
                                   .arg(pb.classNames[c], pb.subjectNames[s - 1]);
                continue;
            }
            members.push_back(c);
        }
        if (members.size() >= 2)
            addUnit(s, members);
    }
    for (int c = 0; c < classes; ++c)
        for (int s = 1; s <= SolverProblem::kSubjects; ++s)
            if (pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)] > 0
                && units.unitOf[static_cast<size_t>(c)][static_cast<size_t>(s)] == -1)
                addUnit(s, {c});

    for (const SolverProblem::Fixed& f : pb.fixedLessons) {
        if (f.classIndex < 0 || f.classIndex >= classes || f.day < 0 || f.day >= pb.dayCount || f.period < 0
            || f.period >= P || f.subject < 1 || f.subject > SolverProblem::kSubjects)
            continue;
        const int u = units.unitOf[static_cast<size_t>(f.classIndex)][static_cast<size_t>(f.subject)];
        if (u == -1) {
            units.notes << QStringLiteral("%1每周没有%2课，%3%4的固定课不排")
                               .arg(pb.classNames[f.classIndex], pb.subjectNames[f.subject - 1], DayName(f.day),
                                    PeriodName(f.period));
            continue;
        }
        const int t = f.day * P + f.period;
        auto& slots = units.list[static_cast<size_t>(u)].fixedSlots;
        if (std::find(slots.begin(), slots.end(), t) == slots.end())
            slots.push_back(t);
    }

    applyRules(pb, units);

    // Spread that cannot hold whatever the search does: fixed lessons sharing
    // a day beyond the day's share, or fewer days open to the unit than its
    // lessons need.
    for (Unit& u : units.list) {
        if (u.count < 2)
            continue;
        // With double lessons a day holds one double or one single lesson,
        // so there are fewer lessons to spread over the days; more of those
        // than days, and the lessons spread by the day's share instead.
        if (u.doubles > 0 && u.count - u.doubles > pb.dayCount)
            u.spreadByShare = true;
        const int doubles = u.spreadDoubles();
        const int blocks = doubles > 0 ? u.count - doubles : u.count;
        if (doubles > 0 && blocks < doubles)
            u.spreadFixed = true;
        const int cap = doubles > 0 ? 2 : u.count <= pb.dayCount ? 1 : (u.count + pb.dayCount - 1) / pb.dayCount;
        std::vector<int> perDay(static_cast<size_t>(pb.dayCount), 0);
        for (const int t : u.fixedSlots)
            if (++perDay[static_cast<size_t>(t / P)] > cap)
                u.spreadFixed = true;
        int openDays = 0;
        for (int d = 0; d < pb.dayCount; ++d)
            if (u.strict[static_cast<size_t>(d)] != 0 || perDay[static_cast<size_t>(d)] > 0)
                ++openDays;
        if (openDays < std::min(blocks, pb.dayCount))
            u.spreadFixed = true;
    }

    units.unitsOfClass.assign(static_cast<size_t>(classes), {});
    for (size_t u = 0; u < units.list.size(); ++u) {
        for (const int c : units.list[u].classes)
            units.unitsOfClass[static_cast<size_t>(c)].push_back(static_cast<int>(u));
        for (const int t : units.list[u].teachers)
            units.unitsOfTeacher[static_cast<size_t>(t)].push_back(static_cast<int>(u));
    }
    return units;
}

} // namespace SolverUnits
