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
};

// The units of a school: combined groups first (members whose weekly count
// differs take theirs alone, with a note), then every other (class, subject)
// with lessons; their zones, teachers and fixed slots, and whether the spread
// can hold at all.
Units buildUnits(const SolverProblem& pb);

} // namespace SolverUnits
