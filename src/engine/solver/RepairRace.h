#pragma once

#include "engine/solver/TimetableSolver.h"

// A repair of a start timetable raced against a search from scratch that
// keeps the same pins. The repair usually changes far fewer cells; the search
// from scratch bounds the time when the repair struggles (a start full of
// clashes, a school so tight that the cells around the hand moves cannot be
// mended where they are). Whichever answers, the clash-free timetable with
// fewer changed cells is kept.
namespace SolverDetail {

// The school with the pins of the request made fixed lessons, so that a
// search from scratch keeps them (a pinned free cell is closed in both zones
// of every subject of its class).
SolverProblem pinnedProblem(const SolverProblem& pb, const SolverRequest& request);

// The repair of request.start (its pins kept). With two threads or more the
// two searches run side by side; with one, the repair has the first share of
// the time and the search from scratch what is left.
SolverOutcome raceRepair(const SolverProblem& pb, const SolverRequest& request);

} // namespace SolverDetail
