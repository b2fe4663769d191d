#pragma once

#include "engine/solver/TimetableSolver.h"

#include <QMutex>
#include <QString>

// What the 优化课表 dialog says while the solver works, without any window.
// The worker hands every report of the solver to take(); the dialog asks
// line() on each tick of its timer, with the time since the start, so the
// line moves even while one step of the solver runs long: it names the
// step in the user's words, the clashes and unplaced lessons still left
// while that is known, and the time spent.
class OptimizeProgress
{
public:
    // `left`: clashes and unplaced lessons of the timetable being optimised.
    explicit OptimizeProgress(int left);

    // A report of the solver; from any thread.
    void take(const SolverProgress& report);

    // The dialog's line after `elapsedMs` milliseconds.
    QString line(qint64 elapsedMs) const;
    // A repair is found; its changed cells are being put back (stopping keeps it).
    bool restoring() const;

    // The solver's step in the user's words.
    static QString stageText(const QString& solverStage, bool restoring);
    // "12 秒", "1 分 05 秒".
    static QString durationText(qint64 elapsedMs);

private:
    mutable QMutex m_mutex;
    QString m_stage;
    int m_left;
    bool m_restoring = false;
};
