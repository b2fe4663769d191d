#pragma once

#include "engine/PlanningModel.h"
#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableSolver.h"
#include "view/TimetableData.h"

#include <QString>
#include <QStringList>

#include <vector>

struct ScheduleOutcome;

// 优化课表: the repair of the shown timetable by the solver. Everything here
// is plain code; the main frame runs it on a worker thread and shows it.
namespace OptimizeRun {

// What is wrong with a timetable (TimetableAudit's count).
struct Counts
{
    qint64 clashes = 0;
    qint64 unplaced = 0;
    int zone = 0;  // lessons outside their zones
    int fixed = 0; // fixed lessons out of place
    int rules = 0; // the scheduling rules broken
    qint64 total() const { return clashes + unplaced + zone + fixed + rules; }
};

// The cells to keep: every fixed lesson in its cell, and every cell whose subject differs
// from `baseline` (the subject grid as the last run, optimisation or load left
// it), that is every cell the user changed by hand since then. An undone swap
// leaves its cells as they were, so they are free again.
std::vector<SolverPin> pinsFor(const TimetableData& shown, const QStringList& baseline);

// The status line after a run: before → after.
QString reportText(const Counts& before, const Counts& after, int changedCells);
// What the status line adds when the solver relaxed something: a pointer to
// the notes, which its tooltip lists. Empty without notes.
QString notesHint(const QStringList& notes);

// A run of the play button that left clashes or unplaced lessons: the status
// line suggests the button.
bool suggestAfterRun(const ScheduleOutcome& run);
QString suggestionText();

// Everything the worker needs, read from the database on the GUI thread.
struct Job
{
    PlanningModel plan;
    SolverProblem problem;
    SolverRequest request; // start grid and pins set; cancel and progress by the caller
    Counts before;
};

// Reads the plan and builds the job for the shown timetable. Returns the
// message for the user when it cannot (plan refused, timetable not of this plan,
// school too large for the solver's memory).
QString prepare(const TimetableData& shown, const QStringList& baseline, Job& job);

// The shown timetable with the solver's grid in place of its lessons; the
// fixed lessons stay those of the shown timetable. `after` gets the counts.
TimetableData apply(const TimetableData& shown, Job& job, const SolverOutcome& outcome, Counts& after);

} // namespace OptimizeRun
