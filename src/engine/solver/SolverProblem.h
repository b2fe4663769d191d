#pragma once

#include "base/SchoolRules.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

class SchoolPlan;

// What the solver needs to know about a school, in its own small form: the
// week, the classes with their weekly counts and teachers, the two zone
// tables as period masks, the fixed lessons, the combined groups and the
// scheduling rules. One adapter fills it from a school plan; tests build it by
// hand.
struct SolverProblem
{
    static constexpr int kSubjects = 24;
    static constexpr int kDays = 7;

    int dayCount = 0;
    int periodCount = 0;
    QStringList classNames;
    QStringList subjectNames = QStringList(kSubjects); // entry n-1 names subject n

    // Per class, index 1..24: weekly lessons of the subject and its teacher
    // ("H" or empty: no teacher). Index 0 is unused.
    std::vector<std::array<int, kSubjects + 1>> counts;
    std::vector<std::array<QString, kSubjects + 1>> teachers;

    // Allowed periods of (class, subject, day) as bit masks (bit p = period p);
    // a day without a zone holds every period of the day.
    std::vector<std::uint16_t> subjectZones;
    std::vector<std::uint16_t> teacherZones;

    struct Fixed
    {
        int classIndex = 0;
        int day = 0;
        int period = 0;
        int subject = 0;
    };
    std::vector<Fixed> fixedLessons;

    struct Combined
    {
        int subject = 0;
        std::vector<int> members; // class indexes
    };
    std::vector<Combined> combined;

    // The grade of each class as the assignment names it (venue caps and
    // double lessons are given per grade), and the scheduling rules.
    QStringList classGrades;
    SchoolRules rules;

    int classCount() const { return static_cast<int>(classNames.size()); }
    int slotCount() const { return dayCount * periodCount; }
    std::uint16_t fullDay() const { return static_cast<std::uint16_t>((1u << periodCount) - 1u); }
    static std::size_t zoneIndex(int c, int s, int d)
    {
        return (static_cast<std::size_t>(c) * kSubjects + static_cast<std::size_t>(s - 1)) * kDays
            + static_cast<std::size_t>(d);
    }
    std::uint16_t subjectZone(int c, int s, int d) const { return subjectZones[zoneIndex(c, s, d)]; }
    std::uint16_t teacherZone(int c, int s, int d) const { return teacherZones[zoneIndex(c, s, d)]; }

    // An empty school of the given shape: no lessons, no teachers, no zones.
    void reset(int days, int periods, const QStringList& classes);
    void setZone(std::vector<std::uint16_t>& zones, int c, int s, int d, std::uint16_t mask)
    {
        zones[zoneIndex(c, s, d)] = mask;
    }
};

// The problem of a school plan as read by PlanReader, once the scheduling
// run's checks (Scheduler::PrepareRun) have passed, so that every class has a
// grade row. The one place that knows the plan's flat layouts.
SolverProblem solverProblemFromModel(const SchoolPlan& model);
