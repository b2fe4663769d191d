#pragma once

#include "engine/solver/SolverProblem.h"

#include <vector>

// What breaks the school's scheduling rules (SolverProblem::rules) in a
// timetable, per kind of rule. A day is two halves, the periods before the
// 午休 (rules.morningPeriods, clamped to the day) and after it: lessons in a
// row and double lessons never run across it. A teacher is busy in a period
// when any class has one of their lessons there (a combined group taught
// together, or a clash, is one busy period).
struct RuleFaults
{
    // Busy periods of a teacher in a period they cannot teach.
    int teacherOff = 0;
    // Over teachers and days: busy periods beyond the teacher's daily maximum.
    int dailyLimit = 0;
    // Over teachers: working days beyond the teacher's weekly maximum.
    int daysPerWeek = 0;
    // Over teachers, days and half days: for each run of busy periods longer
    // than the teacher's maximum in a row, the periods beyond it.
    int inARow = 0;
    // Over venues and periods: classes beyond the venue's cap (classes of its
    // grade, or of every grade, having a lesson of one of its subjects).
    int venueCap = 0;
    // Over classes and subjects with a double-lesson rule (a class's own rule
    // before its grade's): double periods missing (two lessons of the subject
    // on adjacent periods of one half day; a run of three holds one, of four
    // two); for a subject never doubled, each pair of adjacent lessons.
    int doubleLessons = 0;

    int total() const { return teacherOff + dailyLimit + daysPerWeek + inARow + venueCap + doubleLessons; }
    bool clean() const { return total() == 0; }
};

namespace RuleAudit {

// `grid` as TimetableAudit::count takes it: classCount × dayCount × periodCount
// subject numbers, 0 = free; a grid of another size has nothing counted.
RuleFaults count(const SolverProblem& problem, const std::vector<int>& grid);

// The double periods a week the rules ask of a class's lessons of a subject
// (a class's own rule before its grade's, a later row before an earlier
// one): -1 when no rule speaks of them, 0 when never doubled.
int doublesAskedFor(const SolverProblem& problem, int classIndex, int subject);

// The kinds broken, in words ("教师不排课 2、连堂 1"); empty when none is.
QString describe(const RuleFaults& faults);

} // namespace RuleAudit
