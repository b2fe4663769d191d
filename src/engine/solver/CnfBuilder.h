#pragma once

#include <cadical.hpp>

#include <vector>

// Clauses for CaDiCaL with the few constraint shapes the timetable needs.
// Every shape takes a guard: a selector literal that switches the whole shape
// on (0 = always on). Only the clauses that forbid something carry the guard;
// the helper variables' definitions hold either way.
class CnfBuilder
{
public:
    CaDiCaL::Solver& solver() { return m_solver; }
    int newVar() { return ++m_vars; }
    int varCount() const { return m_vars; }

    void clause(std::initializer_list<int> lits, int guard = 0);
    void clause(const std::vector<int>& lits, int guard = 0);

    // At most k of the literals true (sequential counter; pairwise for one of few).
    void atMost(const std::vector<int>& lits, int k, int guard = 0);
    // At least k of the literals true.
    void atLeast(const std::vector<int>& lits, int k, int guard = 0);
    void exactly(const std::vector<int>& lits, int k, int guard = 0)
    {
        atMost(lits, k, guard);
        atLeast(lits, k, guard);
    }

private:
    CaDiCaL::Solver m_solver;
    int m_vars = 0;
};
