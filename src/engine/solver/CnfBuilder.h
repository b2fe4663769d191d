#pragma once

#include <cadical.hpp>

#include <cstdint>
#include <functional>
#include <vector>

// Clauses for CaDiCaL with the few constraint shapes the timetable needs.
// Every shape takes a guard: a selector literal that switches the whole shape
// on (0 = always on). Only the clauses that forbid something carry the guard;
// the helper variables' definitions hold either way.
class CnfBuilder
{
public:
    // Thrown by the interrupt check to abandon a model half built.
    struct Interrupted
    {
    };

    // What a shape adds: new variables, clauses and their literals (guards
    // included). The static sizes below count exactly what the shapes of the
    // same name add, so a model's size can be known before it is built.
    struct Size
    {
        double variables = 0;
        double clauses = 0;
        double literals = 0;
    };
    static Size atMostSize(int n, int k, bool guarded = false);
    static Size atLeastSize(int n, int k, bool guarded = false);
    static Size anyOfSize(int n);
    static Size countUpToSize(int n, int upTo);

    // Called every few tens of thousands of literals while clauses are
    // collected and handed over; it throws Interrupted to stop the building.
    void setInterrupt(std::function<void()> check) { m_interrupt = std::move(check); }

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
    // Clauses and literals added so far (guards included).
    std::int64_t clauseCount() const { return m_clauses; }
    std::int64_t literalCount() const { return m_literals; }

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
    // Literals o[0..upTo-1], o[j] forced true when at least j + 1 of the
    // literals are (a totalizer, one way only): assuming -o[k] allows at
    // most k, for any k below upTo, without a clause added per bound; 0
    // where the literals are too few to reach the count. With a guard,
    // every clause carries it: once the guard is false the solver may drop
    // them all.
    std::vector<int> countAtLeast(const std::vector<int>& lits, int upTo, int guard = 0);
    void exactly(const std::vector<int>& lits, int k, int guard = 0)
    {
        atMost(lits, k, guard);
        atLeast(lits, k, guard);
    }

private:
    // Clauses are collected first and handed over in one go, once the number
    // of variables is known, so that the solver sizes its tables once.
    void flush();
    void added(std::size_t literals);

    static constexpr std::int64_t kInterruptEvery = 1 << 16; // literals

    CaDiCaL::Solver m_solver;
    std::vector<int> m_pending; // literals, each clause ended by 0
    int m_reserved = 0;
    int m_vars = 0;
    std::int64_t m_clauses = 0;
    std::int64_t m_literals = 0;
    std::int64_t m_nextInterrupt = kInterruptEvery;
    std::function<void()> m_interrupt;
};
