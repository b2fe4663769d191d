#pragma once

#include "engine/solver/SolverProblem.h"

#include <QString>
#include <QStringList>

// Small schools for the solver tests, built lesson by lesson.

// `classes` classes 高一1班, 高一2班, … of `days` × `periods`, no lessons yet;
// the first subjects named by `subjects`, the others 科N.
inline SolverProblem blankSchool(int days, int periods, int classes, const QStringList& subjects = {})
{
    SolverProblem pb;
    QStringList names;
    for (int c = 0; c < classes; ++c)
        names << QStringLiteral("高一%1班").arg(c + 1);
    pb.reset(days, periods, names);
    for (int s = 0; s < SolverProblem::kSubjects; ++s)
        pb.subjectNames[s] = s < subjects.size() ? subjects[s] : QStringLiteral("科%1").arg(s + 1);
    return pb;
}

// Class c has `count` lessons of subject s a week, taught by `teacher`.
inline void lesson(SolverProblem& pb, int c, int s, int count, const QString& teacher)
{
    pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)] = count;
    pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)] = teacher;
}
