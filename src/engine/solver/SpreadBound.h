#pragma once

#include "engine/solver/SolverUnits.h"

// How far short of spread every timetable must fall, by counting alone.
// A unit spread over the week needs a lesson on some days (every day of its
// zone with more lessons than days; every allowed day when it has just as
// many lessons as days it may use). A teacher needs, on a day, the lessons
// all their units need there; when those outnumber the periods the teacher
// may teach that day, each lesson beyond them is a spread fault of its unit.
// The bound counts what the local search counts: a lesson beyond a day's
// share, or an empty day of the zone of a unit with more lessons than days.
namespace SpreadBound {

// A lower bound of the spread cost of every timetable of the school that
// keeps each lesson within its zone (or its fixed slot): 0 when counting
// shows nothing. Greater than 0 proves that the spread cannot hold in full.
int lowerBound(const SolverProblem& pb, const SolverUnits::Units& units);

} // namespace SpreadBound
