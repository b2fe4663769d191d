#include "TestSupport.h"

#include "base/Naming.h"
#include "engine/PlanningModel.h"
#include "store/PlanReader.h"
#include "store/Database.h"
#include "store/PlanStore.h"
#include "store/Schema.h"

#include <QtTest>

namespace {

QStringList classRow(const QString& grade, const QString& name, const QString& firstTeacher = QStringLiteral("H"))
{
    QStringList row{grade, name};
    for (int n = 1; n <= 24; ++n)
        row << (n == 1 ? firstTeacher : QStringLiteral("T%1").arg(n));
    return row;
}

} // namespace

class PlanningModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gradeIndex_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("row");
        QTest::newRow("一年级") << "一年级" << 0;
        QTest::newRow("六年级") << "六年级" << 5;
        QTest::newRow("七年级") << "七年级" << 6;
        QTest::newRow("初一") << "初一" << 6;
        QTest::newRow("八年级") << "八年级" << 7;
        QTest::newRow("初二") << "初二" << 7;
        QTest::newRow("初三") << "初三" << 8;
        QTest::newRow("高一年级") << "高一年级" << 9;
        QTest::newRow("高一") << "高一" << 9;
        QTest::newRow("高二") << "高二" << 10;
        QTest::newRow("高三年级") << "高三年级" << 11;
        QTest::newRow("without 级") << "一年" << -1;
        QTest::newRow("七年 short") << "七年" << -1;
        QTest::newRow("trailing blank") << "初一 " << -1;
        QTest::newRow("高四") << "高四" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("marker") << "H" << -1;
    }

    void gradeIndex()
    {
        QFETCH(QString, name);
        QFETCH(int, row);
        QCOMPARE(GradeIndex(name), row);
    }

    void dayAndPeriodNames()
    {
        QCOMPARE(DayName(0), QStringLiteral("星期一"));
        QCOMPARE(DayName(6), QStringLiteral("星期天"));
        QCOMPARE(DayName(7), QString());
        QCOMPARE(DayName(-1), QString());
        QCOMPARE(PeriodName(0), QStringLiteral("第1节"));
        QCOMPARE(PeriodName(8), QStringLiteral("第9节"));
        QCOMPARE(PeriodName(9), QString());
    }

    void subjectNumberKeepsGapsAndFindsTheFirstMatch()
    {
        PlanningModel model;
        model.subjectNames[0] = QStringLiteral("语文");
        model.subjectNames[1] = QStringLiteral("H");
        model.subjectNames[2] = QStringLiteral("数学");
        for (int i = 3; i < 24; ++i)
            model.subjectNames[i] = QStringLiteral("H");
        QCOMPARE(model.SubjectNumber(QStringLiteral("语文")), 1);
        QCOMPARE(model.SubjectNumber(QStringLiteral("数学")), 3);
        QCOMPARE(model.SubjectNumber(QStringLiteral("H")), 2);
        QCOMPARE(model.SubjectNumber(QStringLiteral("体育")), -1);
        QCOMPARE(model.SubjectNumber(QStringLiteral("语文 ")), -1);
    }

    void classIndexReturnsTheFirstOfDuplicates()
    {
        PlanningModel model;
        model.teacherAssignments << classRow(QStringLiteral("初一"), QStringLiteral("1班"))
                                 << classRow(QStringLiteral("初一"), QStringLiteral("2班"))
                                 << classRow(QStringLiteral("初二"), QStringLiteral("1班"));
        model.classCount = 3;
        QCOMPARE(model.ClassIndex(QStringLiteral("1班")), 0);
        QCOMPARE(model.ClassIndex(QStringLiteral("2班")), 1);
        QCOMPARE(model.ClassIndex(QStringLiteral("3班")), -1);
        model.classCount = 0; // only valid once the run has counted the classes
        QCOMPARE(model.ClassIndex(QStringLiteral("1班")), -1);
    }

    void loadPlanReadsTheFourTables()
    {
        ScratchDatabase db;
        PlanStore::saveSubjects({QStringLiteral("语文"), QStringLiteral("H"), QStringLiteral("数学")});
        PlanStore::saveAssignments({classRow(QStringLiteral("初一"), QStringLiteral("1班"), QStringLiteral("王老师")),
                                    classRow(QStringLiteral("高三年级"), QStringLiteral("2班"))});
        PlanStore::saveWeeklyPlanRow(6, 40, {20, 0, 20});
        // A second week row: the last one counts.
        Database::exec(QStringLiteral("INSERT INTO \"周工作计划\" (\"工作天数\", \"每天节次\") VALUES ('6', ' 7节')"), {},
                       QStringLiteral("fixture"));

        PlanningModel model;
        QVERIFY(PlanReader::LoadPlan(model).ok());
        QCOMPARE(model.dayCount, 6);
        QCOMPARE(model.periodCount, 7);
        QCOMPARE(model.subjectNames.size(), 24);
        QCOMPARE(model.subjectNames[1], QStringLiteral("H"));
        QCOMPARE(model.teacherAssignments.size(), 52);
        model.classCount = 2;
        QCOMPARE(model.gradeName(1), QStringLiteral("高三年级"));
        QCOMPARE(model.teacher(0, 1), QStringLiteral("王老师"));
        QCOMPARE(model.teacher(0, 24), QStringLiteral("T24"));
        QCOMPARE(model.teacher(0, 0), QStringLiteral("1班"));
        QCOMPARE(model.weeklyPlan.size(), size_t(12 * 25));
        QCOMPARE(model.plan(6, 0), 40);
        QCOMPARE(model.plan(6, 1), 20);
        QCOMPARE(model.plan(6, 3), 20);
        QCOMPARE(model.plan(7, 0), 0);
    }

    void loadPlanStopsAtTheFirstPlaceholderClass_data()
    {
        QTest::addColumn<int>("column"); // 0: grade, 1: class
        QTest::newRow("grade H") << 0;
        QTest::newRow("class H") << 1;
    }

    void loadPlanStopsAtTheFirstPlaceholderClass()
    {
        QFETCH(int, column);
        ScratchDatabase db;
        std::vector<QStringList> rows;
        for (int c = 0; c < 4; ++c)
            rows.push_back(classRow(QStringLiteral("初一"), QStringLiteral("%1班").arg(c + 1)));
        rows[1][column] = QStringLiteral("H");
        PlanStore::saveAssignments(rows);
        PlanningModel model;
        (void)PlanReader::LoadPlan(model);
        QCOMPARE(model.teacherAssignments.size(), 26);
    }

    void loadPlanReadsEveryPlanRowAndNullAsMarker()
    {
        ScratchDatabase db;
        PlanStore::saveAssignments({classRow(QStringLiteral("初一"), QStringLiteral("1班"))});
        Database::exec(QStringLiteral("UPDATE \"教师分工\" SET \"5\" = NULL"), {}, QStringLiteral("fixture"));
        Database::exec(QStringLiteral("INSERT INTO \"周课时计划\" (\"周课时\") VALUES ('9')"), {}, QStringLiteral("fixture"));
        PlanningModel model;
        (void)PlanReader::LoadPlan(model);
        model.classCount = 1;
        QCOMPARE(model.teacher(0, 5), QStringLiteral("H"));
        QCOMPARE(model.weeklyPlan.size(), size_t(13 * 25));
        QCOMPARE(model.plan(12, 0), 9);
        QCOMPARE(model.plan(12, 1), 0); // NULL counts reads as "H", which is 0
    }

    void loadPlanRefusesDataOutsideTheModel_data()
    {
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("periods");
        QTest::addColumn<bool>("extraSubject");
        QTest::addColumn<QString>("message");
        QTest::newRow("8 days") << "8" << "8" << false << "工作天数为8";
        QTest::newRow("10 periods") << "5" << "10" << false << "每天节次为10";
        QTest::newRow("negative days") << "-2" << "8" << false << "工作天数为-2";
        QTest::newRow("25th subject") << "5" << "8" << true << "第25行的科目“舞蹈”";
        QTest::newRow("7 x 9 is fine") << "7" << "9" << false << "";
        QTest::newRow("0 days is left to the run") << "0" << "8" << false << "";
    }

    void loadPlanRefusesDataOutsideTheModel()
    {
        QFETCH(QString, days);
        QFETCH(QString, periods);
        QFETCH(bool, extraSubject);
        QFETCH(QString, message);
        ScratchDatabase db;
        Database::exec(QStringLiteral("UPDATE \"周工作计划\" SET \"工作天数\" = ?, \"每天节次\" = ?"), {days, periods},
                       QStringLiteral("fixture"));
        if (extraSubject)
            Database::exec(QStringLiteral("INSERT INTO \"任教科目\" (\"科目\") VALUES ('舞蹈')"), {}, QStringLiteral("fixture"));
        PlanningModel model;
        const QString refusal = PlanReader::LoadPlan(model).message();
        if (message.isEmpty())
            QVERIFY2(refusal.isEmpty(), qPrintable(refusal));
        else
            QVERIFY2(refusal.contains(message), qPrintable(refusal));
    }

    void tenThousandClasses()
    {
        ScratchDatabase db;
        std::vector<QStringList> rows;
        for (int c = 0; c < 10000; ++c)
            rows.push_back(classRow(QStringLiteral("初一"), QStringLiteral("%1班").arg(c + 1)));
        PlanStore::saveAssignments(rows);
        PlanningModel model;
        (void)PlanReader::LoadPlan(model);
        model.classCount = int(model.teacherAssignments.size() / 26);
        QCOMPARE(model.classCount, 10000);
        QCOMPARE(model.ClassIndex(QStringLiteral("10000班")), 9999);
    }

    void gridIndexRule()
    {
        PlanningModel model;
        model.dayCount = 5;
        model.periodCount = 8;
        QCOMPARE(model.cellIndex(2, 1, 3), 91);
        QCOMPARE(PlanningModel::zoneIndex(1, 3, 2), (24 * 1 + 3 - 1) * 8 + 1 + 2);
    }
};

QTEST_GUILESS_MAIN(PlanningModelTest)
#include "PlanningModelTest.moc"
