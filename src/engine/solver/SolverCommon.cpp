#include "engine/solver/SolverCommon.h"

#include <QStringList>

#include <algorithm>

namespace SolverDetail {

bool trace()
{
    static const bool on = qEnvironmentVariableIsSet("VORLAT_SOLVER_TRACE");
    return on;
}

QString unitName(const SolverProblem& pb, const Unit& u)
{
    QStringList names;
    for (const int c : u.classes)
        names << pb.classNames[c];
    const QString subject = pb.subjectNames[u.subject - 1];
    if (names.size() == 1)
        return names.first() + QLatin1Char(' ') + subject;
    return names.join(QStringLiteral("、")) + QStringLiteral(" 合班") + subject;
}

int unplacedIn(const SolverProblem& pb, const std::vector<int>& grid)
{
    const int S = pb.slotCount();
    int missing = 0;
    for (int c = 0; c < pb.classCount(); ++c) {
        int have[SolverProblem::kSubjects + 1] = {};
        for (int t = 0; t < S; ++t) {
            const int s = grid[static_cast<size_t>(c * S + t)];
            if (s >= 1 && s <= SolverProblem::kSubjects)
                ++have[s];
        }
        for (int s = 1; s <= SolverProblem::kSubjects; ++s)
            missing += std::max(0, pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)] - have[s]);
    }
    return missing;
}
} // namespace SolverDetail
