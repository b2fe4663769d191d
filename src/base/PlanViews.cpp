#include "base/PlanViews.h"

#include "base/Naming.h"

#include <set>

namespace PlanViews {

Week WeekOf(const SchoolPlan& plan)
{
    return {plan.dayCount, plan.periodCount};
}

std::vector<Subject> SubjectsInUse(const SchoolPlan& plan)
{
    std::vector<Subject> used;
    for (int n = 1; n <= Plan::kSubjectSlots && n <= plan.subjectNames.size(); ++n) {
        const QString& name = plan.subjectNames[n - 1];
        if (!Plan::isEmpty(name) && !name.isEmpty())
            used.push_back({n, name});
    }
    return used;
}

std::vector<AssignmentRow> Assignment(const SchoolPlan& plan)
{
    std::vector<AssignmentRow> rows;
    rows.reserve(static_cast<size_t>(plan.classCount));
    for (int c = 0; c < plan.classCount; ++c) {
        AssignmentRow row{plan.gradeName(c), plan.className(c), {}, GradeIndex(plan.gradeName(c)) < 0};
        for (int s = 1; s <= Plan::kSubjectSlots; ++s)
            row.teachers << plan.teacher(c, s);
        rows.push_back(row);
    }
    return rows;
}

std::vector<int> GradeRowsInUse(const SchoolPlan& plan)
{
    std::set<int> rows;
    for (int c = 0; c < plan.classCount; ++c) {
        const int row = GradeIndex(plan.gradeName(c));
        if (row >= 0)
            rows.insert(row);
    }
    const int count = plan.gradeRowCount();
    for (int r = 0; r < count; ++r)
        if (plan.plan(r, 0) != 0)
            rows.insert(r);
    // A grade whose row the plan does not hold has nothing to show.
    std::vector<int> inUse;
    for (int r : rows)
        if (r < count)
            inUse.push_back(r);
    return inUse;
}

std::vector<WeeklyPlanRow> WeeklyPlanInUse(const SchoolPlan& plan)
{
    std::vector<WeeklyPlanRow> rows;
    for (int r : GradeRowsInUse(plan)) {
        WeeklyPlanRow row;
        row.gradeRow = r;
        row.gradeName = r < GradeRowNames().size() ? GradeRowNames()[r] : QString::number(r + 1);
        row.total = plan.plan(r, 0);
        for (int s = 1; s <= Plan::kSubjectSlots; ++s)
            row.counts.push_back(plan.plan(r, s));
        rows.push_back(row);
    }
    return rows;
}

namespace {

QString subjectName(const SchoolPlan& plan, int s)
{
    return s >= 1 && s <= plan.subjectNames.size() ? plan.subjectNames[s - 1] : QString();
}

QString classNameOf(const SchoolPlan& plan, int c)
{
    return c >= 0 && c < plan.classCount ? plan.className(c) : QString();
}

std::vector<ZoneRow> zoneRows(const SchoolPlan& plan, const QStringList& zones)
{
    std::vector<ZoneRow> rows;
    const std::vector<Subject> used = SubjectsInUse(plan);
    for (int c = 0; c < plan.classCount; ++c)
        for (const Subject& subject : used) {
            ZoneRow row{plan.className(c), subject.number, {}};
            for (int d = 0; d < Plan::kMaxDays; ++d) {
                const int at = SchoolPlan::zoneIndex(c, subject.number, d);
                row.days << (at < zones.size() ? zones[at] : QString());
            }
            rows.push_back(row);
        }
    return rows;
}

} // namespace

std::vector<FixedLessonRow> FixedLessons(const SchoolPlan& plan)
{
    std::vector<FixedLessonRow> rows;
    for (int i = 0; i < plan.fixedLessonCount(); ++i)
        rows.push_back({classNameOf(plan, plan.fixedField(i, 0)), plan.fixedField(i, 1), plan.fixedField(i, 2),
                        subjectName(plan, plan.fixedField(i, 3))});
    return rows;
}

std::vector<CombinedGroupRow> CombinedGroups(const SchoolPlan& plan)
{
    std::vector<CombinedGroupRow> rows;
    for (int g = 0; g < plan.combinedGroupCount(); ++g) {
        CombinedGroupRow row{subjectName(plan, plan.combinedSubject(g)), {}};
        for (int k = 0; k < Plan::kCombinedMembers; ++k)
            if (plan.combinedMember(g, k) >= 0)
                row.members << classNameOf(plan, plan.combinedMember(g, k));
        rows.push_back(row);
    }
    return rows;
}

std::vector<ZoneRow> SubjectZones(const SchoolPlan& plan)
{
    return zoneRows(plan, plan.subjectZones);
}

std::vector<ZoneRow> TeacherZones(const SchoolPlan& plan)
{
    return zoneRows(plan, plan.teacherZones);
}

} // namespace PlanViews
