#pragma once

#include "engine/solver/SolverProblem.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

// A cell of the week that must keep the lesson it holds in the start
// timetable (or stay free when it is free there).
struct SolverPin
{
    int classIndex = 0;
    int day = 0;
    int period = 0;
};

// How far the solver has come; reported from the thread that solves.
struct SolverProgress
{
    QString stage;           // what it is doing, for a status line ("建立模型" now and then
                             // while a model is built: the cancel flag and the time limit
                             // are checked there too)
    int bestViolations = -1; // lessons still unplaced or clashing in the best timetable so far; -1 unknown
    bool restoring = false;  // a repair is found; cells it changed are being put back as they were
};

struct SolverRequest
{
    std::uint32_t seed = 1;
    bool spread = true; // one subject's lessons of a class on different days
    // A quick local search answers easy schools before the exact search is
    // built; off, the exact search answers every school.
    bool localSearch = true;
    // Start timetable: classCount × dayCount × periodCount subject numbers,
    // cell (c, d, p) at (c·dayCount + d)·periodCount + p, 0 = free. With a
    // start timetable the solver repairs it, changing as few cells as it can.
    std::vector<int> start;
    std::vector<SolverPin> pins; // cells of the start timetable to keep
    // Work limit in solver conflicts: the same seed and budget give the same
    // timetable on every machine.
    std::int64_t conflictBudget = 4'000'000;
    // A wall-clock limit on top (0 = none); a run stopped by it may depend on
    // the machine's speed.
    double timeLimitSeconds = 0;
    // Independent searches with different seeds, first answer wins; 1 keeps
    // the result reproducible. A repair uses two at most: the repair itself
    // and a search from scratch keeping the pins, the one with fewer changed
    // cells kept.
    int threads = 1;
    const std::atomic<bool>* cancel = nullptr; // set from another thread to stop
    std::function<void(const SolverProgress&)> progress;
};

struct SolverOutcome
{
    enum class Status {
        Solved,      // every rule holds: every lesson placed, no clash, every fixed lesson
                     // and pin kept, every other lesson inside both its zones
        Impossible,  // proved: no such timetable (see explanation); with zoneFallback
                     // the grid holds the one that uses the union of the zones
        OutOfBudget, // neither found nor disproved within the budget
        Cancelled,   // stopped by the cancel flag; nothing else is set (a repair already
                     // found when the flag is set, only putting cells back, is Solved)
        TooLarge,    // refused before anything was built: the school's model would need
                     // more memory than SolverLimits allows (the explanation says how much)
    };
    Status status = Status::OutOfBudget;
    // The timetable in the start timetable's layout: the solution, or when out
    // of budget the best one built (with lessons left out), empty otherwise.
    std::vector<int> grid;
    bool spreadRelaxed = false; // spread was dropped because it could not hold
    bool zoneFallback = false;  // some lessons use the union of their zones
    int zoneViolations = 0;     // lessons outside the intersection of their zones (fixed and pinned cells aside)
    // Over classes and subjects: min(n, days) minus the days used, n less
    // the double periods the rules ask for.
    int spreadViolations = 0;
    int unplacedLessons = 0;
    int changedCells = 0;       // cells that differ from the start timetable
    QStringList notes;          // what was relaxed or dropped, in plain words
    QStringList explanation;    // why no timetable exists, in plain words
};

// Builds a timetable that places every lesson of every class with no teacher
// in two classes at once, combined groups together, fixed lessons and pins
// where they are, each lesson within its zones and (unless switched off) a
// subject's lessons spread over the week. Pure: reads the problem and the
// request, touches nothing else; safe to run on a worker thread. A school
// whose model would not fit in memory (modelSizeRefusal) is refused at once.
SolverOutcome solveTimetable(const SolverProblem& problem, const SolverRequest& request);

// Counts of a timetable (same layout as the outcome's grid) against the
// problem: lessons outside the intersection of their zones, and the spread
// shortfall over classes and subjects (a double period the rules ask for
// stands on its day as one lesson).
int countZoneViolations(const SolverProblem& problem, const std::vector<int>& grid);
int countSpreadViolations(const SolverProblem& problem, const std::vector<int>& grid);
