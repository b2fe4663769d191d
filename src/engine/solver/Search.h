#pragma once

#include "engine/solver/SatModel.h"
#include "engine/solver/SolverCommon.h"
#include "engine/solver/TimetableSolver.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

// One search for a timetable, from the quick local search through the SAT
// model's levels, with the repair of a start timetable and the explanation
// of an impossible school. Its parts: Search.cpp (the run and its levels),
// SearchRepair.cpp (solving a level, freeing and restoring a repair's
// cells), SearchExplain.cpp (what needs no search, and the explanation).
namespace SolverDetail {

class Search
{
public:
    Search(const SolverProblem& pb, const SolverRequest& request, std::uint32_t seed,
           const std::atomic<bool>* portfolioStop, bool plain = false)
        : m_pb(pb)
        , m_request(request)
        , m_seed(seed)
        , m_plain(plain)
        , m_stop(request.cancel, portfolioStop,
                 Clock::now() + std::chrono::milliseconds(static_cast<long long>(request.timeLimitSeconds * 1000)),
                 request.timeLimitSeconds > 0)
        , m_restoreBy(Clock::now()
                      + std::chrono::milliseconds(static_cast<long long>(request.timeLimitSeconds * kRestoreShare * 1000)))
    {
    }

    SolverOutcome run();
    // The repair of the start led by a timetable found otherwise that keeps
    // the pins (the search from scratch): cells of the start are put back
    // into it as far as they go. Solved, or out of budget when the timetable
    // does not hold in the model.
    SolverOutcome restoreInto(const std::vector<int>& found);
    // A first answer must come within this time; once found, the search
    // may go on to the request's own limit, putting cells back.
    void limitFinding(double seconds)
    {
        m_stop.limitFinding(Clock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000)));
    }

private:
    enum class Result { Sat, Unsat, Unknown };

    void report(const QString& stage, int best = -1, bool restoring = false)
    {
        if (m_request.progress)
            m_request.progress({stage, best, restoring});
    }
    Result solve(SatModel& model, const std::vector<int>& assumptions, std::int64_t budget);
    std::vector<int> gridOf(SatModel& model) const;
    // The model of a level, or none when the caller cancelled or the time
    // ran out while it was built.
    std::unique_ptr<SatModel> buildModel(const Level& level);
    void setPhases(SatModel& model, const std::vector<int>& preferred) const;
    // A lesson of the start timetable the repair tries to keep.
    struct Keep
    {
        int lit, unit, slot;
    };
    // unfinishedRounds: rounds out of conflicts before it gives up.
    void reduceChanges(SatModel& model, const std::vector<int>& hard, const std::vector<Keep>& start,
                       std::vector<int>& grid, int unfinishedRounds = 4);
    Result solveLevel(const Level& level, std::vector<int>& grid,
                      std::int64_t budgetCap = std::numeric_limits<std::int64_t>::max());
    std::vector<int> spreadFaultUnits(const std::vector<int>& grid) const;
    // `nearSpread`: the timetable comes from the quick search with spread, so
    // its best is found within fewer moves.
    void polishSpread(std::vector<int>& grid, bool nearSpread = false);
    // A clash-free timetable without spread, polished towards spread, before
    // spread itself is pursued (SearchCleanFirst.cpp).
    Result cleanFirst(std::vector<int>& clean);
    // A repair by the quick search alone (SearchQuickRepair.cpp): true with
    // a clash-free timetable keeping every rule, pin and fixed lesson, as
    // spread as the start.
    bool quickRepair(std::vector<int>& grid);
    bool quickWithoutSpread(std::vector<int>& grid);
    void noteRelaxedSpread(SolverOutcome& outcome) const;
    QStringList explain();
    void finish(SolverOutcome& outcome) const;
    // The scheduling rules all kept (a quick answer is taken only then).
    bool rulesHold(const std::vector<int>& grid) const;
    QString describe(const Selector& sel) const;
    QString describeRule(const Selector& sel) const;
    static bool isRule(Selector::Kind kind)
    {
        return kind == Selector::Kind::TeacherOff || kind == Selector::Kind::TeacherLimit
            || kind == Selector::Kind::Venue || kind == Selector::Kind::Double;
    }
    bool precheck(QStringList& explanation) const;
    void teacherRulesPrecheck(QStringList& explanation) const;
    void venueAndDoublePrecheck(QStringList& explanation) const;

    const SolverProblem& m_pb;
    const SolverRequest& m_request;
    std::uint32_t m_seed;
    bool m_plain;
    StopCheck m_stop;
    Clock::time_point m_restoreBy; // with a time limit, putting cells back ends then
    Units m_units;
    std::vector<int> m_greedy;
    bool m_greedyIsLocalBest = false; // m_greedy is the local search's best: spread, but with clashes
    bool m_restoring = false;         // a repair is found; its changed cells are being put back
    std::int64_t m_budgetLeft = 0;
    int m_spreadBound = 0; // spread faults every timetable has, by counting (SpreadBound)
};
} // namespace SolverDetail
