#include "engine/solver/Search.h"

#include "base/Naming.h"

#include <algorithm>
#include <chrono>
#include <set>

namespace SolverDetail {

namespace {
// How long the explanation may spend making sure each of its items is needed.
constexpr int kExplainSeconds = 20;
} // namespace

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
    QStringList words;
    for (const Selector& s : core)
        words << describe(s);
    if (words.isEmpty())
        return {QStringLiteral("各班每周的课时与每周的时段不能对应")};
    const QString all_ = words.join(QStringLiteral("；"));
    QStringList said;
    if (words.size() == 1)
        said << all_ + QStringLiteral("；无法满足");
    else if (words.size() == 2)
        said << all_ + QStringLiteral("；二者不能同时满足");
    else
        said << all_ + QStringLiteral("；这%1条不能同时满足").arg(words.size());
    if (static_cast<size_t>(needed.size()) < core.size())
        said << QStringLiteral("查找原因的时间已到，其中可能有不必要的条件");
    return said;
}
} // namespace SolverDetail
