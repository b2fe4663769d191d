#include "EngineFixture.h"

#include "base/PlanViews.h"

#include <QtTest>

// The lists the dialogs and vorlat-cli show, computed from a plan in memory.
class PlanViewsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listsOfAPlan()
    {
        PlanningModel m = makeModel(3, 5, 8);
        for (int n = 0; n < Plan::kSubjectSlots; ++n)
            m.subjectNames[n] = QStringLiteral("H");
        m.subjectNames[0] = QStringLiteral("语文");
        m.subjectNames[2] = QStringLiteral("数学"); // after a gap: still in use
        m.subjectNames[3] = QString();              // empty: not in use
        m.teacherAssignments[Plan::kAssignmentTexts * 2] = QStringLiteral("四年级甲"); // unknown grade
        setTeacher(m, 0, 3, QStringLiteral("王"));
        m.weeklyPlan.assign(static_cast<size_t>(Plan::kGradeRows) * SchoolPlan::kPlanStride, 0);
        m.weeklyPlan[static_cast<size_t>(SchoolPlan::kPlanStride * 9)] = 40; // 高一年级 by its total
        addFixed(m, 1, 4, 7, 3);
        addCombined(m, 1, {0, 2});
        setZone(m, 1, 3, 2, QStringLiteral("01"));

        const std::vector<PlanViews::Subject> used = PlanViews::SubjectsInUse(m);
        QCOMPARE(used.size(), size_t(2));
        QCOMPARE(used[1].number, 3);
        QCOMPARE(used[1].name, QStringLiteral("数学"));

        const std::vector<PlanViews::AssignmentRow> assignment = PlanViews::Assignment(m);
        QCOMPARE(assignment.size(), size_t(3));
        QCOMPARE(assignment[0].teachers.size(), Plan::kSubjectSlots);
        QCOMPARE(assignment[0].teachers[2], QStringLiteral("王"));
        QVERIFY(!assignment[0].unknownGrade && assignment[2].unknownGrade);

        // 七年级 (classes 0 and 1) and 高一年级 (its total), ascending.
        QCOMPARE(PlanViews::GradeRowsInUse(m), (std::vector<int>{6, 9}));
        const std::vector<PlanViews::WeeklyPlanRow> plan = PlanViews::WeeklyPlanInUse(m);
        QCOMPARE(plan[1].gradeName, QStringLiteral("高一年级"));
        QCOMPARE(plan[1].total, 40);
        QCOMPARE(plan[1].counts.size(), size_t(Plan::kSubjectSlots));

        const std::vector<PlanViews::FixedLessonRow> fixed = PlanViews::FixedLessons(m);
        QCOMPARE(fixed.size(), size_t(1));
        QCOMPARE(fixed[0].className, QStringLiteral("C1"));
        QCOMPARE(fixed[0].subject, QStringLiteral("数学"));
        QCOMPARE(fixed[0].period, 7);

        const std::vector<PlanViews::CombinedGroupRow> groups = PlanViews::CombinedGroups(m);
        QCOMPARE(groups[0].subject, QStringLiteral("语文"));
        QCOMPARE(groups[0].members, (QStringList{"C0", "C2"}));

        // The fixture keeps its zones in allowedPeriods; the views read the subject zones.
        m.subjectZones = m.allowedPeriods;
        const std::vector<PlanViews::ZoneRow> zones = PlanViews::SubjectZones(m);
        QCOMPARE(zones.size(), size_t(3 * 2));
        QCOMPARE(zones[3].className, QStringLiteral("C1"));
        QCOMPARE(zones[3].subject, 3);
        QCOMPARE(zones[3].days[2], QStringLiteral("01"));
        QCOMPARE(zones[3].days[1], QStringLiteral("01234567"));
    }
};

QTEST_GUILESS_MAIN(PlanViewsTest)
#include "PlanViewsTest.moc"
