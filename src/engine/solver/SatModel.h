#pragma once

#include "engine/solver/CnfBuilder.h"
#include "engine/solver/SolverCommon.h"
#include "engine/solver/TimetableSolver.h"

#include <cstdint>
#include <functional>
#include <vector>

// The timetable as a SAT model: a variable per unit and allowed slot, the
// weekly counts, one lesson per class and per teacher in a slot, spread,
// fixed lessons and pins. The explaining level puts every group of
// constraints under a selector of its own.
namespace SolverDetail {

struct Level
{
    bool spread = true;
    bool fallback = false; // allow the union of the zones on days they share nothing
    bool explain = false;  // a selector for every group of constraints, zones included
    bool plain = false;    // the solver's default tuning (a portfolio's second kind of search)
};

// One selector of the explaining model and what it stands for.
struct Selector
{
    enum class Kind { Teacher, Fixed, Pin, SubjectZone, TeacherZone, TeacherOff, TeacherLimit, Venue, Double };
    Kind kind;
    int index; // teacher id, unit, fixed lesson, pin, venue cap (index in Units::venues)
    int lit;
};

class SatModel
{
public:
    // `interrupt` is asked now and then while the clauses are collected and
    // handed over; it throws CnfBuilder::Interrupted to give up the model.
    SatModel(const SolverProblem& pb, const Units& units, const Level& level, const SolverRequest& request,
             std::uint32_t seed, std::function<void()> interrupt)
        : m_pb(pb)
        , m_units(units)
        , m_level(level)
    {
        m_cnf.setInterrupt(std::move(interrupt));
        build(request, seed);
        m_cnf.solver();
        m_cnf.setInterrupt({});
    }

    CnfBuilder& cnf() { return m_cnf; }
    int x(int u, int t) const { return m_x[static_cast<size_t>(u)][static_cast<size_t>(t)]; }
    const std::vector<Selector>& selectors() const { return m_selectors; }
    // Selectors that must hold in every solve (fixed lessons and pins).
    std::vector<int> hardAssumptions() const;
    const std::vector<int>& pinUnits() const { return m_pinUnit; }

private:
    int selector(Selector::Kind kind, int index)
    {
        const int lit = m_cnf.newVar();
        m_selectors.push_back({kind, index, lit});
        return lit;
    }
    int guardFor(Selector::Kind kind, int index) { return m_level.explain ? selector(kind, index) : 0; }

    void build(const SolverRequest& request, std::uint32_t seed);

    // In a slot, the lessons taught number the classes when every class's
    // week is full. A teacher whose lessons are all single-class ones counts
    // once (their busy literal); combined groups, lessons of several teachers
    // and lessons without one count once per class.
    void addSlotCounts(const std::vector<std::vector<int>>& busyIn);

    std::vector<int> lessonVars(int u, int fromDay, int toDay) const;

    // The scheduling rules (SatModelRules.cpp): periods off, a teacher's limits
    // on the busy literals, venue caps and double lessons.
    void addPeriodsOff();
    void addTeacherLimits(const std::vector<std::vector<int>>& busyIn);
    void addVenueCaps();
    void addDoubleLessons();
    // A unit with double lessons, spread: a day holds one single lesson or
    // two on adjacent periods of one half, as many days two as doubles.
    void addDoubleSpread(int u);

    const SolverProblem& m_pb;
    const Units& m_units;
    Level m_level;
    CnfBuilder m_cnf;
    std::vector<std::vector<int>> m_x;
    std::vector<Selector> m_selectors;
    std::vector<int> m_pinUnit;
};
} // namespace SolverDetail
