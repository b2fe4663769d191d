#include "CliRunner.h"

#include "cli/Cli.h"
#include "store/Database.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

class CliFoundationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The commands run in-process say and return exactly what the program does.
    void inProcessRunsAsTheProgram_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("show") << QStringList{"show", "--db", "@demo"} << 0;
        QTest::newRow("schedule json") << QStringList{"schedule", "--json", "--seed", "42", "--db", "@demo"} << 0;
        QTest::newRow("nothing saved to export") << QStringList{"export", "@dir/x.xlsx", "--db", "@demo"} << 3;
        QTest::newRow("missing database") << QStringList{"show", "--db", "@dir/none.db"} << 1;
        QTest::newRow("usage") << QStringList{"show", "extra"} << 2;
        QTest::newRow("unknown command") << QStringList{"shout"} << 2;
    }
    void inProcessRunsAsTheProgram()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        const QString demo = dir.filePath(QStringLiteral("demo.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), demo}).exitCode, 0);
        for (QString& arg : args)
            arg.replace(QStringLiteral("@demo"), demo).replace(QStringLiteral("@dir"), dir.path());

        const CliRun program = runCli(args);
        QString out;
        QString err;
        int code = -1;
        {
            OutputCapture capture(out, err);
            code = runVorlatCli(args);
        }
        Database::close();
        QCOMPARE(code, exitCode);
        QCOMPARE(program.exitCode, exitCode);
        QCOMPARE(out, program.out);
        QCOMPARE(err, program.err);
    }

    void initCreatesOnceAndThenLeavesTheFileAlone()
    {
        QTemporaryDir dir;
        const CliRun first = runCli({QStringLiteral("init")}, dir.path());
        QCOMPARE(first.exitCode, 0);
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        QVERIFY(QFile::exists(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
        file.close();

        const CliRun second = runCli({QStringLiteral("init"), QStringLiteral("--demo")}, dir.path());
        QCOMPARE(second.exitCode, 0);
        QVERIFY(second.out.contains(QStringLiteral("已存在")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256), before);
    }

    void demoSchoolShows()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("demo.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), db}).exitCode, 0);
        const CliRun show = runCli({QStringLiteral("show"), QStringLiteral("--db"), db});
        QCOMPARE(show.exitCode, 0);
        QVERIFY(show.out.contains(QStringLiteral("每周 5 天，每天 8 节")));
        QVERIFY(show.out.contains(QStringLiteral("18 个班级")));
        QVERIFY(show.out.contains(QStringLiteral("九(6)班")));
        QVERIFY(show.out.contains(QStringLiteral("道德与法治")));
        // Every grade in use sums to the 40 lessons of the week.
        const QStringList lines = show.out.split(QLatin1Char('\n'));
        int gradeLines = 0;
        for (const QString& line : lines) {
            const QStringList cells = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (cells.size() > 2 && cells[0].endsWith(QStringLiteral("年级")) && cells[1] == QLatin1String("40")) {
                int sum = 0;
                for (qsizetype i = 2; i < cells.size(); ++i)
                    sum += cells[i].toInt();
                QCOMPARE(sum, 40);
                ++gradeLines;
            }
        }
        QCOMPARE(gradeLines, 3);
        QVERIFY(show.out.contains(QStringLiteral("排课规则：无")));
    }

    // Rules written by another tool are listed; a row that cannot be used is named.
    void rulesShow()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("demo.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), db}).exitCode, 0);
        QString teacher;
        {
            QSqlDatabase side = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("side"));
            side.setDatabaseName(db);
            QVERIFY(side.open());
            QSqlQuery query(side);
            QVERIFY(query.exec(QStringLiteral("SELECT * FROM 教师分工 ORDER BY 编号 LIMIT 1")) && query.next());
            teacher = query.value(3).toString();
            QVERIFY(query.prepare(QStringLiteral("INSERT INTO 教师不排课 (教师, 星期, 节次) VALUES (?, '3', '0')")));
            query.addBindValue(teacher);
            QVERIFY(query.exec());
            QVERIFY(query.exec(QStringLiteral("INSERT INTO 场地限制 (场地, 科目, 年级, 同时最多班数) VALUES ('操场', '体育', '全校', '0')")));
            QVERIFY(query.exec(QStringLiteral("INSERT INTO 连堂设置 (年级, 班级, 科目, 每周连堂数) VALUES ('七年级', '全部', '语文', '1')")));
            side.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("side"));
        const CliRun show = runCli({QStringLiteral("show"), QStringLiteral("--db"), db});
        QCOMPARE(show.exitCode, 0);
        QVERIFY2(show.out.contains(QRegularExpression(QStringLiteral("%1 +星期三 +全天").arg(teacher))), qPrintable(show.out));
        QVERIFY(show.out.contains(QRegularExpression(QStringLiteral("七年级 +全部 +语文 +1"))));
        QVERIFY(show.out.contains(QStringLiteral("注意：场地限制第1行（操场，体育，全校，同时最多班数0）：同时最多班数不能是0")));
        // A run names it too, and goes on.
        const CliRun run = runCli({QStringLiteral("schedule"), QStringLiteral("--db"), db});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.contains(QStringLiteral("注意：场地限制第1行")));
    }

    void refusesForeignAndMissingFiles()
    {
        QTemporaryDir dir;
        const QString foreign = dir.filePath(QStringLiteral("notes.db"));
        QFile file(foreign);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("just some notes\n");
        file.close();

        const CliRun show = runCli({QStringLiteral("show"), QStringLiteral("--db"), foreign});
        QCOMPARE(show.exitCode, 1);
        QVERIFY2(show.err.contains(QStringLiteral("notes.db")), qPrintable(show.err));
        const CliRun init = runCli({QStringLiteral("init"), QStringLiteral("--db"), foreign});
        QCOMPARE(init.exitCode, 1);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("just some notes\n"));
        file.close();

        const CliRun missing = runCli({QStringLiteral("show"), QStringLiteral("--db"), dir.filePath(QStringLiteral("absent.db"))});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("absent.db"))));
        const CliRun noDir = runCli({QStringLiteral("init"), QStringLiteral("--db"), dir.filePath(QStringLiteral("a/b.db"))});
        QCOMPARE(noDir.exitCode, 1);
        QVERIFY(noDir.err.contains(QStringLiteral("不存在")));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("show"), QStringLiteral("--colour")};
        QTest::newRow("missing value") << QStringList{QStringLiteral("show"), QStringLiteral("--db")};
        QTest::newRow("option where a value belongs")
            << QStringList{QStringLiteral("init"), QStringLiteral("--db"), QStringLiteral("--demo")};
        QTest::newRow("stray argument") << QStringList{QStringLiteral("init"), QStringLiteral("extra")};
    }

    void usageErrors()
    {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        const CliRun run = runCli(args, dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY(!run.err.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Vorlat.db"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("--demo"))));
    }
};

QTEST_GUILESS_MAIN(CliFoundationTest)
#include "CliFoundationTest.moc"
