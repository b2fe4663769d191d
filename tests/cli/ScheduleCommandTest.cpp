#include "CliRunner.h"
#include "TestSupport.h"

#include "store/Database.h"
#include "store/PlanStore.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>


class ScheduleCommandTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_demo;

private Q_SLOTS:
    void initTestCase()
    {
        m_demo = m_dir.filePath(QStringLiteral("demo.db"));
        QCOMPARE(runCli({"init", "--demo", "--db", m_demo}).exitCode, 0);
    }

    void usageAndFileErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("seed not a number") << QStringList{"--seed", "abc"} << 2 << "--seed";
        QTest::newRow("negative seed") << QStringList{"--seed", "-1"} << 2 << "--seed";
        QTest::newRow("seed beyond 32 bits") << QStringList{"--seed", "4294967296"} << 2 << "--seed";
        QTest::newRow("seed without value") << QStringList{"--seed"} << 2 << "--seed";
        QTest::newRow("unknown option") << QStringList{"--fast"} << 2 << "--fast";
        QTest::newRow("positional") << QStringList{"now"} << 2 << "now";
        QTest::newRow("missing database") << QStringList{"--db", "MISSING"} << 1 << QString();
    }
    void usageAndFileErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QStringList full{"schedule"};
        if (!args.contains(QStringLiteral("--db")))
            full << "--db" << m_demo;
        for (const QString& arg : args)
            full << (arg == QLatin1String("MISSING") ? m_dir.filePath(QStringLiteral("none.db")) : arg);
        const CliRun run = runCli(full);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains(message));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("none.db"))));
    }

    void textReport()
    {
        const QByteArray before = fileHash(m_demo);
        const CliRun run = runCli({"schedule", "--db", m_demo, "--seed", "5"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("随机种子：5")));
        QVERIFY(run.out.contains(QStringLiteral("每周 5 天，每天 8 节")));
        QVERIFY(run.out.contains(QStringLiteral("班级：18 个")));
        QVERIFY(run.out.contains(QStringLiteral("/ 720")));
        QVERIFY(run.out.contains(QStringLiteral("未排课时：")));
        QVERIFY(run.out.contains(QStringLiteral("教师冲突：")));
        QVERIFY(run.out.contains(QStringLiteral("毫秒")));
        QCOMPARE(fileHash(m_demo), before); // the run writes nothing
    }

    // One compact JSON object, keys in the contract's order; one seed, one timetable.
    void jsonIsReproducible()
    {
        const CliRun first = runCli({"schedule", "--db", m_demo, "--seed", "20240901", "--json"});
        QCOMPARE(first.exitCode, 0);
        const CliRun second = runCli({"schedule", "--json", "--seed=20240901", "--db", m_demo});
        QCOMPARE(second.out, first.out);
        const CliRun other = runCli({"schedule", "--db", m_demo, "--seed", "20240902", "--json"});
        QVERIFY(other.out != first.out);

        QCOMPARE(first.out.count(QLatin1Char('\n')), 1);
        QVERIFY(first.out.startsWith(QStringLiteral("{\"seed\":20240901,\"dayCount\":5,\"periodCount\":8,\"subjectNames\":[\"语文\",")));
        const QStringList keys{"\"seed\"", "\"dayCount\"", "\"periodCount\"", "\"subjectNames\"", "\"classes\"",
                               "\"name\"", "\"subjects\"", "\"teachers\"", "\"fixedLessons\"", "\"combinedClasses\"",
                               "\"unplacedLessons\"", "\"teacherClashes\""};
        qsizetype at = -1;
        for (const QString& key : keys) {
            const qsizetype next = first.out.indexOf(key);
            QVERIFY2(next > at, qPrintable(key));
            at = next;
        }

        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(first.out.toUtf8(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonObject root = doc.object();
        QCOMPARE(root.size(), 9);
        QCOMPARE(root.value("subjectNames").toArray().size(), 24);
        QCOMPARE(root.value("subjectNames").toArray().at(14).toString(), QStringLiteral("H"));
        const QJsonArray classes = root.value("classes").toArray();
        QCOMPARE(classes.size(), 18);
        const QJsonObject firstClass = classes.at(0).toObject();
        QCOMPARE(firstClass.value("name").toString(), QStringLiteral("七(1)班"));
        QCOMPARE(firstClass.value("subjects").toArray().size(), 40);
        QCOMPARE(firstClass.value("teachers").toArray().size(), 40);
        QCOMPARE(firstClass.value("subjects").toArray().at(0).toString(), QStringLiteral("语文")); // fixed
        QCOMPARE(root.value("fixedLessons").toArray().size(), 4);
        QCOMPARE(root.value("fixedLessons").toArray().at(0).toArray(), (QJsonArray{0, 0, 0, 1}));
        QCOMPARE(root.value("combinedClasses").toArray(), (QJsonArray{QJsonArray{10, 12, 13, -1, -1, -1}}));
        QVERIFY(root.value("unplacedLessons").isDouble());
        QVERIFY(root.value("teacherClashes").isDouble());
    }

    // --save keeps the run as the saved timetable, which then prints as the run did.
    void saveKeepsTheRunAsTheSavedTimetable()
    {
        const QString db = m_dir.filePath(QStringLiteral("saved.db"));
        QVERIFY(QFile::copy(m_demo, db));
        const CliRun run = runCli({"schedule", "--db", db, "--seed", "31", "--json", "--save"});
        QCOMPARE(run.exitCode, 0);
        const CliRun saved = runCli({"timetable", "--db", db, "--json"});
        QCOMPARE(saved.exitCode, 0);
        QJsonObject ran = QJsonDocument::fromJson(run.out.toUtf8()).object();
        for (const char* key : {"seed", "unplacedLessons", "teacherClashes"})
            ran.remove(QLatin1String(key));
        QCOMPARE(QJsonDocument::fromJson(saved.out.toUtf8()).object(), ran);

        const CliRun text = runCli({"schedule", "--db", db, "--seed", "32", "--save"});
        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.out.contains(QStringLiteral("课表已保存")));
        QVERIFY(runCli({"timetable", "--db", db, "--json"}).out != saved.out);
    }

    void refusedRun()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("refused.db"));
        QCOMPARE(runCli({"init", "--demo", "--db", db}).exitCode, 0);
        Database::open(db, Database::Opening::ExistingOnly);
        PlanStore::saveWeeklyPlanRow(0, 38, {38});
        Database::close();
        const CliRun run = runCli({"schedule", "--db", db, "--json"});
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.trimmed(), QStringLiteral("周课时量在周计划之外,请合理设置周课时量！"));
    }
};

QTEST_GUILESS_MAIN(ScheduleCommandTest)
#include "ScheduleCommandTest.moc"
