#include "engine/solver/RepairRace.h"

#include "engine/solver/Search.h"
#include "engine/solver/TimetableAudit.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace SolverDetail {

namespace {

// Once the search from scratch has answered, the repair may go on for as long
// again as that answer took (at least this long, about what a repair without a
// limit spends putting cells back) to find one with fewer changes; then it is
// stopped, keeping what it has found.
constexpr double kGraceFloorSeconds = 5.0;
// With one thread the repair has this share of a time limit to find a
// timetable (putting cells back may take the rest), the search from scratch
// what is left when it found none.
constexpr double kRepairShare = 0.6;
// A repair changing more than this share of the cells is checked against a
// search from scratch (one thread).
constexpr double kWideShare = 0.3;
// Clashes beyond those of the hand moves (one a pin at most) that mark a
// start as saved after a time-out.
constexpr int kFewClashes = 5;

bool solved(const SolverOutcome& outcome)
{
    return outcome.status == SolverOutcome::Status::Solved;
}

// The request of the search from scratch: no start, no pins (they are fixed
// lessons of its school), no progress of its own.
SolverRequest freshRequest(const SolverRequest& request)
{
    SolverRequest fresh = request;
    fresh.start.clear();
    fresh.pins.clear();
    fresh.progress = nullptr;
    fresh.threads = 1;
    return fresh;
}

// The answer from scratch in the repair's terms: its changes counted against
// the start timetable. A school it found impossible is left to the repair,
// whose explanation names the hand moves as such.
SolverOutcome asRepair(SolverOutcome fresh, const SolverRequest& request)
{
    fresh.changedCells = 0;
    if (!fresh.grid.empty())
        for (size_t i = 0; i < fresh.grid.size() && i < request.start.size(); ++i)
            fresh.changedCells += fresh.grid[i] != request.start[i] ? 1 : 0;
    return fresh;
}

// The better of the two: a clash-free timetable before any other, then the
// one with fewer changed cells, then the repair.
SolverOutcome better(SolverOutcome repair, SolverOutcome fresh)
{
    if (solved(fresh) && (!solved(repair) || fresh.changedCells < repair.changedCells)) {
        if (trace())
            std::fprintf(stderr, "race: the search from scratch wins, %d cells changed\n", fresh.changedCells);
        return fresh;
    }
    if (trace() && solved(repair))
        std::fprintf(stderr, "race: the repair wins, %d cells changed\n", repair.changedCells);
    return repair;
}

// The answer from scratch with cells of the start put back into it.
// Raced, it takes as long again as the race took (at least the grace's
// floor); alone, only the request's limit bounds it, so that one thread
// without a limit gives the same timetable every time.
SolverOutcome restored(const SolverProblem& pb, const SolverRequest& request, SolverOutcome fresh,
                       Clock::time_point began, bool raced)
{
    if (!solved(fresh) || (request.cancel && request.cancel->load()))
        return fresh;
    const double spent = std::chrono::duration<double>(Clock::now() - began).count();
    SolverRequest rest = request;
    rest.threads = 1;
    rest.timeLimitSeconds = raced ? std::max(spent, kGraceFloorSeconds) : 0;
    if (request.timeLimitSeconds > 0) {
        const double left = request.timeLimitSeconds * kRestoreShare - spent;
        rest.timeLimitSeconds = raced ? std::min(rest.timeLimitSeconds, left) : left;
        if (rest.timeLimitSeconds <= 0.05)
            return fresh;
    }
    SolverOutcome back = Search(pb, rest, request.seed, nullptr).restoreInto(fresh.grid);
    if (trace())
        std::fprintf(stderr, "race: %d cells changed from scratch, %d once cells are put back\n", fresh.changedCells,
                     solved(back) ? back.changedCells : -1);
    return solved(back) && back.changedCells < fresh.changedCells ? back : fresh;
}

SolverOutcome alone(const SolverProblem& pb, const SolverRequest& request)
{
    const SolverProblem pinned = pinnedProblem(pb, request);
    const SolverRequest fresh = freshRequest(request);
    const auto began = Clock::now();
    // A start with many clashes (saved after a time-out) is far from any
    // timetable: the search from scratch comes first, then cells of the
    // start are put back into its answer.
    if (TimetableAudit::count(pb, request.start).clashes
        > static_cast<int>(request.pins.size()) + kFewClashes) {
        if (trace())
            std::fprintf(stderr, "race: a start full of clashes, searching from scratch first\n");
        SolverOutcome scratch = Search(pinned, fresh, request.seed, nullptr).run();
        if (scratch.status == SolverOutcome::Status::Cancelled || solved(scratch))
            return restored(pb, request, asRepair(std::move(scratch), request), began, false);
    }
    Search repairer(pb, request, request.seed, nullptr);
    if (request.timeLimitSeconds > 0)
        repairer.limitFinding(request.timeLimitSeconds * kRepairShare);
    SolverOutcome repair = repairer.run();
    // A repair that changed much may lose to a search from scratch: that
    // one is tried as well (it is quick where the repair struggles).
    const bool wide = solved(repair) && repair.changedCells > static_cast<int>(request.start.size() * kWideShare);
    if ((solved(repair) && !wide) || repair.status == SolverOutcome::Status::Impossible
        || repair.status == SolverOutcome::Status::Cancelled)
        return repair;
    SolverRequest second = fresh;
    if (request.timeLimitSeconds > 0) {
        second.timeLimitSeconds
            = request.timeLimitSeconds - std::chrono::duration<double>(Clock::now() - began).count();
        if (second.timeLimitSeconds <= 0)
            return repair;
    }
    if (trace())
        std::fprintf(stderr, "race: the repair gave %s, searching from scratch\n",
                     wide ? "a wide answer" : "no answer");
    SolverOutcome scratch = Search(pinned, second, request.seed, nullptr).run();
    if (scratch.status == SolverOutcome::Status::Cancelled)
        return scratch;
    return better(std::move(repair), restored(pb, request, asRepair(std::move(scratch), request), began, false));
}

} // namespace

SolverProblem pinnedProblem(const SolverProblem& pb, const SolverRequest& request)
{
    SolverProblem pinned = pb;
    const int S = pb.slotCount();
    for (const SolverPin& pin : request.pins) {
        const int s = request.start[static_cast<size_t>(pin.classIndex * S + pin.day * pb.periodCount + pin.period)];
        if (s >= 1 && s <= SolverProblem::kSubjects) {
            pinned.fixedLessons.push_back({pin.classIndex, pin.day, pin.period, s});
            continue;
        }
        const auto closed = static_cast<std::uint16_t>(~(1u << pin.period));
        for (int subject = 1; subject <= SolverProblem::kSubjects; ++subject) {
            const size_t i = SolverProblem::zoneIndex(pin.classIndex, subject, pin.day);
            pinned.subjectZones[i] &= closed;
            pinned.teacherZones[i] &= closed;
        }
    }
    return pinned;
}

SolverOutcome raceRepair(const SolverProblem& pb, const SolverRequest& request)
{
    if (request.threads < 2)
        return alone(pb, request);

    const SolverProblem pinned = pinnedProblem(pb, request);
    const SolverRequest fresh = freshRequest(request);
    std::atomic<bool> stopRepair{false};
    std::atomic<bool> stopFresh{false};
    std::mutex lock;
    std::condition_variable changed;
    bool repairDone = false;
    bool freshDone = false;
    SolverOutcome repairOutcome;
    SolverOutcome freshOutcome;
    const auto began = Clock::now();
    Clock::time_point freshAt;

    std::thread repairer([&] {
        SolverOutcome outcome = Search(pb, request, request.seed, &stopRepair).run();
        const std::lock_guard<std::mutex> guard(lock);
        repairOutcome = std::move(outcome);
        repairDone = true;
        changed.notify_all();
    });
    std::thread scratcher([&] {
        SolverOutcome outcome = Search(pinned, fresh, request.seed + 7919u, &stopFresh).run();
        const std::lock_guard<std::mutex> guard(lock);
        freshOutcome = asRepair(std::move(outcome), request);
        freshDone = true;
        freshAt = Clock::now();
        changed.notify_all();
    });
    {
        std::unique_lock<std::mutex> guard(lock);
        // An answer (a timetable, or the proof that there is none) of the
        // repair settles the race: from scratch, hardly a cell stays where
        // it was. One from scratch starts the repair's last stretch. A search
        // that runs out of budget or gives up leaves the other alone.
        const auto answered = [](bool done, const SolverOutcome& outcome) {
            return done && (solved(outcome) || outcome.status == SolverOutcome::Status::Impossible);
        };
        changed.wait(guard, [&] {
            return answered(repairDone, repairOutcome) || answered(freshDone, freshOutcome)
                || (repairDone && freshDone);
        });
        if (!repairDone) {
            const auto took = freshAt - began;
            const auto grace = std::max<Clock::duration>(
                took, std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kGraceFloorSeconds)));
            if (trace())
                std::fprintf(stderr, "race: from scratch first (%s, %.3f s); the repair goes on a while\n",
                             solved(freshOutcome) ? "solved" : "proved impossible",
                             std::chrono::duration<double>(took).count());
            changed.wait_until(guard, freshAt + grace, [&] { return repairDone; });
            stopRepair = true;
        }
        stopFresh = true;
    }
    repairer.join();
    scratcher.join();
    if (request.cancel && request.cancel->load() && !solved(repairOutcome)) {
        SolverOutcome cancelled;
        cancelled.status = SolverOutcome::Status::Cancelled;
        return cancelled;
    }
    // A repair stopped by the race before it found anything says nothing:
    // the answer from scratch stands (its proof too), else the start is
    // handed back as it was.
    if (repairOutcome.status == SolverOutcome::Status::Cancelled) {
        if (freshOutcome.status == SolverOutcome::Status::Impossible)
            return freshOutcome;
        repairOutcome.status = SolverOutcome::Status::OutOfBudget;
        repairOutcome.grid = request.start;
    }
    if (repairOutcome.status == SolverOutcome::Status::Impossible)
        return repairOutcome;
    if (solved(freshOutcome) && (!solved(repairOutcome) || freshOutcome.changedCells < repairOutcome.changedCells))
        freshOutcome = restored(pb, request, std::move(freshOutcome), began, true);
    return better(std::move(repairOutcome), std::move(freshOutcome));
}

} // namespace SolverDetail
