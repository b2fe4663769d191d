#pragma once

#include <QString>

struct SolverProblem;
struct SolverRequest;

// The size of the SAT model the solver builds for a school, worked out from
// the school's shape before anything is built: the variables, clauses and
// literals of the largest model a run may build, and the memory that takes.
struct ModelSize
{
    double variables = 0;
    double clauses = 0;
    double literals = 0;

    // Bytes while the model is handed to the SAT solver and searched: the
    // clauses as collected, the solver's copy with its watches, and its
    // tables per variable.
    double bytes() const;
};

namespace SolverLimits {

// The memory one solve may use for its models; a school that needs more is
// refused before anything is built.
inline constexpr double kModelMemoryBytes = 2.0 * 1024 * 1024 * 1024;

} // namespace SolverLimits

// The largest model a solve of the problem may build (the search's model and
// the explaining one), estimated without building it.
ModelSize estimateModelSize(const SolverProblem& problem, const SolverRequest& request);

// Empty when the models of a solve fit SolverLimits::kModelMemoryBytes (one
// per thread), else why the school is refused, in plain words.
QString modelSizeRefusal(const SolverProblem& problem, const SolverRequest& request);
