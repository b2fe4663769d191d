#include "base/Naming.h"
#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableSolver.h"

#include "SolverSchool.h"

#include <QtTest>

namespace {

// Three classes of 5 × 4. 王 teaches 数学 in two of them, ten lessons, and
// may teach only in eleven slots; both classes have 语文 fixed in two of
// those slots, so he keeps nine. Other fixed lessons and zones only add noise.
SolverProblem tangledSchool()
{
    SolverProblem pb;
    pb.reset(5, 4, {QStringLiteral("初一1班"), QStringLiteral("初一2班"), QStringLiteral("初一3班")});
    const QStringList subjects{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"),
                               QStringLiteral("物理")};
    for (int s = 0; s < SolverProblem::kSubjects; ++s)
        pb.subjectNames[s] = s < subjects.size() ? subjects[s] : QStringLiteral("科%1").arg(s + 1);
    for (int c = 0; c < 3; ++c) {
        lesson(pb, c, 1, 5, QStringLiteral("语%1").arg(c));
        lesson(pb, c, 2, 5, c < 2 ? QStringLiteral("王") : QStringLiteral("李"));
        lesson(pb, c, 3, 5, QStringLiteral("英%1").arg(c));
        lesson(pb, c, 4, 5, QStringLiteral("赵"));
    }
    // 赵 teaches 物理 in all three: fifteen lessons in twenty slots.
    for (int c = 0; c < 2; ++c)
        for (int d = 0; d < 5; ++d)
            pb.setZone(pb.teacherZones, c, 2, d, d < 2 ? pb.fullDay() : std::uint16_t{0b0001});
    for (int c = 0; c < 2; ++c)
        for (const int d : {2, 3})
            pb.fixedLessons.push_back({c, d, 0, 1});
    pb.fixedLessons.push_back({2, 4, 3, 3});
    pb.fixedLessons.push_back({0, 3, 2, 4});
    for (int d = 0; d < 5; ++d)
        pb.setZone(pb.subjectZones, 2, 3, d, d == 0 ? std::uint16_t{0b0001} : pb.fullDay());
    return pb;
}

// The school with one item of an explanation taken away, as the item reads;
// false when the test does not know the item.
bool without(const SolverProblem& pb, const QString& item, SolverProblem& loosened)
{
    loosened = pb;
    for (const QString& name : {QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("赵")}) {
        if (item.startsWith(name + QStringLiteral("老师每节只能上一节课"))) {
            for (int c = 0; c < pb.classCount(); ++c)
                for (auto& teacher : loosened.teachers[static_cast<size_t>(c)])
                    if (teacher == name)
                        teacher = name + QString::number(c);
            return true;
        }
        if (item.startsWith(name + QStringLiteral("老师只能排在教师时段内"))) {
            for (int c = 0; c < pb.classCount(); ++c)
                for (int s = 1; s <= SolverProblem::kSubjects; ++s)
                    if (pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)] == name)
                        for (int d = 0; d < pb.dayCount; ++d)
                            loosened.setZone(loosened.teacherZones, c, s, d, pb.fullDay());
            return true;
        }
    }
    for (size_t i = 0; i < pb.fixedLessons.size(); ++i) {
        const SolverProblem::Fixed& f = pb.fixedLessons[i];
        if (item == QStringLiteral("%1 %2固定在%3%4").arg(pb.classNames[f.classIndex], pb.subjectNames[f.subject - 1],
                                                         DayName(f.day), PeriodName(f.period))) {
            loosened.fixedLessons.erase(loosened.fixedLessons.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    for (int c = 0; c < pb.classCount(); ++c)
        for (int s = 1; s <= SolverProblem::kSubjects; ++s)
            if (item.startsWith(QStringLiteral("%1 %2只能排在科目时段内").arg(pb.classNames[c], pb.subjectNames[s - 1]))) {
                for (int d = 0; d < pb.dayCount; ++d)
                    loosened.setZone(loosened.subjectZones, c, s, d, pb.fullDay());
                return true;
            }
    return false;
}

} // namespace

class SolverExplanationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every item of the explanation is needed: taken away, the rest can be
    // timetabled. Checked here by solving the school without it.
    void everyItemIsNeeded()
    {
        const SolverProblem pb = tangledSchool();
        SolverRequest request;
        request.spread = false;
        const SolverOutcome outcome = solveTimetable(pb, request);
        QCOMPARE(outcome.status, SolverOutcome::Status::Impossible);
        QCOMPARE(outcome.explanation.size(), 1);
        QStringList items = outcome.explanation.first().split(QStringLiteral("；"));
        items.removeLast(); // "这N条不能同时满足"
        QVERIFY2(items.size() >= 2, qPrintable(outcome.explanation.first()));
        for (const QString& item : items) {
            SolverProblem loosened;
            QVERIFY2(without(pb, item, loosened), qPrintable(item));
            const SolverOutcome rest = solveTimetable(loosened, request);
            QVERIFY2(rest.status == SolverOutcome::Status::Solved,
                     qPrintable(QStringLiteral("without “%1” still no timetable: %2")
                                    .arg(item, outcome.explanation.first())));
        }
    }
};

QTEST_GUILESS_MAIN(SolverExplanationTest)
#include "SolverExplanationTest.moc"
