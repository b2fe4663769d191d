#pragma once

#include "base/SchoolPlan.h"

#include <QString>
#include <QStringList>

#include <vector>

// The school's plan as the scheduling run works on it: the plan and its
// constraints (read by PlanReader or built in memory), plus what the run
// derives from them and the timetable it builds.
class PlanningModel : public SchoolPlan
{
public:
    PlanningModel() = default;
    explicit PlanningModel(const SchoolPlan& plan)
        : SchoolPlan(plan)
    {
    }

    // What the run derives and builds.
    std::vector<int> remainingLessons; // groups of 25 per class
    QStringList allowedPeriods;      // groups of 192 per class: subject zone within teacher zone
    std::vector<int> lessonGrid;     // classCount x dayCount x periodCount, 0 = free
    QStringList subjectGrid;         // groups of 1 + dayCount x periodCount per class
    QStringList teacherGrid;

    // Index rules.
    int cellIndex(int c, int d, int p) const { return (c * dayCount + d) * periodCount + p; }
    int& cell(int c, int d, int p) { return lessonGrid[static_cast<size_t>(cellIndex(c, d, p))]; }
    int cell(int c, int d, int p) const { return lessonGrid[static_cast<size_t>(cellIndex(c, d, p))]; }
    int& rem(int c, int s) { return remainingLessons[static_cast<size_t>(kPlanStride * c + s)]; }
    int rem(int c, int s) const { return remainingLessons[static_cast<size_t>(kPlanStride * c + s)]; }
    const QString& zone(int c, int s, int d) const { return allowedPeriods[zoneIndex(c, s, d)]; }

    // allowedPeriods = subject zone intersected with teacher zone, per class,
    // subject and day (both zones one after the other when they share nothing).
    void BuildAllowedPeriods();
};
