#pragma once

#include "engine/solver/SolverProblem.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

// What the solver places: lessons grouped into units. Shared by the search
// and by the estimate of its model's size.
namespace SolverUnits {

bool hasTeacher(const QString& name);

// A unit is what takes one slot per lesson: a (class, subject) pair, or a
// combined group whose members take the lesson together.
struct Unit
{
    int subject = 0;
    std::vector<int> classes;
    std::vector<int> teachers; // distinct teacher ids
    int count = 0;
    std::array<std::uint16_t, SolverProblem::kDays> strict{};   // inside both zones
    std::array<std::uint16_t, SolverProblem::kDays> fallback{}; // or their union on a day they share nothing
    std::vector<int> fixedSlots;                                // slots fixed lessons put it in
    bool spreadFixed = false; // its fixed lessons already break the spread
    // Periods a teacher of the unit cannot teach (taken out of strict and
    // fallback above).
    std::array<std::uint16_t, SolverProblem::kDays> off{};
    // Double periods a week the rules ask for: -1 no rule, 0 never doubled.
    int doubles = -1;
    // More single lessons and doubles than days: the doubles do not shape
    // the spread, the lessons spread like any others (every day, no more
    // than the day's share) with the doubles asked for inside it.
    bool spreadByShare = false;
    // The double periods as the spread sees them.
    int spreadDoubles() const { return spreadByShare ? 0 : doubles; }
};

// A teacher's limits, 0 = none (SchoolRules::TeacherLimit by teacher id).
struct TeacherLimit
{
    int perDay = 0;
    int daysPerWeek = 0;
    int inARow = 0;
    bool any() const { return perDay > 0 || daysPerWeek > 0 || inARow > 0; }
};

// A venue cap over units: in a slot, the units' classes counted (a combined
// group once per member class the cap covers) stay within `cap`.
struct VenueCap
{
    int rule = 0; // index in SchoolRules::venueCaps
    int cap = 0;
    std::vector<std::pair<int, int>> units; // unit, classes counted
};

struct Units
{
    std::vector<Unit> list;
    std::vector<std::array<int, SolverProblem::kSubjects + 1>> unitOf; // [class][subject] -> unit or -1
    QStringList teacherNames;                                         // by id
    std::vector<std::vector<int>> unitsOfTeacher;
    std::vector<std::vector<int>> unitsOfClass;
    QStringList notes;
    bool fallbackDiffers = false;
    // The scheduling rules by teacher id and unit.
    std::vector<std::array<std::uint16_t, SolverProblem::kDays>> teacherOff; // by teacher id
    std::vector<TeacherLimit> limits;                                       // by teacher id
    std::vector<VenueCap> venues;
    int morning = 0; // periods before the 午休, clamped to the day (0: the day is one half)
    bool hasDoubles = false;
    bool hasRules() const;
    // The half of the day a period lies in: a run of lessons never spans two.
    int half(int period) const { return morning > 0 && period >= morning ? 1 : 0; }
};

// The units of a school: combined groups first (members whose weekly count
// differs take theirs alone, with a note), then every other (class, subject)
// with lessons; their zones, teachers and fixed slots, and whether the spread
// can hold at all; the scheduling rules by teacher and unit, a teacher's
// periods off taken out of their units' zones.
Units buildUnits(const SolverProblem& pb);

} // namespace SolverUnits
