#include "DialogTestSupport.h"

#include "store/DemoSchool.h"
#include "dialogs/constraints/FixedLessonLogic.h"
#include "dialogs/constraints/ZoneEditor.h"
#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "store/PlanReader.h"

#include <QtTest>

// What the dialogs save, the next run honours: a fixed lesson and a subject
// zone entered through the dialogs' logic on the demo school.
class ConstraintsRunTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runHonoursWhatTheDialogsSaved_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("seed 1") << 1u;
        QTest::newRow("seed 20261210") << 20261210u;
    }
    void runHonoursWhatTheDialogsSaved()
    {
        QFETCH(quint32, seed);
        ScratchDatabase db;
        DemoSchool::write();

        // 七(1)班 has 音乐 on day 3, period 6.
        FixedLessonLogic fixed;
        QCOMPARE(fixed.load(), QString());
        fixed.clickClass(fixed.classes.indexOf(QStringLiteral("七(1)班")));
        fixed.clickDay(2);
        fixed.clickPeriod(5);
        fixed.clickSubject(fixed.subjects.indexOf(QStringLiteral("音乐")));
        fixed.add();
        fixed.save();

        // 历史 of 七(3)班 (three lessons a week) only in the first four periods
        // of every day. (A subject with more lessons than days may see one go
        // to the run's second pass, which places it anywhere.)
        SubjectZoneLogic zones;
        QCOMPARE(zones.load(), QString());
        const int english = static_cast<int>(zones.subjects.indexOf(QStringLiteral("历史")));
        const int klass = static_cast<int>(zones.classes.indexOf(QStringLiteral("七(3)班")));
        zones.clickSubject(english);
        zones.clickClass(klass);
        zones.grid.clear();
        for (int d = 0; d < zones.days; ++d)
            for (int p = 0; p < 4; ++p) {
                zones.press(zones.grid.geometry().dataCellCentre(d, p));
                zones.grid.release();
            }
        zones.save();

        SchoolPlan plan;
        const Status read = PlanReader::Load(plan);
        QVERIFY2(read.ok(), qPrintable(read.message()));
        PlanningModel model(plan);
        const ScheduleOutcome outcome = Scheduler(model).RunScheduling(seed);
        QVERIFY2(!outcome.refused(), qPrintable(outcome.status.message()));
        const int perClass = 1 + model.dayCount * model.periodCount;
        auto subjectAt = [&](int c, int d, int p) {
            return model.subjectGrid[c * perClass + 1 + d * model.periodCount + p];
        };
        const int first = model.ClassIndex(QStringLiteral("七(1)班"));
        QCOMPARE(subjectAt(first, 2, 5), QStringLiteral("音乐"));
        QVERIFY(model.IsFixedLesson(first, 2, 5, model.SubjectNumber(QStringLiteral("音乐"))));

        const int third = model.ClassIndex(QStringLiteral("七(3)班"));
        const int history = model.SubjectNumber(QStringLiteral("历史"));
        for (int d = 0; d < model.dayCount; ++d)
            QCOMPARE(model.zone(third, history, d), QStringLiteral("0123"));
        int lessons = 0;
        for (int d = 0; d < model.dayCount; ++d)
            for (int p = 0; p < model.periodCount; ++p)
                if (subjectAt(third, d, p) == QStringLiteral("历史")) {
                    ++lessons;
                    QVERIFY2(p < 4, qPrintable(QStringLiteral("历史 on day %1 period %2").arg(d + 1).arg(p + 1)));
                }
        QCOMPARE(lessons, model.gradeCount(third, history));
    }
};

QTEST_MAIN(ConstraintsRunTest)
#include "ConstraintsRunTest.moc"
