#include "app/OptimizeProgress.h"

#include <QtTest>

// The line of the 优化课表 dialog, tick by tick, fed with the solver's reports.
class OptimizeProgressTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A long repair: the solver reports its step now and then, the dialog
    // ticks in between; the line names the step and its time moves on even
    // while no report comes.
    void lineFollowsTheStepsAndTheTime()
    {
        OptimizeProgress progress(37);
        const QString start = progress.line(0);
        QVERIFY2(start.contains(QStringLiteral("剩余冲突与未排课时：37")), qPrintable(start));
        QVERIFY2(start.contains(QStringLiteral("已用时 0 秒")), qPrintable(start));

        progress.take({QStringLiteral("建立模型"), -1, false});
        QVERIFY(progress.line(4'200).startsWith(QStringLiteral("正在准备全面计算")));
        progress.take({QStringLiteral("修复课表"), -1, false});
        // One long solve without a report: the line still changes every second.
        const QString at12 = progress.line(12'400);
        const QString at13 = progress.line(13'100);
        QVERIFY2(at12.startsWith(QStringLiteral("正在寻找无冲突课表")), qPrintable(at12));
        QVERIFY(at12.contains(QStringLiteral("已用时 12 秒")));
        QVERIFY(at13.contains(QStringLiteral("已用时 13 秒")));
        QVERIFY(at12 != at13);
        QVERIFY(at12.contains(QStringLiteral("剩余冲突与未排课时：37"))); // -1: nothing new known

        progress.take({QStringLiteral("初排"), 5, false});
        QVERIFY(progress.line(14'000).contains(QStringLiteral("剩余冲突与未排课时：5")));

        progress.take({QStringLiteral("放宽分散要求"), -1, false});
        QVERIFY(progress.line(20'000).startsWith(QStringLiteral("正在均匀分布")));

        QVERIFY(!progress.restoring());
        progress.take({QStringLiteral("减少改动"), 0, true});
        QVERIFY(progress.restoring());
        const QString restoring = progress.line(95'000);
        QVERIFY2(restoring.startsWith(QStringLiteral("冲突已全部解决")), qPrintable(restoring));
        QVERIFY(!restoring.contains(QStringLiteral("剩余")));
        QVERIFY2(restoring.contains(QStringLiteral("已用时 1 分 35 秒")), qPrintable(restoring));
    }

    // Each step of the solver in the user's words; a step it does not know
    // still says that the work goes on.
    void stageTexts_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<QString>("text");
        QTest::newRow("none yet") << QString() << QStringLiteral("正在试着少量调动消除冲突");
        QTest::newRow("初排") << QStringLiteral("初排") << QStringLiteral("正在试着少量调动消除冲突");
        QTest::newRow("求解") << QStringLiteral("求解") << QStringLiteral("正在寻找无冲突课表");
        QTest::newRow("查找原因") << QStringLiteral("查找原因") << QStringLiteral("正在查找无法排课的原因");
        QTest::newRow("unknown") << QStringLiteral("新的步骤") << QStringLiteral("正在优化课表");
    }
    void stageTexts()
    {
        QFETCH(QString, stage);
        QFETCH(QString, text);
        QCOMPARE(OptimizeProgress::stageText(stage, false), text);
    }
};

QTEST_GUILESS_MAIN(OptimizeProgressTest)
#include "OptimizeProgressTest.moc"
