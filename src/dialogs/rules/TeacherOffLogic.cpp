#include "dialogs/rules/TeacherOffLogic.h"

#include "base/SchoolDetails.h"
#include "store/PlanReader.h"
#include "store/RulesReader.h"
#include "store/RulesStore.h"

#include <algorithm>

QString TeacherOffLogic::load()
{
    SchoolPlan plan;
    const Status read = PlanReader::Load(plan);
    if (!read.ok())
        return read.failure().message();
    SchoolDetails details;
    details.morningPeriods = RulesReader::ReadMorningPeriods();
    setUp(plan, details.morningOf(plan.periodCount), RulesReader::ReadRows().teacherOff);
    return QString();
}

void TeacherOffLogic::setUp(const SchoolPlan& plan, int morningPeriods, const std::vector<RuleRows::TeacherOffRow>& stored)
{
    m_plan = plan;
    days = plan.dayCount;
    periods = plan.periodCount;
    morning = std::clamp(morningPeriods, 0, std::max(periods, 0));
    teachers = RuleRows::teachersOf(plan);
    teacherMarks.resize(static_cast<int>(teachers.size()));
    off.clear();
    others.clear();
    for (const RuleRows::TeacherOffRow& row : stored) {
        SchoolRules::TeacherOff rule;
        if (!RuleRows::interpret(plan, morning, row, rule).isEmpty()) {
            if (!(row.teacher.trimmed().isEmpty() || Plan::isEmpty(row.teacher)))
                others.push_back(row);
            continue;
        }
        auto& cells = off[rule.teacher];
        cells.resize(static_cast<size_t>(days * periods), false);
        for (int p = rule.firstPeriod; p <= rule.lastPeriod; ++p)
            cells[static_cast<size_t>(rule.day * periods + p)] = true;
    }
    grid.setUp(WeekGridGeometry::fitted(days, periods, gridArea.x(), gridArea.y(), gridArea.width(), gridArea.height()));
}

void TeacherOffLogic::clickTeacher(int row)
{
    teacherMarks.toggle(row);
    refresh();
}

QString TeacherOffLogic::teacherHeaderClicked()
{
    const QString header = teacherMarks.headerClicked();
    refresh();
    return header;
}

void TeacherOffLogic::refresh()
{
    grid.clear();
    for (int i = 0; i < teacherMarks.size(); ++i) {
        if (!teacherMarks.isMarked(i))
            continue;
        const auto found = off.find(teachers[i]);
        if (found == off.end())
            continue;
        for (size_t k = 0; k < found->second.size() && k < grid.chosen().size(); ++k)
            if (found->second[k])
                grid.chosen()[k] = true;
    }
}

std::pair<int, int> TeacherOffLogic::range(Part part) const
{
    switch (part) {
    case Part::Morning: return {0, morning};
    case Part::Afternoon: return {morning, periods};
    default: return {0, periods};
    }
}

void TeacherOffLogic::togglePart(int day, Part part)
{
    if (day < 0 || day >= days)
        return;
    const auto [first, end] = range(part);
    bool all = first < end;
    for (int p = first; p < end; ++p)
        all = all && grid.isChosen(day, p);
    for (int p = first; p < end; ++p)
        grid.chosen()[static_cast<size_t>(day * periods + p)] = !all;
}

void TeacherOffLogic::commitGrid()
{
    for (int i = 0; i < teacherMarks.size(); ++i)
        if (teacherMarks.isMarked(i))
            off[teachers[i]] = grid.chosen();
}

std::vector<RuleRows::TeacherOffRow> TeacherOffLogic::rows() const
{
    std::vector<RuleRows::TeacherOffRow> out;
    for (const QString& teacher : teachers) {
        const auto found = off.find(teacher);
        if (found == off.end())
            continue;
        const std::vector<bool>& cells = found->second;
        for (int d = 0; d < days; ++d) {
            const QString day = QString::number(d + 1);
            const auto chosen = [&](int p) { return cells[static_cast<size_t>(d * periods + p)]; };
            const auto whole = [&](int first, int end) {
                bool all = first < end;
                for (int p = first; p < end; ++p)
                    all = all && chosen(p);
                return all;
            };
            if (whole(0, periods)) {
                out.push_back({teacher, day, RuleRows::wholeDay()});
                continue;
            }
            const bool halves = morning > 0 && morning < periods;
            const bool am = halves && whole(0, morning);
            const bool pm = halves && whole(morning, periods);
            if (am)
                out.push_back({teacher, day, RuleRows::morning()});
            if (pm)
                out.push_back({teacher, day, RuleRows::afternoon()});
            for (int p = 0; p < periods; ++p)
                if (chosen(p) && !(am && p < morning) && !(pm && p >= morning))
                    out.push_back({teacher, day, QString::number(p + 1)});
        }
    }
    out.insert(out.end(), others.begin(), others.end());
    return out;
}

QStringList TeacherOffLogic::warnings() const
{
    QStringList words;
    for (const QString& teacher : teachers) {
        const auto found = off.find(teacher);
        if (found == off.end())
            continue;
        const int free = days * periods - static_cast<int>(std::count(found->second.begin(), found->second.end(), true));
        const int load = RuleRows::weeklyLoad(m_plan, teacher);
        if (free < load)
            words << QStringLiteral("%1每周有%2节课，不排课的时间之外只剩%3节").arg(teacher).arg(load).arg(free);
    }
    return words;
}

void TeacherOffLogic::save()
{
    commitGrid();
    RulesStore::saveTeacherOff(rows());
}
