#include "engine/solver/CnfBuilder.h"

#include <QtTest>

#include <bit>
#include <functional>

// Every shape is checked against every assignment of its literals: the
// solver must accept exactly the assignments the shape allows, and a count's
// outputs must follow from the literals in both directions.
class CnfBuilderTest : public QObject
{
    Q_OBJECT

    using Shape = std::function<void(CnfBuilder&, const std::vector<int>&)>;

    static std::vector<int> literals(CnfBuilder& cnf, int n)
    {
        std::vector<int> lits;
        for (int i = 0; i < n; ++i)
            lits.push_back(cnf.newVar());
        return lits;
    }

    // Assumes the literals as the bits of `bits` say.
    static void assume(CaDiCaL::Solver& solver, const std::vector<int>& lits, unsigned bits)
    {
        for (size_t i = 0; i < lits.size(); ++i)
            solver.assume((bits >> i) & 1u ? lits[i] : -lits[i]);
    }

private Q_SLOTS:
    void boundsAcceptExactlyTheirCounts_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("k");
        QTest::newRow("at most one of four (pairs)") << "atMost" << 4 << 1;
        QTest::newRow("at most one of seven (counter)") << "atMost" << 7 << 1;
        QTest::newRow("at most three of six") << "atMost" << 6 << 3;
        QTest::newRow("at most none") << "atMost" << 3 << 0;
        QTest::newRow("at least two of five") << "atLeast" << 5 << 2;
        QTest::newRow("at least all four") << "atLeast" << 4 << 4;
        QTest::newRow("exactly three of seven") << "exactly" << 7 << 3;
    }
    void boundsAcceptExactlyTheirCounts()
    {
        QFETCH(QString, shape);
        QFETCH(int, n);
        QFETCH(int, k);
        CnfBuilder cnf;
        const std::vector<int> lits = literals(cnf, n);
        if (shape == QLatin1String("atMost"))
            cnf.atMost(lits, k);
        else if (shape == QLatin1String("atLeast"))
            cnf.atLeast(lits, k);
        else
            cnf.exactly(lits, k);
        CaDiCaL::Solver& solver = cnf.solver();
        for (unsigned bits = 0; bits < (1u << n); ++bits) {
            const int count = std::popcount(bits);
            const bool allowed = shape == QLatin1String("atMost") ? count <= k
                : shape == QLatin1String("atLeast")               ? count >= k
                                                                  : count == k;
            assume(solver, lits, bits);
            QCOMPARE(solver.solve() == 10, allowed);
        }
    }

    void countFollowsTheLiterals_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("upTo");
        QTest::newRow("three outputs over five") << 5 << 3;
        QTest::newRow("one output over four") << 4 << 1;
        QTest::newRow("more outputs than literals") << 2 << 4;
    }
    void countFollowsTheLiterals()
    {
        QFETCH(int, n);
        QFETCH(int, upTo);
        CnfBuilder cnf;
        const std::vector<int> lits = literals(cnf, n);
        const std::vector<int> atLeast = cnf.countUpTo(lits, upTo);
        QCOMPARE(static_cast<int>(atLeast.size()), upTo);
        CaDiCaL::Solver& solver = cnf.solver();
        for (unsigned bits = 0; bits < (1u << n); ++bits) {
            const int count = std::popcount(bits);
            for (int j = 0; j < upTo; ++j) {
                const bool holds = count >= j + 1;
                const int out = atLeast[static_cast<size_t>(j)];
                if (out == 0) { // stands for false: more than there are literals
                    QVERIFY(!holds);
                    continue;
                }
                // The output takes its value, and cannot take the other.
                assume(solver, lits, bits);
                solver.assume(holds ? out : -out);
                QCOMPARE(solver.solve(), 10);
                assume(solver, lits, bits);
                solver.assume(holds ? -out : out);
                QCOMPARE(solver.solve(), 20);
            }
        }
    }
};

QTEST_APPLESS_MAIN(CnfBuilderTest)
#include "CnfBuilderTest.moc"
