// How the commands open the planning file: those that only read work on a
// file nobody may write and on the file a killed save left behind.

#include "CliRunner.h"
#include "TestSupport.h"

#include "store/Database.h"
#include "store/PlanStore.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <unistd.h>

namespace {

// Runs vorlat-cli as a user who may not write what the test made read-only:
// when the tests run as root the child gives up root before it starts.
CliRun runCliAsReader(const QStringList& args)
{
    QProcess process;
    process.setChildProcessModifier([] {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(127);
    });
    process.start(qEnvironmentVariable("VORLAT_CLI"), args);
    return collect(process);
}

void makeReadOnly(const QString& dir)
{
    for (const QString& name : QDir(dir).entryList(QDir::Files))
        QFile::setPermissions(QDir(dir).filePath(name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                   | QFile::ReadOther | QFile::ExeOther);
}

QStringList readingCommands(const QString& exportTo)
{
    return {QStringLiteral("show"), QStringLiteral("timetable"), QStringLiteral("timetable --teachers"),
            QStringLiteral("schedule --seed 3"), QStringLiteral("solve --seed 3 --time-limit 20"),
            QStringLiteral("export ") + exportTo};
}

} // namespace

class DatabaseOpeningTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_demo;

private Q_SLOTS:
    void initTestCase()
    {
        m_demo = m_dir.filePath(QStringLiteral("demo.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), m_demo}).exitCode, 0);
        QCOMPARE(runCli({QStringLiteral("schedule"), QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--save"),
                         QStringLiteral("--db"), m_demo})
                     .exitCode,
                 0);
    }

    // A planning file on a share nobody may write: every command that only
    // reads serves it (solve without --save among them), a save is refused,
    // and the file keeps every byte.
    void readingCommandsServeAReadOnlyShare()
    {
        QTemporaryDir share;
        QTemporaryDir out;
        QFile::setPermissions(out.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                              | QFile::WriteOther | QFile::ExeOther);
        const QString db = share.filePath(QStringLiteral("Vorlat.db"));
        QVERIFY(QFile::copy(m_demo, db));
        makeReadOnly(share.path());
        const QByteArray before = fileHash(db);

        for (const QString& command : readingCommands(out.filePath(QStringLiteral("课表.xlsx")))) {
            const QStringList args = command.split(QLatin1Char(' ')) + QStringList{QStringLiteral("--db"), db};
            const CliRun run = runCliAsReader(args);
            // solve may also end without a full timetable (3, 4): never a database failure.
            QVERIFY2(run.exitCode == 0 || (command.startsWith(QLatin1String("solve")) && run.exitCode > 1),
                     qPrintable(command + QStringLiteral(": ") + QString::number(run.exitCode) + QLatin1Char(' ') + run.err));
        }
        QVERIFY(QFile::exists(out.filePath(QStringLiteral("课表.xlsx"))));

        const CliRun save = runCliAsReader({QStringLiteral("schedule"), QStringLiteral("--save"), QStringLiteral("--db"), db});
        QCOMPARE(save.exitCode, 1);
        QVERIFY2(save.err.contains(QStringLiteral("只读")), qPrintable(save.err));
        QCOMPARE(fileHash(db), before);
        QFile::setPermissions(share.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A save killed half-way: the next command, reading or not, rolls the
    // journal back and shows the plan as it was before that save.
    void readingCommandsAfterAKilledSave()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("source.db"));
        const QString db = dir.filePath(QStringLiteral("Vorlat.db"));
        QVERIFY(QFile::copy(m_demo, source));
        const CliRun shownBefore = runCli({QStringLiteral("show"), QStringLiteral("--db"), source});
        QCOMPARE(shownBefore.exitCode, 0);

        for (const QString& command : readingCommands(dir.filePath(QStringLiteral("课表.xlsx")))) {
            // What a writer killed in the middle of a save leaves: the file and its journal.
            Database::open(source, Database::Opening::ExistingOnly);
            {
                Transaction tx(QStringLiteral("保存"));
                Database::exec(QStringLiteral("PRAGMA cache_size = 2"), {}, QStringLiteral("fixture"));
                std::vector<QStringList> rows(300, QStringList{QStringLiteral("初一"), QStringLiteral("半途")});
                for (QStringList& row : rows)
                    for (int n = 1; n <= 24; ++n)
                        row << QStringLiteral("半途老师%1").arg(n);
                PlanStore::saveAssignments(rows);
                QFile::remove(db);
                QVERIFY(QFile::copy(source, db));
                QVERIFY(QFile::copy(source + QStringLiteral("-journal"), db + QStringLiteral("-journal")));
            }
            Database::close();

            const QStringList args = command.split(QLatin1Char(' ')) + QStringList{QStringLiteral("--db"), db};
            const CliRun run = runCli(args);
            QVERIFY2(run.exitCode == 0 || (command.startsWith(QLatin1String("solve")) && run.exitCode > 1),
                     qPrintable(command + QStringLiteral(": ") + run.err));
            QVERIFY(!QFile::exists(db + QStringLiteral("-journal")));
            // The first line names the file.
            QCOMPARE(runCli({QStringLiteral("show"), QStringLiteral("--db"), db}).out.section(QLatin1Char('\n'), 1),
                     shownBefore.out.section(QLatin1Char('\n'), 1));
        }
    }
};

QTEST_GUILESS_MAIN(DatabaseOpeningTest)
#include "DatabaseOpeningTest.moc"
