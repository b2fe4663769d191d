#pragma once

#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableAudit.h"
#include "view/TimetableData.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// What breaks the plan's rules in the timetable shown, as it stands after
// every hand swap, undo and redo: the result line's count.
namespace ShownFaults {

// The shown timetable as subject numbers of `rules` in the solver's layout
// (classes and subjects by name; a subject the plan does not know is a free
// cell). Empty when its week or its classes are not those of the plan.
std::vector<int> gridOf(const SolverProblem& rules, const TimetableData& shown);

// The faults of the shown timetable against the plan it was made from. Its
// fixed lessons are those shown: a fixed lesson swapped by hand is expected
// where it went. Nothing when the timetable is not of that plan.
std::optional<TimetableFaults> count(const SolverProblem& rules, const TimetableData& shown);

// The result line: lessons placed of required, not placed, teacher clashes,
// fixed lessons out of place and lessons outside their zones, the
// scheduling rules broken (by kind), with the run's seed when a run made the
// timetable.
QString resultText(const TimetableFaults& faults, std::optional<std::uint32_t> seed);

// The question after a run of the play button that left something 优化课表
// repairs (clashes, lessons not placed, outside their zones, fixed lessons
// out of place): it names what is left, only the counts that are not zero,
// and offers the two answers below. Empty for a clean run, which asks nothing.
QString optimizeQuestion(const TimetableFaults& faults);
inline QString optimizeAnswer() { return QStringLiteral("优化"); }
inline QString keepAnswer() { return QStringLiteral("不优化"); }

} // namespace ShownFaults
