#include "engine/solver/CnfBuilder.h"

#include <algorithm>

void CnfBuilder::clause(std::initializer_list<int> lits, int guard)
{
    m_pending.insert(m_pending.end(), lits.begin(), lits.end());
    if (guard != 0)
        m_pending.push_back(-guard);
    m_pending.push_back(0);
    added(lits.size() + (guard != 0 ? 1 : 0));
}

void CnfBuilder::clause(const std::vector<int>& lits, int guard)
{
    m_pending.insert(m_pending.end(), lits.begin(), lits.end());
    if (guard != 0)
        m_pending.push_back(-guard);
    m_pending.push_back(0);
    added(lits.size() + (guard != 0 ? 1 : 0));
}

void CnfBuilder::added(std::size_t literals)
{
    ++m_clauses;
    m_literals += static_cast<std::int64_t>(literals);
    if (m_literals >= m_nextInterrupt) {
        m_nextInterrupt = m_literals + kInterruptEvery;
        if (m_interrupt)
            m_interrupt();
    }
}

void CnfBuilder::flush()
{
    if (m_vars > m_reserved) {
        m_solver.reserve(m_vars);
        m_reserved = m_vars;
    }
    // A large model takes a while to hand over: the interrupt is asked
    // between slices, and what was handed over is dropped from the list.
    constexpr size_t kSlice = 1 << 20;
    size_t from = 0;
    while (from < m_pending.size()) {
        if (from > 0 && m_interrupt)
            m_interrupt();
        size_t to = std::min(m_pending.size(), from + kSlice);
        while (to < m_pending.size() && m_pending[to - 1] != 0)
            ++to; // whole clauses only
        for (size_t i = from; i < to; ++i)
            m_solver.add(m_pending[i]);
        from = to;
    }
    m_pending.clear();
    m_pending.shrink_to_fit();
}

int CnfBuilder::anyOf(const std::vector<int>& lits)
{
    if (lits.size() == 1)
        return lits.front();
    const int any = newVar();
    std::vector<int> definition{-any};
    for (const int lit : lits) {
        definition.push_back(lit);
        clause({-lit, any});
    }
    clause(definition);
    return any;
}

std::vector<int> CnfBuilder::countUpTo(const std::vector<int>& lits, int upTo)
{
    // prev[j]: at least j + 1 of the literals so far; 0 stands for false.
    std::vector<int> prev(static_cast<size_t>(upTo), 0);
    for (size_t i = 0; i < lits.size(); ++i) {
        const int x = lits[i];
        std::vector<int> next(static_cast<size_t>(upTo), 0);
        for (int j = 0; j < upTo && j <= static_cast<int>(i); ++j) {
            const int keep = prev[static_cast<size_t>(j)];
            const int below = j == 0 ? 0 : prev[static_cast<size_t>(j - 1)];
            if (j == 0 && keep == 0) {
                next[0] = x; // the first literal counts itself
                continue;
            }
            const int self = newVar();
            next[static_cast<size_t>(j)] = self;
            // self <-> keep or (x and (j == 0 or below))
            if (keep != 0)
                clause({-keep, self});
            if (j == 0)
                clause({-x, self});
            else
                clause({-x, -below, self});
            if (keep != 0)
                clause({-self, keep, x});
            else
                clause({-self, x});
            if (j > 0) {
                if (keep != 0)
                    clause({-self, keep, below});
                else
                    clause({-self, below});
            }
        }
        prev = std::move(next);
    }
    return prev;
}

void CnfBuilder::atMost(const std::vector<int>& lits, int k, int guard)
{
    const int n = static_cast<int>(lits.size());
    if (k >= n)
        return;
    if (k <= 0) {
        for (const int lit : lits)
            clause({-lit}, guard);
        return;
    }
    if (k == 1 && n <= 5) {
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                clause({-lits[i], -lits[j]}, guard);
        return;
    }
    // s[i][j]: at least j + 1 of the first i + 1 literals are true (upward only).
    std::vector<int> s(static_cast<size_t>(n - 1) * static_cast<size_t>(k));
    auto at = [&](int i, int j) -> int& { return s[static_cast<size_t>(i) * static_cast<size_t>(k) + static_cast<size_t>(j)]; };
    for (int i = 0; i < n - 1; ++i)
        for (int j = 0; j < k; ++j)
            at(i, j) = newVar();
    clause({-lits[0], at(0, 0)});
    for (int i = 1; i < n - 1; ++i) {
        clause({-lits[i], at(i, 0)});
        for (int j = 0; j < k; ++j)
            clause({-at(i - 1, j), at(i, j)});
        for (int j = 1; j < k; ++j)
            clause({-lits[i], -at(i - 1, j - 1), at(i, j)});
        clause({-lits[i], -at(i - 1, k - 1)}, guard);
    }
    clause({-lits[n - 1], -at(n - 2, k - 1)}, guard);
}

void CnfBuilder::atLeast(const std::vector<int>& lits, int k, int guard)
{
    const int n = static_cast<int>(lits.size());
    if (k <= 0)
        return;
    if (k > n) {
        clause(std::vector<int>{}, guard);
        return;
    }
    if (k == n) {
        for (const int lit : lits)
            clause({lit}, guard);
        return;
    }
    if (k == 1) {
        clause(lits, guard);
        return;
    }
    // r(i, j), 1 <= i <= n: at least j of the first i literals are true
    // (downward only). Only the cells from which j = k at i = n is reachable exist.
    constexpr int kTrue = 0;
    constexpr int kFalse = -1;
    std::vector<int> r(static_cast<size_t>(n + 1) * static_cast<size_t>(k + 1), kFalse);
    auto cell = [&](int i, int j) -> int {
        if (j <= 0)
            return kTrue;
        if (i < j || j < k - (n - i))
            return kFalse;
        return r[static_cast<size_t>(i) * static_cast<size_t>(k + 1) + static_cast<size_t>(j)];
    };
    for (int i = 1; i <= n; ++i)
        for (int j = std::max(1, k - (n - i)); j <= std::min(i, k); ++j)
            r[static_cast<size_t>(i) * static_cast<size_t>(k + 1) + static_cast<size_t>(j)] = newVar();
    clause({cell(n, k)}, guard);
    for (int i = 1; i <= n; ++i)
        for (int j = std::max(1, k - (n - i)); j <= std::min(i, k); ++j) {
            const int self = cell(i, j);
            const int keep = cell(i - 1, j);     // already j before literal i
            const int below = cell(i - 1, j - 1); // j - 1 before, literal i makes j
            // self -> keep or lit_i
            if (keep == kFalse)
                clause({-self, lits[static_cast<size_t>(i - 1)]});
            else
                clause({-self, keep, lits[static_cast<size_t>(i - 1)]});
            // self -> keep or below
            if (below == kTrue)
                continue;
            if (keep == kFalse && below == kFalse)
                clause({-self});
            else if (keep == kFalse)
                clause({-self, below});
            else if (below == kFalse)
                clause({-self, keep});
            else
                clause({-self, keep, below});
        }
}

// ---- Sizes: the same loops as the shapes above, counting instead of adding.

std::vector<int> CnfBuilder::countAtLeast(const std::vector<int>& lits, int upTo, int guard)
{
    if (lits.empty() || upTo <= 0)
        return std::vector<int>(static_cast<size_t>(std::max(upTo, 0)), 0);
    // Each half counted on its own, then merged: a from the left and b from
    // the right make at least a + b (counts past upTo end in the last output).
    std::vector<std::vector<int>> level;
    level.reserve(lits.size());
    for (const int lit : lits)
        level.push_back({lit});
    while (level.size() > 1) {
        std::vector<std::vector<int>> next;
        for (size_t i = 0; i + 1 < level.size(); i += 2) {
            const std::vector<int>& a = level[i];
            const std::vector<int>& b = level[i + 1];
            const size_t width = std::min(a.size() + b.size(), static_cast<size_t>(upTo));
            std::vector<int> merged(width);
            for (int& out : merged)
                out = newVar();
            for (size_t x = 0; x <= a.size(); ++x)
                for (size_t y = 0; y <= b.size(); ++y) {
                    if (x + y == 0)
                        continue;
                    const size_t at = std::min(x + y, width) - 1;
                    std::vector<int> c;
                    if (x > 0)
                        c.push_back(-a[x - 1]);
                    if (y > 0)
                        c.push_back(-b[y - 1]);
                    c.push_back(merged[at]);
                    clause(c, guard);
                    if (x + y > width)
                        break; // larger y say no more
                }
            next.push_back(std::move(merged));
        }
        if (level.size() % 2 == 1)
            next.push_back(std::move(level.back()));
        level.swap(next);
    }
    std::vector<int> out = level.front();
    if (lits.size() == 1 && guard != 0) {
        // A lone literal counts itself, but behind the guard like the rest.
        out.front() = newVar();
        clause({-lits.front(), out.front()}, guard);
    }
    out.resize(static_cast<size_t>(upTo), 0);
    return out;
}

CnfBuilder::Size CnfBuilder::atMostSize(int n, int k, bool guarded)
{
    const double g = guarded ? 1 : 0;
    if (k >= n)
        return {};
    if (k <= 0)
        return {0, double(n), n * (1 + g)};
    if (k == 1 && n <= 5) {
        const double pairs = n * (n - 1) / 2.0;
        return {0, pairs, pairs * (2 + g)};
    }
    const double rows = n - 2;
    return {double(n - 1) * k, 2 + rows * (2.0 * k + 1), 4 + g + rows * (5.0 * k + 1 + g)};
}

CnfBuilder::Size CnfBuilder::atLeastSize(int n, int k, bool guarded)
{
    const double g = guarded ? 1 : 0;
    if (k <= 0)
        return {};
    if (k > n)
        return {0, 1, g};
    if (k == n)
        return {0, double(n), n * (1 + g)};
    if (k == 1)
        return {0, 1, n + g};
    Size size{0, 1, 1 + g};
    // Cell (i, j) exists for max(1, k - (n - i)) <= j <= min(i, k); its
    // neighbours (i - 1, j) and (i - 1, j - 1) are false, true or a cell.
    auto exists = [&](int i, int j) { return j >= 1 && i >= j && j >= k - (n - i); };
    for (int i = 1; i <= n; ++i)
        for (int j = std::max(1, k - (n - i)); j <= std::min(i, k); ++j) {
            size.variables += 1;
            const bool keepFalse = !exists(i - 1, j);
            const bool belowTrue = j - 1 <= 0;
            const bool belowFalse = !belowTrue && !exists(i - 1, j - 1);
            size.clauses += 1;
            size.literals += keepFalse ? 2 : 3;
            if (belowTrue)
                continue;
            size.clauses += 1;
            size.literals += keepFalse && belowFalse ? 1 : keepFalse || belowFalse ? 2 : 3;
        }
    return size;
}

CnfBuilder::Size CnfBuilder::anyOfSize(int n)
{
    if (n == 1)
        return {};
    return {1, double(n) + 1, 2.0 * n + n + 1};
}

CnfBuilder::Size CnfBuilder::countUpToSize(int n, int upTo)
{
    Size size;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < upTo && j <= i; ++j) {
            const bool keep = j <= i - 1; // prev[j] set by an earlier literal
            if (j == 0 && !keep)
                continue;
            size.variables += 1;
            if (keep) {
                size.clauses += 1;
                size.literals += 2;
            }
            size.clauses += 1;
            size.literals += j == 0 ? 2 : 3;
            size.clauses += 1;
            size.literals += keep ? 3 : 2;
            if (j > 0) {
                size.clauses += 1;
                size.literals += keep ? 3 : 2;
            }
        }
    return size;
}
