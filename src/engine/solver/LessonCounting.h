#pragma once

#include "engine/solver/SolverUnits.h"

#include <QStringList>

struct SolverRequest;

// Impossibilities found by counting alone, before any model is built: a
// class, a teacher or a combined group whose lessons, or some of them, can
// only go into fewer slots than they number (the subjects of a class confined
// to 22 slots for 23 lessons). Every lesson needs a slot of its own within its
// zones (a fixed lesson or a pinned cell counts as allowed where it stands),
// and no class or teacher takes two lessons in one slot; a set of lessons
// allowed only within fewer slots than there are lessons cannot be placed.
namespace LessonCounting {

// What counting proves impossible, worded with the numbers ("……共 23 节课，
// 只能排在 22 个时段"), one line per class, teacher or group; empty when
// counting finds nothing. With fallback, a day whose two zones share nothing
// allows their union, as the looser search does.
QStringList refusals(const SolverProblem& pb, const SolverUnits::Units& units, const SolverRequest& request,
                     bool fallback);

} // namespace LessonCounting
