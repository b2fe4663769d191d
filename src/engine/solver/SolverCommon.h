#pragma once

#include "engine/solver/SolverUnits.h"

#include <cadical.hpp>

#include <QString>

#include <atomic>
#include <chrono>
#include <vector>

// What the parts of the timetable solver share: the clock, the trace switch,
// a unit's name in words, and the stop check handed to CaDiCaL.
namespace SolverDetail {

using Clock = std::chrono::steady_clock;

using SolverUnits::buildUnits;
using SolverUnits::hasTeacher;
using SolverUnits::Unit;
using SolverUnits::Units;

// VORLAT_SOLVER_TRACE=1 prints each search step on stderr, for tuning.
bool trace();

// "一(1)班 语文", or the classes of a combined group and the subject.
QString unitName(const SolverProblem& pb, const Unit& u);

// Lessons of the plan missing from the timetable.
int unplacedIn(const SolverProblem& pb, const std::vector<int>& grid);

// With a time limit, a repair ends putting cells back at this share of it:
// the answer comes well before the limit, not at it.
constexpr double kRestoreShare = 0.85;

// Stops CaDiCaL when the caller cancels or the wall-clock limit passes.
class StopCheck : public CaDiCaL::Terminator
{
public:
    StopCheck(const std::atomic<bool>* cancel, const std::atomic<bool>* portfolioStop, Clock::time_point deadline,
              bool hasDeadline)
        : m_cancel(cancel)
        , m_portfolioStop(portfolioStop)
        , m_deadline(deadline)
        , m_hasDeadline(hasDeadline)
    {
    }
    bool terminate() override { return stopped() || timedOut(); }
    // A time by which a first answer must be found (a repair racing a
    // search from scratch on one thread); found() lifts it, the deadline
    // proper stays.
    void limitFinding(Clock::time_point by)
    {
        m_findBy = by;
        m_findLimited = true;
    }
    void found() { m_findLimited = false; }
    // Brings the deadline forward (never back).
    void endBy(Clock::time_point by)
    {
        if (!m_hasDeadline || by < m_deadline)
            m_deadline = by;
        m_hasDeadline = true;
    }
    bool cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }
    bool stopped() const
    {
        return cancelled() || (m_portfolioStop && m_portfolioStop->load(std::memory_order_relaxed));
    }
    bool timedOut() const
    {
        return (m_hasDeadline && Clock::now() >= m_deadline) || (m_findLimited && Clock::now() >= m_findBy);
    }

private:
    const std::atomic<bool>* m_cancel;
    const std::atomic<bool>* m_portfolioStop;
    Clock::time_point m_deadline;
    bool m_hasDeadline;
    Clock::time_point m_findBy;
    bool m_findLimited = false;
};
} // namespace SolverDetail
