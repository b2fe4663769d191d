#include "engine/solver/Search.h"

#include "base/Naming.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <set>

namespace SolverDetail {

namespace {
// How long the explanation may spend making sure each of its items is needed.
constexpr int kExplainSeconds = 20;

// "周一" .. "周日".
QString shortDay(int day)
{
    static const QString names = QStringLiteral("一二三四五六日");
    return day >= 0 && day < names.size() ? QStringLiteral("周") + names[day] : QString();
}

// A teacher's periods off on one day in words: "全天", "上午", "下午",
// "第3节", "第3、5节".
QString periodsOffInWords(std::uint16_t mask, int periods, int morning)
{
    const auto full = static_cast<std::uint16_t>((1u << periods) - 1u);
    mask &= full;
    if (mask == full)
        return QStringLiteral("全天");
    if (morning > 0) {
        const auto am = static_cast<std::uint16_t>((1u << morning) - 1u);
        if (mask == am)
            return QStringLiteral("上午");
        if (mask == static_cast<std::uint16_t>(full & ~am))
            return QStringLiteral("下午");
    }
    QStringList numbers;
    for (int p = 0; p < periods; ++p)
        if (mask & (1u << p))
            numbers << QString::number(p + 1);
    return QStringLiteral("第%1节").arg(numbers.join(QStringLiteral("、")));
}

} // namespace

// A teacher whose periods off and limits leave fewer lessons a week than
// they teach: counted, no search needed. Per day the periods open to their
// lessons, at most the daily limit, and within each half day no more than
// lessons in a row allow; the best days up to the weekly number of days.
void Search::teacherRulesPrecheck(QStringList& explanation) const
{
    const int P = m_pb.periodCount;
    const int D = m_pb.dayCount;
    for (size_t id = 0; id < m_units.limits.size(); ++id) {
        const SolverUnits::TeacherLimit& limit = m_units.limits[id];
        bool hasOff = false;
        for (int d = 0; d < D; ++d)
            hasOff = hasOff || m_units.teacherOff[id][static_cast<size_t>(d)] != 0;
        if (!limit.any() && !hasOff)
            continue;
        int load = 0;
        for (const int u : m_units.unitsOfTeacher[id])
            load += m_units.list[static_cast<size_t>(u)].count;
        std::vector<int> perDay;
        for (int d = 0; d < D; ++d) {
            std::uint16_t open = 0;
            for (const int u : m_units.unitsOfTeacher[id]) {
                const Unit& unit = m_units.list[static_cast<size_t>(u)];
                open |= unit.fallback[static_cast<size_t>(d)];
                for (const int t : unit.fixedSlots)
                    if (t / P == d)
                        open |= static_cast<std::uint16_t>(1u << (t % P));
            }
            open &= static_cast<std::uint16_t>(~m_units.teacherOff[id][static_cast<size_t>(d)]);
            int lessons = 0;
            int run = 0;
            for (int p = 0; p < P; ++p) {
                if (p > 0 && m_units.half(p) != m_units.half(p - 1))
                    run = 0;
                if (!(open & (1u << p))) {
                    run = 0;
                    continue;
                }
                if (limit.inARow > 0 && run >= limit.inARow) {
                    run = 0; // a period left free breaks the run
                    continue;
                }
                ++run;
                ++lessons;
            }
            if (limit.perDay > 0)
                lessons = std::min(lessons, limit.perDay);
            perDay.push_back(lessons);
        }
        std::sort(perDay.begin(), perDay.end(), std::greater<int>());
        if (limit.daysPerWeek > 0 && static_cast<int>(perDay.size()) > limit.daysPerWeek)
            perDay.resize(static_cast<size_t>(limit.daysPerWeek));
        int most = 0;
        for (const int n : perDay)
            most += n;
        if (load <= most)
            continue;
        QStringList rules;
        if (hasOff)
            rules << describeRule({Selector::Kind::TeacherOff, static_cast<int>(id), 0}).mid(m_units.teacherNames[static_cast<qsizetype>(id)].size() + 1);
        if (limit.perDay > 0)
            rules << QStringLiteral("每天最多%1节").arg(limit.perDay);
        if (limit.daysPerWeek > 0)
            rules << QStringLiteral("每周最多上%1天").arg(limit.daysPerWeek);
        if (limit.inARow > 0)
            rules << QStringLiteral("最多连上%1节").arg(limit.inARow);
        explanation << QStringLiteral("%1 %2，但每周共%3节课，最多只能排%4节")
                           .arg(m_units.teacherNames[static_cast<qsizetype>(id)], rules.join(QStringLiteral("、")))
                           .arg(load)
                           .arg(most);
    }
}

// A venue whose classes have more lessons than its cap allows in the slots
// open to them, and double lessons beyond what the weekly count holds.
void Search::venueAndDoublePrecheck(QStringList& explanation) const
{
    const int P = m_pb.periodCount;
    for (size_t v = 0; v < m_units.venues.size(); ++v) {
        const SolverUnits::VenueCap& venue = m_units.venues[v];
        qint64 lessons = 0;
        std::array<std::uint16_t, SolverProblem::kDays> open{};
        for (const auto& [u, classes] : venue.units) {
            const Unit& unit = m_units.list[static_cast<size_t>(u)];
            lessons += static_cast<qint64>(unit.count) * classes;
            for (int d = 0; d < m_pb.dayCount; ++d)
                open[static_cast<size_t>(d)] |= unit.fallback[static_cast<size_t>(d)];
            for (const int t : unit.fixedSlots)
                open[static_cast<size_t>(t / P)] |= static_cast<std::uint16_t>(1u << (t % P));
        }
        int slots = 0;
        for (int d = 0; d < m_pb.dayCount; ++d)
            slots += __builtin_popcount(open[static_cast<size_t>(d)]);
        if (lessons > static_cast<qint64>(venue.cap) * slots)
            explanation << describeRule({Selector::Kind::Venue, static_cast<int>(v), 0})
                    + QStringLiteral("，但这些班每周共%1节课，只有%2个时段可排").arg(lessons).arg(slots);
    }
    for (size_t u = 0; u < m_units.list.size(); ++u) {
        const Unit& unit = m_units.list[u];
        if (unit.doubles > 0 && unit.doubles * 2 > unit.count)
            explanation << describeRule({Selector::Kind::Double, static_cast<int>(u), 0})
                    + QStringLiteral("，但每周只有%1节").arg(unit.count);
    }
}

QString Search::describeRule(const Selector& sel) const
{
    switch (sel.kind) {
    case Selector::Kind::TeacherOff: {
        QStringList days;
        const auto& off = m_units.teacherOff[static_cast<size_t>(sel.index)];
        for (int d = 0; d < m_pb.dayCount; ++d)
            if (off[static_cast<size_t>(d)] != 0)
                days << shortDay(d) + periodsOffInWords(off[static_cast<size_t>(d)], m_pb.periodCount, m_units.morning);
        return QStringLiteral("%1 %2不排课").arg(m_units.teacherNames[sel.index], days.join(QStringLiteral("、")));
    }
    case Selector::Kind::TeacherLimit: {
        const SolverUnits::TeacherLimit& limit = m_units.limits[static_cast<size_t>(sel.index)];
        QStringList parts;
        if (limit.perDay > 0)
            parts << QStringLiteral("每天最多%1节").arg(limit.perDay);
        if (limit.daysPerWeek > 0)
            parts << QStringLiteral("每周最多上%1天").arg(limit.daysPerWeek);
        if (limit.inARow > 0)
            parts << QStringLiteral("最多连上%1节").arg(limit.inARow);
        int load = 0;
        for (const int u : m_units.unitsOfTeacher[static_cast<size_t>(sel.index)])
            load += m_units.list[static_cast<size_t>(u)].count;
        return QStringLiteral("%1老师%2（每周%3节）")
            .arg(m_units.teacherNames[sel.index], parts.join(QStringLiteral("、")))
            .arg(load);
    }
    case Selector::Kind::Venue: {
        const SolverUnits::VenueCap& venue = m_units.venues[static_cast<size_t>(sel.index)];
        const SchoolRules::VenueCap& rule = m_pb.rules.venueCaps[static_cast<size_t>(venue.rule)];
        return QStringLiteral("%1同一节最多%2个%3班上%4")
            .arg(rule.venue)
            .arg(rule.cap)
            .arg(rule.grade.isEmpty() ? QStringLiteral("全校的") : rule.grade + QStringLiteral("的"),
                 rule.subjects.join(QStringLiteral("、")));
    }
    case Selector::Kind::Double: {
        const Unit& unit = m_units.list[static_cast<size_t>(sel.index)];
        if (unit.doubles == 0)
            return QStringLiteral("%1不排连堂").arg(unitName(m_pb, unit));
        return QStringLiteral("%1每周%2次连堂（上午与下午之间不算连堂）").arg(unitName(m_pb, unit)).arg(unit.doubles);
    }
    default:
        return QString();
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
        int slots = 0;
        for (int d = 0; d < m_pb.dayCount; ++d) {
            std::uint16_t open = m_pb.fullDay();
            for (const int c : unit.classes)
                open &= m_pb.subjectZone(c, unit.subject, d);
            slots += __builtin_popcount(open);
        }
        return QStringLiteral("%1只能排在科目时段内（每周%2节，共%3个时段）").arg(unitName(m_pb, unit)).arg(unit.count).arg(slots);
    }
    case Selector::Kind::TeacherOff:
    case Selector::Kind::TeacherLimit:
    case Selector::Kind::Venue:
    case Selector::Kind::Double:
        return describeRule(sel);
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
    if (explanation.isEmpty())
        teacherRulesPrecheck(explanation);
    if (explanation.isEmpty())
        venueAndDoublePrecheck(explanation);
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
    // what that proof used. A group whose removal makes the rest solvable is
    // needed, in every smaller set as well. A check that runs out of its
    // conflicts is tried again with four times as many on the next pass, so
    // that every group left is needed, until the explanation's time is up.
    const auto deadline = Clock::now() + std::chrono::seconds(kExplainSeconds);
    std::set<int> needed;
    bool unsure = true;
    for (std::int64_t budget = 20000; unsure; budget *= 4) {
        unsure = false;
        for (size_t i = 0; i < core.size();) {
            if (needed.count(core[i].lit)) {
                ++i;
                continue;
            }
            if (m_stop.stopped() || m_stop.timedOut() || Clock::now() >= deadline) {
                unsure = true;
                break;
            }
            std::vector<Selector> trial;
            std::vector<int> lits;
            for (size_t j = 0; j < core.size(); ++j)
                if (j != i) {
                    trial.push_back(core[j]);
                    lits.push_back(core[j].lit);
                }
            const Result r = solve(model, lits, budget);
            if (r == Result::Unsat) {
                core = failedOnly(trial);
                i = 0;
                continue;
            }
            if (r == Result::Sat)
                needed.insert(core[i].lit);
            else
                unsure = true;
            ++i;
        }
        if (m_stop.stopped() || m_stop.timedOut() || Clock::now() >= deadline)
            break;
    }
    // The school's rules first: "张三 周三全天不排课，但……".
    QStringList rules, words;
    for (const Selector& s : core)
        (isRule(s.kind) ? rules : words) << describe(s);
    if (words.isEmpty() && rules.isEmpty())
        return {QStringLiteral("各班每周的课时与每周的时段不能对应")};
    const qsizetype count = rules.size() + words.size();
    const QString all_ = rules.isEmpty() || words.isEmpty()
        ? (rules + words).join(QStringLiteral("；"))
        : rules.join(QStringLiteral("；")) + QStringLiteral("，但") + words.join(QStringLiteral("；"));
    words = rules + words;
    QStringList said;
    if (count == 1)
        said << all_ + QStringLiteral("；无法满足");
    else if (count == 2)
        said << all_ + QStringLiteral("；二者不能同时满足");
    else
        said << all_ + QStringLiteral("；这%1条不能同时满足").arg(count);
    if (static_cast<size_t>(needed.size()) < core.size())
        said << QStringLiteral("查找原因的时间已到，其中可能有不必要的条件");
    return said;
}
} // namespace SolverDetail
