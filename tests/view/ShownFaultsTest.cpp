#include "TimetableFixture.h"

#include "view/ShownFaults.h"

#include <QtTest>

namespace {

// The plan: two classes, one day of three periods; 语文 and 数学 once each
// (张 teaches 数学 in both), the other subject places named "H". 语文 of
// class 1 is fixed in period 1.
SolverProblem plan()
{
    SolverProblem pb;
    pb.reset(1, 3, {QStringLiteral("一1班"), QStringLiteral("一2班")});
    for (int s = 0; s < SolverProblem::kSubjects; ++s)
        pb.subjectNames[s] = QStringLiteral("H");
    pb.subjectNames[0] = QStringLiteral("语文");
    pb.subjectNames[1] = QStringLiteral("数学");
    for (int c = 0; c < 2; ++c) {
        pb.counts[static_cast<size_t>(c)][1] = 1;
        pb.counts[static_cast<size_t>(c)][2] = 1;
        pb.teachers[static_cast<size_t>(c)][1] = c == 0 ? QStringLiteral("李") : QStringLiteral("王");
        pb.teachers[static_cast<size_t>(c)][2] = QStringLiteral("张");
    }
    return pb;
}

TimetableModel shown(const QStringList& first, const QStringList& second)
{
    TimetableModel m = emptyModel(1, 3, {QStringLiteral("一1班"), QStringLiteral("一2班")});
    fillRow(m, 0, first);
    fillRow(m, 1, second);
    m.appendFixedLesson({0, 0, 0, 1});
    return m;
}

} // namespace

class ShownFaultsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The shown grids counted by name: a free cell "H" is no lesson even
    // though unused subject places are named "H"; the fixed lessons are the
    // shown ones.
    void countsTheShownTimetable_data()
    {
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<int>("clashes");
        QTest::addColumn<int>("unplaced");
        QTest::addColumn<int>("fixed");
        QTest::newRow("as planned") << QStringList{"语文/李", "数学/张", "-"} << QStringList{"数学/张", "语文/王", "-"} << 0 << 0 << 0;
        QTest::newRow("张 twice") << QStringList{"语文/李", "数学/张", "-"} << QStringList{"语文/王", "数学/张", "-"} << 1 << 0 << 0;
        QTest::newRow("fixed 语文 moved off") << QStringList{"-", "数学/张", "语文/李"} << QStringList{"数学/张", "语文/王", "-"} << 0 << 0 << 1;
        QTest::newRow("a lesson missing") << QStringList{"语文/李", "-", "-"} << QStringList{"数学/张", "语文/王", "-"} << 0 << 1 << 0;
    }
    void countsTheShownTimetable()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(int, clashes);
        QFETCH(int, unplaced);
        QFETCH(int, fixed);
        const std::optional<TimetableFaults> faults = ShownFaults::count(plan(), shown(first, second));
        QVERIFY(faults);
        QCOMPARE(faults->clashes, clashes);
        QCOMPARE(faults->unplaced, qint64(unplaced));
        QCOMPARE(faults->fixedOutOfPlace, fixed);
        QCOMPARE(faults->required, qint64(4));
    }

    // 张 may not teach in period 2: the timetable as planned breaks the rule,
    // and the result line says so (and is then not clean, so it suggests 优化课表).
    void countsTheRulesBroken()
    {
        SolverProblem withRule = plan();
        withRule.rules.teacherOff.push_back({QStringLiteral("张"), 0, 1, 1});
        const std::optional<TimetableFaults> faults =
            ShownFaults::count(withRule, shown({"语文/李", "数学/张", "-"}, {"数学/张", "语文/王", "-"}));
        QVERIFY(faults);
        QCOMPARE(faults->rules.teacherOff, 1);
        QVERIFY(!faults->clean());
        QCOMPARE(ShownFaults::resultText(*faults, std::nullopt),
                 QStringLiteral("课表：已排 4/4 节，未排 0 节，教师冲突 0 处，违反排课规则 1 处（教师不排课 1）"));
    }

    // A timetable of other classes or another week is not counted against the plan.
    void anotherTimetableIsNotCounted()
    {
        TimetableModel other = emptyModel(1, 3, {QStringLiteral("一1班"), QStringLiteral("三2班")});
        QVERIFY(!ShownFaults::count(plan(), other));
        TimetableModel longer = emptyModel(2, 3, {QStringLiteral("一1班"), QStringLiteral("一2班")});
        QVERIFY(!ShownFaults::count(plan(), longer));
    }

    void resultText()
    {
        TimetableFaults faults;
        faults.required = 720;
        faults.unplaced = 2;
        faults.clashes = 3;
        faults.fixedOutOfPlace = 1;
        faults.outsideZones = 4;
        QCOMPARE(ShownFaults::resultText(faults, 7u),
                 QStringLiteral("排课结果：已排 718/720 节，未排 2 节，教师冲突 3 处，固定科目不在原位 1 节，时段外 4 节（随机种子 7）"));
        QCOMPARE(ShownFaults::resultText(faults, std::nullopt),
                 QStringLiteral("课表：已排 718/720 节，未排 2 节，教师冲突 3 处，固定科目不在原位 1 节，时段外 4 节"));
    }

    // After a run: a question only when something is left to repair; it names
    // what is left (the counts that are not zero) and both answers.
    void optimizeQuestion_data()
    {
        QTest::addColumn<int>("clashes");
        QTest::addColumn<int>("unplaced");
        QTest::addColumn<int>("outside");
        QTest::addColumn<int>("fixed");
        QTest::addColumn<QString>("names"); // empty: no question
        QTest::newRow("clean") << 0 << 0 << 0 << 0 << QString();
        QTest::newRow("clashes") << 3 << 0 << 0 << 0 << QStringLiteral("还有教师冲突 3 处。");
        QTest::newRow("unplaced") << 0 << 2 << 0 << 0 << QStringLiteral("还有未排 2 节。");
        QTest::newRow("outside zones") << 0 << 0 << 1 << 0 << QStringLiteral("还有时段外 1 节。");
        QTest::newRow("fixed out of place") << 0 << 0 << 0 << 1 << QStringLiteral("还有固定科目不在原位 1 节。");
        QTest::newRow("all") << 3 << 2 << 1 << 1
                             << QStringLiteral("还有教师冲突 3 处、未排 2 节、时段外 1 节、固定科目不在原位 1 节。");
    }
    void optimizeQuestion()
    {
        QFETCH(int, clashes);
        QFETCH(int, unplaced);
        QFETCH(int, outside);
        QFETCH(int, fixed);
        QFETCH(QString, names);
        TimetableFaults faults;
        faults.required = 720;
        faults.clashes = clashes;
        faults.unplaced = unplaced;
        faults.outsideZones = outside;
        faults.fixedOutOfPlace = fixed;
        const QString question = ShownFaults::optimizeQuestion(faults);
        if (names.isEmpty()) {
            QVERIFY2(question.isEmpty(), qPrintable(question));
            return;
        }
        QVERIFY2(question.contains(names), qPrintable(question));
        QVERIFY(question.contains(QStringLiteral("现在优化课表吗？")));
        QVERIFY(question.contains(QStringLiteral("“优化”")));
        QVERIFY(question.contains(QStringLiteral("“不优化”：保留本次排课结果")));
        QCOMPARE(ShownFaults::optimizeAnswer(), QStringLiteral("优化"));
        QCOMPARE(ShownFaults::keepAnswer(), QStringLiteral("不优化"));
    }
};

QTEST_GUILESS_MAIN(ShownFaultsTest)
#include "ShownFaultsTest.moc"
