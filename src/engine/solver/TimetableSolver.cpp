#include "engine/solver/TimetableSolver.h"

#include "engine/solver/ModelSize.h"
#include "engine/solver/RepairRace.h"
#include "engine/solver/Search.h"
#include "engine/solver/TimetableAudit.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <thread>

using SolverDetail::Search;
using SolverDetail::trace;

namespace {

bool requestIsValid(const SolverProblem& pb, const SolverRequest& request)
{
    const size_t cells = static_cast<size_t>(pb.classCount()) * static_cast<size_t>(pb.slotCount());
    if (!request.start.empty() && request.start.size() != cells)
        return false;
    for (const SolverPin& pin : request.pins)
        if (request.start.empty() || pin.classIndex < 0 || pin.classIndex >= pb.classCount() || pin.day < 0
            || pin.day >= pb.dayCount || pin.period < 0 || pin.period >= pb.periodCount)
            return false;
    return pb.dayCount >= 1 && pb.dayCount <= SolverProblem::kDays && pb.periodCount >= 1 && pb.periodCount <= 9
        && pb.counts.size() == static_cast<size_t>(pb.classCount())
        && pb.teachers.size() == static_cast<size_t>(pb.classCount())
        && pb.subjectZones.size() == static_cast<size_t>(pb.classCount()) * SolverProblem::kSubjects * SolverProblem::kDays
        && pb.teacherZones.size() == pb.subjectZones.size();
}

} // namespace

int countZoneViolations(const SolverProblem& pb, const std::vector<int>& grid)
{
    const int S = pb.slotCount();
    const int P = pb.periodCount;
    int violations = 0;
    for (int c = 0; c < pb.classCount(); ++c)
        for (int t = 0; t < S; ++t) {
            const int s = grid[static_cast<size_t>(c * S + t)];
            if (s < 1 || s > SolverProblem::kSubjects)
                continue;
            const std::uint16_t bit = static_cast<std::uint16_t>(1u << (t % P));
            if (!(pb.subjectZone(c, s, t / P) & pb.teacherZone(c, s, t / P) & bit))
                ++violations;
        }
    return violations;
}

int countSpreadViolations(const SolverProblem& pb, const std::vector<int>& grid)
{
    const int S = pb.slotCount();
    const int P = pb.periodCount;
    int violations = 0;
    for (int c = 0; c < pb.classCount(); ++c) {
        unsigned daysOf[SolverProblem::kSubjects + 1] = {};
        for (int t = 0; t < S; ++t) {
            const int s = grid[static_cast<size_t>(c * S + t)];
            if (s >= 1 && s <= SolverProblem::kSubjects)
                daysOf[s] |= 1u << (t / P);
        }
        for (int s = 1; s <= SolverProblem::kSubjects; ++s) {
            const int n = pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)];
            if (n < 2)
                continue;
            // A double period the rules ask for is one lesson on its day.
            const int doubles = RuleAudit::doublesAskedFor(pb, c, s);
            const int blocks = doubles > 0 ? n - doubles : n;
            violations += std::max(0, std::min(blocks, pb.dayCount) - __builtin_popcount(daysOf[s]));
        }
    }
    return violations;
}

namespace {

// Solved means every rule holds: a timetable that breaks one is handed back
// as the best found, never as solved.
SolverOutcome checked(const SolverProblem& pb, const SolverRequest& request, SolverOutcome outcome)
{
    if (outcome.status != SolverOutcome::Status::Solved)
        return outcome;
    bool pinsKept = true;
    const int S = pb.slotCount();
    for (const SolverPin& pin : request.pins) {
        const size_t i = static_cast<size_t>(pin.classIndex * S + pin.day * pb.periodCount + pin.period);
        pinsKept = pinsKept && outcome.grid.size() == request.start.size() && outcome.grid[i] == request.start[i];
    }
    if (!pinsKept || !TimetableAudit::count(pb, outcome.grid, request.pins).clean())
        outcome.status = SolverOutcome::Status::OutOfBudget;
    return outcome;
}

} // namespace

SolverOutcome solveTimetable(const SolverProblem& problem, const SolverRequest& request)
{
    if (!requestIsValid(problem, request)) {
        SolverOutcome outcome;
        outcome.status = SolverOutcome::Status::Impossible;
        outcome.explanation << QStringLiteral("课表的大小与教学计划不符");
        return outcome;
    }
    // A school whose model would not fit in memory is refused before
    // anything is built.
    const QString tooLarge = modelSizeRefusal(problem, request);
    if (trace()) {
        const ModelSize size = estimateModelSize(problem, request);
        std::fprintf(stderr, "estimate: %.0f vars, %.0f clauses, %.0f literals, %.0f MB\n", size.variables, size.clauses,
                     size.literals, size.bytes() / 1048576);
    }
    if (!tooLarge.isEmpty()) {
        if (trace())
            std::fprintf(stderr, "refused: %s\n", tooLarge.toUtf8().constData());
        SolverOutcome outcome;
        outcome.status = SolverOutcome::Status::TooLarge;
        outcome.explanation << tooLarge;
        return outcome;
    }
    // A repair races a search from scratch with the same pins.
    if (!request.start.empty())
        return checked(problem, request, SolverDetail::raceRepair(problem, request));
    const int threads = std::max(1, request.threads);
    if (threads == 1)
        return checked(problem, request, Search(problem, request, request.seed, nullptr).run());

    // Portfolio: the same school searched with different seeds; the first
    // search that settles the question stops the others.
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::vector<SolverOutcome> outcomes(static_cast<size_t>(threads));
    int winner = -1;
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i)
        workers.emplace_back([&, i] {
            SolverRequest own = request;
            own.progress = i == 0 ? request.progress : nullptr;
            // Every other search uses the solver's default tuning: on tight
            // schools the two kinds are fast on different seeds.
            SolverOutcome result
                = Search(problem, own, request.seed + static_cast<std::uint32_t>(i) * 7919u, &stop, i % 2 == 1).run();
            const std::lock_guard<std::mutex> guard(lock);
            const bool settled = result.status == SolverOutcome::Status::Solved
                || result.status == SolverOutcome::Status::Impossible;
            if (settled && winner == -1) {
                winner = i;
                stop = true;
            }
            outcomes[static_cast<size_t>(i)] = std::move(result);
        });
    for (std::thread& worker : workers)
        worker.join();
    if (winner != -1)
        return checked(problem, request, std::move(outcomes[static_cast<size_t>(winner)]));
    if (request.cancel && request.cancel->load()) {
        SolverOutcome cancelled;
        cancelled.status = SolverOutcome::Status::Cancelled;
        return cancelled;
    }
    return checked(problem, request, std::move(outcomes.front()));
}
