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

    // A totalizer bounds the count from above, for every bound at once:
    // assuming output k false allows exactly the assignments with at most k
    // true. With its guard false it allows anything.
    void totalizerBoundsEveryCount_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("upTo");
        QTest::addColumn<bool>("guarded");
        QTest::newRow("three outputs over five") << 5 << 3 << false;
        QTest::newRow("all outputs over seven (odd halves)") << 7 << 7 << false;
        QTest::newRow("two outputs over six, guarded") << 6 << 2 << true;
        QTest::newRow("more outputs than literals") << 3 << 5 << false;
        QTest::newRow("one literal") << 1 << 1 << true;
    }
    void totalizerBoundsEveryCount()
    {
        QFETCH(int, n);
        QFETCH(int, upTo);
        QFETCH(bool, guarded);
        CnfBuilder cnf;
        const std::vector<int> lits = literals(cnf, n);
        const int guard = guarded ? cnf.newVar() : 0;
        const std::vector<int> atLeast = cnf.countAtLeast(lits, upTo, guard);
        QCOMPARE(static_cast<int>(atLeast.size()), upTo);
        CaDiCaL::Solver& solver = cnf.solver();
        for (unsigned bits = 0; bits < (1u << n); ++bits) {
            const int count = std::popcount(bits);
            for (int k = 0; k < upTo; ++k) {
                const int out = atLeast[static_cast<size_t>(k)];
                if (out == 0) { // the literals are too few to reach k + 1
                    QVERIFY(count <= k);
                    continue;
                }
                assume(solver, lits, bits);
                solver.assume(-out);
                if (guarded)
                    solver.assume(guard);
                QCOMPARE(solver.solve() == 10, count <= k);
                if (!guarded)
                    continue;
                assume(solver, lits, bits);
                solver.assume(-out);
                solver.assume(-guard);
                QCOMPARE(solver.solve(), 10);
            }
        }
    }

    // The sizes worked out ahead (for the model's memory estimate) are what
    // the shapes add: variables, clauses and literals, guards included.
    void sizesMatchTheShapes_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("k");
        QTest::addColumn<bool>("guarded");
        for (const bool guarded : {false, true}) {
            const char* g = guarded ? ", guarded" : "";
            QTest::addRow("at most one of four%s", g) << "atMost" << 4 << 1 << guarded;
            QTest::addRow("at most one of forty%s", g) << "atMost" << 40 << 1 << guarded;
            QTest::addRow("at most three of nine%s", g) << "atMost" << 9 << 3 << guarded;
            QTest::addRow("at most none of three%s", g) << "atMost" << 3 << 0 << guarded;
            QTest::addRow("at most six of six%s", g) << "atMost" << 6 << 6 << guarded;
            QTest::addRow("at least one of seven%s", g) << "atLeast" << 7 << 1 << guarded;
            QTest::addRow("at least five of twelve%s", g) << "atLeast" << 12 << 5 << guarded;
            QTest::addRow("at least all four%s", g) << "atLeast" << 4 << 4 << guarded;
            QTest::addRow("at least five of three%s", g) << "atLeast" << 3 << 5 << guarded;
        }
        QTest::newRow("any of one") << "anyOf" << 1 << 0 << false;
        QTest::newRow("any of eight") << "anyOf" << 8 << 0 << false;
        QTest::newRow("count up to three of eight") << "countUpTo" << 8 << 3 << false;
        QTest::newRow("count up to four of two") << "countUpTo" << 2 << 4 << false;
    }
    void sizesMatchTheShapes()
    {
        QFETCH(QString, shape);
        QFETCH(int, n);
        QFETCH(int, k);
        QFETCH(bool, guarded);
        CnfBuilder cnf;
        const std::vector<int> lits = literals(cnf, n);
        const int guard = guarded ? cnf.newVar() : 0;
        const int vars = cnf.varCount();
        CnfBuilder::Size size;
        if (shape == QLatin1String("atMost")) {
            cnf.atMost(lits, k, guard);
            size = CnfBuilder::atMostSize(n, k, guarded);
        } else if (shape == QLatin1String("atLeast")) {
            cnf.atLeast(lits, k, guard);
            size = CnfBuilder::atLeastSize(n, k, guarded);
        } else if (shape == QLatin1String("anyOf")) {
            cnf.anyOf(lits);
            size = CnfBuilder::anyOfSize(n);
        } else {
            cnf.countUpTo(lits, k);
            size = CnfBuilder::countUpToSize(n, k);
        }
        QCOMPARE(cnf.varCount() - vars, static_cast<int>(size.variables));
        QCOMPARE(cnf.clauseCount(), static_cast<std::int64_t>(size.clauses));
        QCOMPARE(cnf.literalCount(), static_cast<std::int64_t>(size.literals));
    }

    // The interrupt is asked while clauses are collected and while they are
    // handed over; what it throws ends the building.
    void interruptIsAskedWhileBuilding()
    {
        CnfBuilder cnf;
        int asked = 0;
        cnf.setInterrupt([&asked] { ++asked; });
        const std::vector<int> lits = literals(cnf, 3);
        for (int i = 0; i < 400000; ++i)
            cnf.clause({lits[0], -lits[1], lits[2]});
        const int whileCollected = asked;
        QVERIFY(whileCollected >= 1200000 / 65536);
        cnf.solver();
        QVERIFY(asked > whileCollected);

        CnfBuilder stopped;
        stopped.setInterrupt([] { throw CnfBuilder::Interrupted(); });
        bool thrown = false;
        try {
            for (int i = 0; i < 100000; ++i)
                stopped.clause({1, 2});
        } catch (const CnfBuilder::Interrupted&) {
            thrown = true;
        }
        QVERIFY(thrown);
        QVERIFY(stopped.literalCount() < 100000);
    }
};

QTEST_APPLESS_MAIN(CnfBuilderTest)
#include "CnfBuilderTest.moc"
