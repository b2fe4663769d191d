#pragma once

#include "engine/solver/RuleAudit.h"
#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableSolver.h"

#include <QStringList>
#include <QtGlobal>

#include <vector>

// What breaks the school's rules in a timetable: the one count behind the
// result line, the optimisation's before → after, vorlat-cli solve and the
// solver's own word that a timetable is solved.
struct TimetableFaults
{
    // Over days, periods and teachers: bookings beyond one; the classes of one
    // combined group taking its subject together are one booking.
    int clashes = 0;
    // Over classes and subjects: lessons the weekly count asks for that are
    // not in the timetable; and all the lessons asked for.
    qint64 unplaced = 0;
    qint64 required = 0;
    // Fixed lessons whose cell holds another lesson or none (a fixed lesson
    // of a subject the class has no lessons of asks for nothing).
    int fixedOutOfPlace = 0;
    // Lessons outside the periods both their subject zone and their
    // teacher zone allow. A fixed lesson in its cell, and a kept cell, is
    // where it was asked to be and is not counted.
    int outsideZones = 0;
    // What breaks the scheduling rules (RuleAudit), by kind.
    RuleFaults rules;

    qint64 placed() const { return required - unplaced; }
    qint64 total() const { return clashes + unplaced + fixedOutOfPlace + outsideZones + rules.total(); }
    bool clean() const { return total() == 0; }
};

namespace TimetableAudit {

// `grid`: classCount × dayCount × periodCount subject numbers, cell (c, d, p)
// at (c·dayCount + d)·periodCount + p, 0 = free; a grid of another size has
// nothing counted. `kept`: cells the caller put there on purpose (pinned).
TimetableFaults count(const SolverProblem& problem, const std::vector<int>& grid,
                      const std::vector<SolverPin>& kept = {});

// The lessons that stand on a day where their subject zone and their teacher
// zone share no period, in words ("高一1班 数学：星期一的科目时段与教师时段没有共同节次").
QStringList zonesSharingNothing(const SolverProblem& problem, const std::vector<int>& grid);

} // namespace TimetableAudit
