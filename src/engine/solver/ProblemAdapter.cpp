#include "engine/solver/SolverProblem.h"

#include "base/SchoolPlan.h"
#include "base/ZoneText.h"

#include <algorithm>

void SolverProblem::reset(int days, int periods, const QStringList& classes)
{
    dayCount = days;
    periodCount = periods;
    classNames = classes;
    classGrades = QStringList(classes.size());
    rules = SchoolRules();
    const std::size_t n = static_cast<std::size_t>(classes.size());
    counts.assign(n, {});
    teachers.assign(n, {});
    for (auto& row : teachers)
        row.fill(QStringLiteral("H"));
    subjectZones.assign(n * kSubjects * kDays, fullDay());
    teacherZones = subjectZones;
    fixedLessons.clear();
    combined.clear();
}

namespace {

std::uint16_t maskOf(const QString& zone, int periodCount)
{
    std::uint16_t mask = 0;
    for (const QChar ch : zone) {
        const int p = ZoneText::periodOf(ch);
        if (p >= 0 && p < periodCount)
            mask = static_cast<std::uint16_t>(mask | (1u << p));
    }
    return mask;
}

} // namespace

SolverProblem solverProblemFromModel(const SchoolPlan& model)
{
    SolverProblem problem;
    QStringList classes;
    for (int c = 0; c < model.classCount; ++c)
        classes << model.className(c);
    problem.reset(model.dayCount, model.periodCount, classes);
    for (int c = 0; c < model.classCount; ++c)
        problem.classGrades[c] = model.gradeName(c);
    problem.rules = model.rules;
    for (int s = 0; s < Plan::kSubjectSlots && s < model.subjectNames.size(); ++s)
        problem.subjectNames[s] = model.subjectNames[s];

    const bool zonesLoaded = model.subjectZones.size() >= static_cast<qsizetype>(model.classCount) * SchoolPlan::kZoneStride
        && model.teacherZones.size() == model.subjectZones.size();
    for (int c = 0; c < model.classCount; ++c)
        for (int s = 1; s <= Plan::kSubjectSlots; ++s) {
            problem.counts[c][s] = std::max(0, model.gradeCount(c, s));
            problem.teachers[c][s] = model.teacher(c, s);
            if (!zonesLoaded)
                continue;
            for (int d = 0; d < model.dayCount && d < SolverProblem::kDays; ++d) {
                const qsizetype i = SchoolPlan::zoneIndex(c, s, d);
                problem.setZone(problem.subjectZones, c, s, d, maskOf(model.subjectZones[i], model.periodCount));
                problem.setZone(problem.teacherZones, c, s, d, maskOf(model.teacherZones[i], model.periodCount));
            }
        }

    for (int i = 0; i < model.fixedLessonCount(); ++i)
        problem.fixedLessons.push_back(
            {model.fixedField(i, 0), model.fixedField(i, 1), model.fixedField(i, 2), model.fixedField(i, 3)});
    for (int g = 0; g < model.combinedGroupCount(); ++g) {
        SolverProblem::Combined group;
        group.subject = model.combinedSubject(g);
        for (int k = 0; k < Plan::kCombinedMembers; ++k)
            if (model.combinedMember(g, k) >= 0)
                group.members.push_back(model.combinedMember(g, k));
        problem.combined.push_back(group);
    }
    return problem;
}
