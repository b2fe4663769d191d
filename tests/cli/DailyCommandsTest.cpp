#include "CliRunner.h"
#include "TestSupport.h"
#include "view/DailyFixture.h"

#include "store/PlanStore.h"
#include "view/TimetableStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

QJsonObject jsonOf(const CliRun& run)
{
    return QJsonDocument::fromJson(run.out.toUtf8()).object();
}

QByteArray head(const QString& path, int bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

} // namespace

class DailyCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The office's morning, command by command, on the small school.
    void aDayOfChangesEndToEnd()
    {
        ScratchDatabase db;
        TimetableData school = smallSchool();
        PlanStore::saveWeek(school.dayCount, school.periodCount);
        PlanStore::saveSubjects(school.subjectNames);
        TimetableStore::SaveTimetable(school);
        Database::close();
        const QStringList dbOption{QStringLiteral("--db"), db.path()};
        auto cli = [&](QStringList args) { return runCli(args << dbOption); };

        // Before a calendar there is nothing to suggest.
        CliRun run = cli({QStringLiteral("substitutes"), QStringLiteral("--date"), QStringLiteral("2026-03-09")});
        QCOMPARE(run.exitCode, 3);

        run = cli({QStringLiteral("calendar"), QStringLiteral("--start"), QStringLiteral("2026-03-02"),
                   QStringLiteral("--weeks"), QStringLiteral("4"), QStringLiteral("--holiday"),
                   QStringLiteral("2026-03-11"), QStringLiteral("2026-03-12"), QStringLiteral("--makeup"),
                   QStringLiteral("2026-03-15=3")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains(QStringLiteral("2026-03-12 星期四  放假")));
        QVERIFY(run.out.contains(QStringLiteral("调休，上星期三的课")));
        run = cli({QStringLiteral("calendar"), QStringLiteral("--start"), QStringLiteral("2026-3-2"),
                   QStringLiteral("--weeks"), QStringLiteral("4")});
        QCOMPARE(run.exitCode, 2);

        run = cli({QStringLiteral("absence"), QStringLiteral("--teacher"), QStringLiteral("张"), QStringLiteral("--from"),
                   QStringLiteral("2026-03-09"), QStringLiteral("--to"), QStringLiteral("2026-03-15"),
                   QStringLiteral("--reason"), QStringLiteral("培训")});
        QCOMPARE(run.exitCode, 0);
        // Monday, Tuesday and the make-up Sunday; the holiday has none.
        QVERIFY2(run.out.contains(QStringLiteral("涉及 3 节课")), qPrintable(run.out));
        run = cli({QStringLiteral("absence"), QStringLiteral("--teacher"), QStringLiteral("无名"), QStringLiteral("--from"),
                   QStringLiteral("2026-03-09"), QStringLiteral("--to"), QStringLiteral("2026-03-09")});
        QCOMPARE(run.exitCode, 3);

        run = cli({QStringLiteral("substitutes"), QStringLiteral("--date"), QStringLiteral("2026-03-09"),
                   QStringLiteral("--json")});
        QCOMPARE(run.exitCode, 0);
        const QJsonArray lessons = jsonOf(run).value(QStringLiteral("lessons")).toArray();
        QCOMPARE(lessons.size(), 1);
        const QJsonObject lesson = lessons.first().toObject();
        QCOMPARE(lesson.value(QStringLiteral("period")).toInt(), 1);
        QCOMPARE(lesson.value(QStringLiteral("absentTeacher")).toString(), QStringLiteral("张"));
        const QJsonArray suggestions = lesson.value(QStringLiteral("suggestions")).toArray();
        QCOMPARE(suggestions.first().toObject().value(QStringLiteral("teacher")).toString(), QStringLiteral("王"));
        QCOMPARE(suggestions.last().toObject().value(QStringLiteral("kind")).toString(), QStringLiteral("self-study"));

        const QStringList monday{QStringLiteral("cover"), QStringLiteral("--date"), QStringLiteral("2026-03-09"),
                                 QStringLiteral("--period"), QStringLiteral("1"), QStringLiteral("--class"), kClassA};
        run = cli(QStringList(monday) << QStringLiteral("--by") << QStringLiteral("赵")); // teaching then
        QCOMPARE(run.exitCode, 3);
        run = cli(QStringList(monday) << QStringLiteral("--by") << QStringLiteral("王"));
        QCOMPARE(run.exitCode, 0);
        run = cli({QStringLiteral("cover"), QStringLiteral("--date"), QStringLiteral("2026-03-10"), QStringLiteral("--period"),
                   QStringLiteral("2"), QStringLiteral("--class"), kClassA, QStringLiteral("--swap"),
                   QStringLiteral("2026-03-09:1")});
        QCOMPARE(run.exitCode, 3); // 张 is away then too
        run = cli({QStringLiteral("cover"), QStringLiteral("--date"), QStringLiteral("2026-03-10"), QStringLiteral("--period"),
                   QStringLiteral("2"), QStringLiteral("--class"), kClassA, QStringLiteral("--self-study")});
        QCOMPARE(run.exitCode, 0);

        const QString pdf = QDir(db.dir()).filePath(QStringLiteral("代课单.pdf"));
        run = cli({QStringLiteral("notice"), QStringLiteral("--date"), QStringLiteral("2026-03-09"), pdf});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(head(pdf, 5), QByteArray("%PDF-"));
        const QString png = QDir(db.dir()).filePath(QStringLiteral("代课单.png"));
        run = cli({QStringLiteral("notice"), QStringLiteral("--date"), QStringLiteral("2026-03-10"), png});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(head(png, 4), QByteArray("\x89PNG"));
        run = cli({QStringLiteral("notice"), QStringLiteral("--date"), QStringLiteral("2026-03-10"),
                   QDir(db.dir()).filePath(QStringLiteral("no/such/folder.pdf"))});
        QCOMPARE(run.exitCode, 1);

        run = cli({QStringLiteral("notice"), QStringLiteral("--teacher"), QStringLiteral("王"), QStringLiteral("--from"),
                   QStringLiteral("2026-03-09"), QStringLiteral("--json")});
        QCOMPARE(run.exitCode, 0);
        const QJsonArray changes = jsonOf(run).value(QStringLiteral("changes")).toArray();
        QCOMPARE(changes.size(), 1);
        QVERIFY(changes.first().toObject().value(QStringLiteral("change")).toString().startsWith(QStringLiteral("代课")));

        const QString xlsx = QDir(db.dir()).filePath(QStringLiteral("counts.xlsx"));
        run = cli({QStringLiteral("counts"), QStringLiteral("--month"), QStringLiteral("2026-03"), xlsx,
                   QStringLiteral("--json")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(head(xlsx, 2), QByteArray("PK"));
        QJsonObject counts;
        for (const QJsonValue& row : jsonOf(run).value(QStringLiteral("teachers")).toArray())
            counts.insert(row.toObject().value(QStringLiteral("teacher")).toString(), row);
        QCOMPARE(counts.value(QStringLiteral("王")).toObject().value(QStringLiteral("covered")).toInt(), 1);
        // Monday (covered), Tuesday (self-study), the make-up Sunday (nothing chosen).
        QCOMPARE(counts.value(QStringLiteral("张")).toObject().value(QStringLiteral("missed")).toInt(), 3);
    }
};

QTEST_GUILESS_MAIN(DailyCommandsTest)
#include "DailyCommandsTest.moc"
