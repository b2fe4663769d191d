#include "CliRunner.h"
#include "TestSupport.h"

#include "store/Database.h"
#include "store/PlanStore.h"
#include "support/ScratchSchool.h"
#include "view/TimetableData.h"
#include "view/TimetableStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

class SolveCommandTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_demo;

    QString copyOfDemo(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        QFile::copy(m_demo, path);
        return path;
    }

    static QJsonObject parse(const CliRun& run)
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(run.out.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError)
            qWarning() << error.errorString() << run.out.left(200) << run.err;
        return doc.object();
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_demo = m_dir.filePath(QStringLiteral("demo.db"));
        QCOMPARE(runCli({"init", "--demo", "--db", m_demo}).exitCode, 0);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("seed not a number") << QStringList{"--seed", "x"} << "--seed";
        QTest::newRow("no threads") << QStringList{"--threads", "0"} << "--threads";
        QTest::newRow("time limit not a number") << QStringList{"--time-limit", "soon"} << "--time-limit";
        QTest::newRow("negative time limit") << QStringList{"--time-limit=-1"} << "--time-limit";
        QTest::newRow("unknown option") << QStringList{"--fast"} << "--fast";
        QTest::newRow("pin without repair") << QStringList{"--pin", "七(1)班,1,1"} << "--repair";
        QTest::newRow("pin without period") << QStringList{"--repair", "--pin", "七(1)班,1"} << "班级,星期,节次";
        QTest::newRow("pin day not a day") << QStringList{"--repair", "--pin", "七(1)班,8,1"} << "星期";
        QTest::newRow("pin period not a period") << QStringList{"--repair", "--pin=七(1)班,周二,第0节"} << "节次";
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const CliRun run = runCli(QStringList{"solve", "--db", m_demo} + args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    // A complete, clash-free timetable, the same for the same seed, and the
    // database untouched without --save.
    void solvesTheDemoSchool()
    {
        const QByteArray before = fileHash(m_demo);
        const CliRun first = runCli({"solve", "--db", m_demo, "--seed", "3", "--json"});
        QCOMPARE(first.exitCode, 0);
        const QJsonObject json = parse(first);
        QCOMPARE(json.value("seed").toInt(), 3);
        QCOMPARE(json.value("solved").toBool(), true);
        QCOMPARE(json.value("classes").toArray().size(), 18);
        for (const char* zero : {"unplacedLessons", "teacherClashes", "zoneViolations", "spreadViolations"})
            QCOMPARE(json.value(zero).toInt(-1), 0);
        QVERIFY(!json.contains("explanation"));
        QVERIFY(!json.contains("changedCells"));
        QCOMPARE(fileHash(m_demo), before);

        const CliRun second = runCli({"solve", "--db", m_demo, "--seed", "3", "--json"});
        QCOMPARE(second.out, first.out);

        const CliRun text = runCli({"solve", "--db", m_demo, "--seed", "3"});
        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.out.contains(QStringLiteral("已排出完整课表")));
        QVERIFY(text.out.contains(QStringLiteral("已排课时：720 / 720")));
        QVERIFY(text.out.contains(QStringLiteral("教师冲突：0")));
    }

    // --save stores the timetable; a repair of it keeps every cell.
    void saveThenRepair()
    {
        const QString db = copyOfDemo(QStringLiteral("save.db"));
        const CliRun noTimetable = runCli({"solve", "--db", db, "--repair"});
        QCOMPARE(noTimetable.exitCode, 3);
        QVERIFY(noTimetable.err.contains(QStringLiteral("没有已保存的课表")));

        const CliRun solved = runCli({"solve", "--db", db, "--seed", "9", "--json", "--save"});
        QCOMPARE(solved.exitCode, 0);
        const CliRun saved = runCli({"timetable", "--db", db, "--json"});
        QCOMPARE(saved.exitCode, 0);
        QCOMPARE(parse(saved).value("classes"), parse(solved).value("classes"));

        const CliRun repaired = runCli({"solve", "--db", db, "--repair", "--seed", "4", "--json"});
        QCOMPARE(repaired.exitCode, 0);
        const QJsonObject json = parse(repaired);
        QCOMPARE(json.value("changedCells").toInt(-1), 0);
        QCOMPARE(json.value("classes"), parse(solved).value("classes"));
    }

    // Two cells of a class exchanged by hand and pinned (one on the command
    // line, one in a file): the repair mends the clashes the exchange made
    // around them and keeps both where the user put them. Pins naming no
    // class or a cell outside the week are refused and change nothing.
    void pinsAreKeptThroughARepair()
    {
        const QString db = copyOfDemo(QStringLiteral("pins.db"));
        QCOMPARE(runCli({"solve", "--db", db, "--seed", "9", "--save"}).exitCode, 0);
        Database::open(db, Database::Opening::ExistingOnly);
        TimetableData saved;
        QVERIFY(TimetableStore::LoadSavedTimetable(saved).ok());
        const int c = saved.ClassIndex(QStringLiteral("七(1)班"));
        // A cell free of fixed lessons (the demo fixes the first period of
        // the week), and one whose lesson's teacher is busy elsewhere then, so
        // that the exchange makes a clash.
        const auto busyElsewhere = [&](const QString& teacher, int d, int p) {
            for (int other = 0; other < saved.classCount; ++other)
                if (other != c && saved.teacher(other, d, p) == teacher)
                    return true;
            return false;
        };
        int day = 2, period = 0;
        while (saved.subject(c, 1, 5) == saved.subject(c, day, period)
               || !busyElsewhere(saved.teacher(c, 1, 5), day, period))
            ++period;
        const QString first = saved.subject(c, 1, 5), second = saved.subject(c, day, period);
        const QString firstTeacher = saved.teacher(c, 1, 5), secondTeacher = saved.teacher(c, day, period);
        saved.setLesson(c, 1, 5, second, secondTeacher);
        saved.setLesson(c, day, period, first, firstTeacher);
        TimetableStore::SaveTimetable(saved);
        Database::close();

        const QString pinsFile = m_dir.filePath(QStringLiteral("pins.txt"));
        QFile file(pinsFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("# the second cell\n\n七(1)班,%1,%2\n").arg(day + 1).arg(period + 1).toUtf8());
        file.close();
        const QByteArray before = fileHash(db);
        const CliRun run = runCli({"solve", "--db", db, "--repair", "--json", "--pin", "七(1)班,星期二,6", "--pins", pinsFile});
        QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
        const QJsonObject json = parse(run);
        QCOMPARE(json.value("solved").toBool(), true);
        QCOMPARE(json.value("pins").toInt(), 2);
        QVERIFY(json.value("before").toObject().value("teacherClashes").toInt() > 0);
        const QJsonArray subjects = json.value("classes").toArray().at(c).toObject().value("subjects").toArray();
        QCOMPARE(subjects.at(saved.periodCount + 5).toString(), second);
        QCOMPARE(subjects.at(day * saved.periodCount + period).toString(), first);
        QCOMPARE(fileHash(db), before);

        const CliRun unknown = runCli({"solve", "--db", db, "--repair", "--pin", "九(9)班,1,1"});
        QCOMPARE(unknown.exitCode, 3);
        QVERIFY2(unknown.err.contains(QStringLiteral("没有名为“九(9)班”的班级")), qPrintable(unknown.err));
        const CliRun outside = runCli({"solve", "--db", db, "--repair", "--pin", "七(1)班,7,1"});
        QCOMPARE(outside.exitCode, 3);
        QVERIFY2(outside.err.contains(QStringLiteral("每周只有 5 天")), qPrintable(outside.err));
        const CliRun missing = runCli({"solve", "--db", db, "--repair", "--pins", m_dir.filePath("none.txt")});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.out.isEmpty());
        QCOMPARE(fileHash(db), before);
    }

    // The scheduling run of seed 2 leaves one lesson outside its zone and no
    // clash: the repair moves it in, and only then says solved.
    void repairMendsZones()
    {
        const QString db = copyOfDemo(QStringLiteral("zones.db"));
        QCOMPARE(runCli({"schedule", "--db", db, "--seed", "2", "--save"}).exitCode, 0);
        const CliRun repaired = runCli({"solve", "--db", db, "--repair", "--json"});
        QCOMPARE(repaired.exitCode, 0);
        const QJsonObject json = parse(repaired);
        const QJsonObject before = json.value("before").toObject();
        QCOMPARE(before.value("zoneViolations").toInt(-1), 1);
        QCOMPARE(before.value("teacherClashes").toInt(-1), 0);
        for (const char* zero : {"unplacedLessons", "teacherClashes", "zoneViolations", "fixedViolations"})
            QCOMPARE(json.value(zero).toInt(-1), 0);
        QCOMPARE(json.value("solved").toBool(), true);
        QVERIFY(json.value("changedCells").toInt() > 0);
    }

    // Two fixed lessons of one teacher in one slot: proved impossible, and said why.
    void impossibleSchoolIsExplained()
    {
        const QString db = copyOfDemo(QStringLiteral("impossible.db"));
        Database::open(db, Database::Opening::ExistingOnly);
        PlanStore::saveFixedLessons({{"七(1)班", "2", "3", "语文"}, {"七(2)班", "2", "3", "语文"}});
        Database::close();
        const QByteArray before = fileHash(db);

        const CliRun run = runCli({"solve", "--db", db, "--json", "--save"});
        QCOMPARE(run.exitCode, 3);
        const QJsonObject json = parse(run);
        QCOMPARE(json.value("solved").toBool(true), false);
        QVERIFY(!json.contains("classes"));
        const QString said = json.value("explanation").toArray().first().toString();
        QVERIFY2(said.contains(QStringLiteral("七(1)班 语文固定在星期二第3节")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("七(2)班 语文固定在星期二第3节")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("王建国老师")), qPrintable(said));
        QCOMPARE(fileHash(db), before);

        const CliRun text = runCli({"solve", "--db", db});
        QCOMPARE(text.exitCode, 3);
        QVERIFY(text.out.contains(QStringLiteral("原因：")));
    }

    // The scheduling rules of the file are kept, counted in the JSON by kind,
    // listed in the text, and named when they make the school impossible.
    void rulesAreKeptAndNamed()
    {
        const QString db = copyOfDemo(QStringLiteral("rules.db"));
        Database::open(db, Database::Opening::ExistingOnly);
        Database::exec(QStringLiteral("INSERT INTO 教师不排课 (教师, 星期, 节次) VALUES (?, ?, ?)"),
                       {QStringLiteral("王建国"), QStringLiteral("2"), QStringLiteral("0")}, QStringLiteral("test"));
        Database::exec(QStringLiteral("INSERT INTO 教师课时限制 (教师, 每天最多) VALUES (?, ?)"),
                       {QStringLiteral("王建国"), QStringLiteral("3")}, QStringLiteral("test"));
        Database::close();

        const CliRun run = runCli({"solve", "--db", db, "--seed", "3", "--json"});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject json = parse(run);
        QCOMPARE(json.value("solved").toBool(), true);
        const QJsonObject rules = json.value("ruleViolations").toObject();
        for (const char* kind : {"teacherOff", "dailyLimit", "daysPerWeek", "inARow", "venueCap", "doubleLessons"})
            QCOMPARE(rules.value(kind).toInt(-1), 0);
        const CliRun text = runCli({"solve", "--db", db, "--seed", "3"});
        QVERIFY2(text.out.contains(QStringLiteral("排课规则：教师不排课 1 条，教师课时限制 1 条")), qPrintable(text.out));

        Database::open(db, Database::Opening::ExistingOnly);
        for (const char* day : {"1", "3", "4", "5"})
            Database::exec(QStringLiteral("INSERT INTO 教师不排课 (教师, 星期, 节次) VALUES (?, ?, ?)"),
                           {QStringLiteral("王建国"), QString::fromLatin1(day), QStringLiteral("0")}, QStringLiteral("test"));
        Database::close();
        const CliRun impossible = runCli({"solve", "--db", db, "--json"});
        QCOMPARE(impossible.exitCode, 3);
        const QString said = parse(impossible).value("explanation").toArray().first().toString();
        QVERIFY2(said.contains(QStringLiteral("王建国 周一全天、周二全天、周三全天、周四全天、周五全天不排课")), qPrintable(said));
    }

    // A limit too short for any search: exit 4, the best timetable only on request.
    void budgetRunsOut()
    {
        const QString db = copyOfDemo(QStringLiteral("budget.db"));
        const QByteArray before = fileHash(db);
        const CliRun run = runCli({"solve", "--db", db, "--time-limit", "0.000001", "--json"});
        QCOMPARE(run.exitCode, 4);
        const QJsonObject json = parse(run);
        QCOMPARE(json.value("solved").toBool(true), false);
        QCOMPARE(json.value("classes").toArray().size(), 18);
        QCOMPARE(json.value("teacherClashes").toInt(-1), 0);
        QCOMPARE(fileHash(db), before);
    }

    // A generated school of 5,000 classes (inside every import cap) is
    // refused before its model is built: exit 3, the cause named on stderr,
    // the database untouched.
    void oversizeSchoolIsRefused()
    {
        const QString db = m_dir.filePath(QStringLiteral("large.db"));
        QVERIFY(Database::open(db));
        ScratchSchool::writeScratchSchool(5000);
        Database::close();
        const QByteArray before = fileHash(db);
        const CliRun run = runCli({"solve", "--db", db, "--time-limit", "20", "--save"});
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(QStringLiteral("学校太大，无法求解：5000 个班级")), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("GB 内存，超过 2 GB 的上限")), qPrintable(run.err));
        QCOMPARE(fileHash(db), before);
    }
};

QTEST_GUILESS_MAIN(SolveCommandTest)
#include "SolveCommandTest.moc"
