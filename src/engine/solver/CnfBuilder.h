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
    // The solver with every clause so far handed over.
    CaDiCaL::Solver& solver()
    {
        flush();
        return m_solver;
    }
    // Solver options, before the first clause is handed over.
    void set(const char* name, int value) { m_solver.set(name, value); }
    int newVar() { return ++m_vars; }
    int varCount() const { return m_vars; }

    void clause(std::initializer_list<int> lits, int guard = 0);
    void clause(const std::vector<int>& lits, int guard = 0);

    // At most k of the literals true (sequential counter; pairwise for one of few).
    void atMost(const std::vector<int>& lits, int k, int guard = 0);
    // At least k of the literals true.
    void atLeast(const std::vector<int>& lits, int k, int guard = 0);
    // A literal true exactly when one of the literals is: the literal itself
    // when there is one, else a new variable defined as their "or".
    int anyOf(const std::vector<int>& lits);
    // Literals o[0..upTo-1], o[j] true exactly when at least j + 1 of the
    // literals are (a sequential counter defined both ways).
    std::vector<int> countUpTo(const std::vector<int>& lits, int upTo);
    void exactly(const std::vector<int>& lits, int k, int guard = 0)
    {
        atMost(lits, k, guard);
        atLeast(lits, k, guard);
    }

private:
    // Clauses are collected first and handed over in one go, once the number
    // of variables is known, so that the solver sizes its tables once.
    void flush();

    CaDiCaL::Solver m_solver;
    std::vector<int> m_pending; // literals, each clause ended by 0
    int m_reserved = 0;
    int m_vars = 0;
};
