// Planning files as they arrive from elsewhere: with code of their own, with
// the journal of a save that was killed, with somebody else's journal beside
// them, in WAL mode on a share nobody may write, locked for a moment by another
// program, or on a full disk.

#include "TestSupport.h"

#include "store/Database.h"
#include "store/ListRewrite.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <future>
#include <thread>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kSide = QStringLiteral("side");

// Runs statements on a connection of its own, as another program would.
void onSideConnection(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kSide);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString& sql : statements)
            QVERIFY2(query.exec(sql), qPrintable(sql + QStringLiteral(": ") + query.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(kSide);
}

std::vector<QStringList> classes(int count, const QString& tag)
{
    std::vector<QStringList> rows;
    for (int c = 0; c < count; ++c) {
        QStringList row{QStringLiteral("初一"), QStringLiteral("%1%2班").arg(tag).arg(c + 1)};
        for (int n = 1; n <= 24; ++n)
            row << QStringLiteral("%1老师%2-%3").arg(tag).arg(n).arg(c);
        rows.push_back(row);
    }
    return rows;
}

// A planning database with a few classes of its own.
void makeSchool(const QString& path, const QString& tag)
{
    Database::open(path);
    PlanStore::saveAssignments(classes(30, tag));
    Database::close();
}

std::vector<QStringList> assignmentsIn(const QString& path)
{
    Database::open(path, Database::Opening::ReadOnly);
    std::vector<QStringList> rows = tableRows(Schema::kAssignmentsTable);
    Database::close();
    return rows;
}

// Copies `source` and its rollback journal to `target` while a save is in the
// middle of writing: what a writer killed at that moment leaves behind. The
// source itself is rolled back afterwards.
void copyInTheMiddleOfASave(const QString& source, const QString& target)
{
    Database::open(source, Database::Opening::ExistingOnly);
    {
        Transaction tx(QStringLiteral("保存"));
        // A small cache makes the save write pages into the file before it ends.
        Database::exec(QStringLiteral("PRAGMA cache_size = 2"), {}, QStringLiteral("fixture"));
        PlanStore::saveAssignments(classes(400, QStringLiteral("半途")));
        QVERIFY(QFile::exists(source + QStringLiteral("-journal")));
        QFile::remove(target);
        QFile::remove(target + QStringLiteral("-journal"));
        QVERIFY(QFile::copy(source, target));
        QVERIFY(QFile::copy(source + QStringLiteral("-journal"), target + QStringLiteral("-journal")));
    }
    Database::close();
}

// Runs `work` in a child process that may only read `dir`: the folder and its
// files are made read-only and, when the tests run as root, the child gives up
// root first. Returns what `work` returned.
QString asReaderOfReadOnlyFolder(const QString& dir, const std::function<QString()>& work)
{
    const QStringList files = QDir(dir).entryList(QDir::Files);
    for (const QString& name : files)
        QFile::setPermissions(QDir(dir).filePath(name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                   | QFile::ReadOther | QFile::ExeOther);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        const QByteArray answer = work().toUtf8();
        const ssize_t written = write(pipeEnds[1], answer.constData(), size_t(answer.size()));
        _exit(written == answer.size() ? 0 : 3);
    }
    close(pipeEnds[1]);
    QByteArray answer;
    char buffer[4096];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const QString& name : QDir(dir).entryList(QDir::Files))
        QFile::setPermissions(QDir(dir).filePath(name), QFile::ReadOwner | QFile::WriteOwner);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("child failed with status %1").arg(status);
    return QString::fromUtf8(answer);
}

// Opens read-only and tells what came of it: the first class read, or the error.
QString openReadOnlyAndRead(const QString& path)
{
    try {
        Database::open(path, Database::Opening::ReadOnly);
        const std::vector<QStringList> rows = tableRows(Schema::kAssignmentsTable);
        Database::close();
        return QStringLiteral("read: ") + (rows.empty() ? QStringLiteral("nothing") : rows.front().at(1));
    } catch (const StoreError& error) {
        return QStringLiteral("refused: ") + error.message();
    }
}

} // namespace

class DatabaseFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A planning file that brings code of its own (a trigger that empties the
    // plan on save, a view, a computed column, a CHECK, an index on an
    // expression) is refused when it is opened, named, and left as it was.
    void refusesCodeInThePlanningFile_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("named");
        QTest::newRow("trigger that wipes the plan on save")
            << QStringList{QStringLiteral("CREATE TRIGGER wipe AFTER UPDATE ON \"课表\" BEGIN "
                                          "DELETE FROM \"教师分工\"; DELETE FROM \"周课时计划\"; END")}
            << QStringLiteral("触发器“wipe”");
        QTest::newRow("trigger that raises the file's text")
            << QStringList{QStringLiteral("CREATE TRIGGER speak BEFORE INSERT ON \"课表\" BEGIN "
                                          "SELECT RAISE(ABORT, '请把数据发到 x@example.com'); END")}
            << QStringLiteral("触发器“speak”");
        QTest::newRow("view") << QStringList{QStringLiteral("CREATE VIEW peek AS SELECT * FROM \"教师分工\"")}
                              << QStringLiteral("视图“peek”");
        QTest::newRow("computed column")
            << QStringList{QStringLiteral("ALTER TABLE \"固定科目\" ADD COLUMN shadow TEXT GENERATED ALWAYS AS "
                                          "(upper(\"班级\")) VIRTUAL")}
            << QStringLiteral("计算列“shadow”");
        QTest::newRow("check constraint")
            << QStringList{QStringLiteral("DROP TABLE \"固定科目\""),
                           QStringLiteral("CREATE TABLE \"固定科目\" (\"编号\" INTEGER PRIMARY KEY AUTOINCREMENT, "
                                          "\"班级\" TEXT CHECK (length(\"班级\") < 3), \"星期\" TEXT, \"节次\" TEXT, "
                                          "\"科目\" TEXT)")}
            << QStringLiteral("表“固定科目”带有约束");
        QTest::newRow("index on an expression")
            << QStringList{QStringLiteral("CREATE INDEX folded ON \"课表\" (lower(\"班级\"))")}
            << QStringLiteral("索引“folded”");
        QTest::newRow("unique rows that replace each other")
            << QStringList{QStringLiteral("DROP TABLE \"合班设置\""),
                           QStringLiteral("CREATE TABLE \"合班设置\" (\"编号\" INTEGER PRIMARY KEY AUTOINCREMENT, "
                                          "\"科目\" TEXT UNIQUE ON CONFLICT REPLACE, \"合班1\" TEXT, \"合班2\" TEXT, "
                                          "\"合班3\" TEXT, \"合班4\" TEXT, \"合班5\" TEXT)")}
            << QStringLiteral("表“合班设置”带有约束");
    }

    void refusesCodeInThePlanningFile()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        makeSchool(path, QStringLiteral("本校"));
        onSideConnection(path, statements);
        const QByteArray before = fileHash(path);
        for (const Database::Opening opening : {Database::Opening::ExistingOnly, Database::Opening::ReadOnly}) {
            try {
                Database::open(path, opening);
                Database::close();
                QFAIL("a planning file with code of its own was opened");
            } catch (const StoreError& error) {
                QVERIFY2(error.message().contains(named), qPrintable(error.message()));
                QVERIFY2(error.message().contains(QDir::toNativeSeparators(path)), qPrintable(error.message()));
            }
            QVERIFY(!Database::isOpen());
            QCOMPARE(fileHash(path), before);
        }
    }

    // The program's own schema carries no code, and functions in what a file
    // defines are held to the harmless ones.
    void ownFilesOpenWithTheSchemaDistrusted()
    {
        ScratchDatabase db;
        QSqlQuery query(Database::connection());
        QVERIFY(query.exec(QStringLiteral("SELECT type, name FROM sqlite_master WHERE type NOT IN ('table')")));
        QVERIFY2(!query.next(), qPrintable(query.value(1).toString()));
        QVERIFY(query.exec(QStringLiteral("PRAGMA trusted_schema")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 0);
    }

    // A save killed half-way leaves the file and its journal. The first opener
    // that can write rolls the journal back, also when it only reads: every
    // reading command then sees the plan as it was before the save.
    void killedSaveIsRolledBackByTheNextOpener_data()
    {
        QTest::addColumn<int>("opening");
        QTest::newRow("reading command") << int(Database::Opening::ReadOnly);
        QTest::newRow("writing command") << int(Database::Opening::ExistingOnly);
    }

    void killedSaveIsRolledBackByTheNextOpener()
    {
        QFETCH(int, opening);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("source.db"));
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        makeSchool(source, QStringLiteral("本校"));
        const std::vector<QStringList> before = assignmentsIn(source);
        copyInTheMiddleOfASave(source, path);
        try {
            Database::open(path, Database::Opening(opening));
        } catch (const StoreError& error) {
            QFAIL(qPrintable(error.message()));
        }
        QCOMPARE(tableRows(Schema::kAssignmentsTable), before);
        QSqlQuery check(Database::connection());
        QVERIFY(check.exec(QStringLiteral("PRAGMA integrity_check")));
        QVERIFY(check.next());
        QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
        Database::close();
        QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
    }

    // An opener that cannot write cannot roll the journal back: it says so in
    // words instead of calling the file read-only, and changes nothing.
    void readerThatCannotRollBackSaysWhy()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("source.db"));
        QTemporaryDir share;
        const QString path = share.filePath(QStringLiteral("Vorlat.db"));
        makeSchool(source, QStringLiteral("本校"));
        copyInTheMiddleOfASave(source, path);
        const QByteArray before = fileHash(path);
        const QString outcome = asReaderOfReadOnlyFolder(share.path(), [&] { return openReadOnlyAndRead(path); });
        QVERIFY2(outcome.startsWith(QStringLiteral("refused: ")), qPrintable(outcome));
        QVERIFY2(outcome.contains(QStringLiteral("上次保存没有完成")), qPrintable(outcome));
        QVERIFY2(outcome.contains(QStringLiteral("Vorlat.db-journal")), qPrintable(outcome));
        QCOMPARE(fileHash(path), before);
        QVERIFY(QFile::exists(path + QStringLiteral("-journal")));
    }

    // The journal of another database (or of an older copy of this one) lying
    // beside the file is never played into it: the opening is refused, the
    // journal named, and both files stay as they are. The same for another
    // database's write-ahead log, which SQLite would read even beside a file
    // that does not use one.
    void foreignJournalIsNotApplied_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("journalSuffix");
        QTest::newRow("another school's database") << "another" << "-journal";
        QTest::newRow("an older copy of this database") << "copy" << "-journal";
        QTest::newRow("a database with another page size") << "pagesize" << "-journal";
        QTest::newRow("another database's -wal beside a file without one") << "wal" << "-wal";
        QTest::newRow("another database's -wal beside a WAL file") << "wal into wal" << "-wal";
    }

    void foreignJournalIsNotApplied()
    {
        QFETCH(QString, other);
        QFETCH(QString, journalSuffix);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        const QString otherPath = dir.filePath(QStringLiteral("other.db"));
        const QString crashed = dir.filePath(QStringLiteral("crashed.db"));
        const QString journal = path + journalSuffix;
        makeSchool(path, QStringLiteral("本校"));
        if (other == QLatin1String("copy")) {
            QVERIFY(QFile::copy(path, otherPath));
            Database::open(otherPath, Database::Opening::ExistingOnly);
            PlanStore::saveAssignments(classes(30, QStringLiteral("副本")));
            PlanStore::saveWeek(5, 7);
            Database::close();
        } else {
            makeSchool(otherPath, QStringLiteral("外校"));
            if (other == QLatin1String("pagesize"))
                onSideConnection(otherPath, {QStringLiteral("PRAGMA page_size = 1024"), QStringLiteral("VACUUM")});
        }
        if (other.startsWith(QLatin1String("wal"))) {
            if (other == QLatin1String("wal into wal"))
                onSideConnection(path, {QStringLiteral("PRAGMA journal_mode = WAL")});
            // The other database's changes still in its -wal, copied while it runs.
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kSide);
            db.setDatabaseName(otherPath);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("PRAGMA journal_mode = WAL")));
            QVERIFY(query.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0")));
            QVERIFY(query.exec(QStringLiteral("PRAGMA user_version = 5")));
            QVERIFY(query.exec(QStringLiteral("UPDATE \"教师分工\" SET \"班级\" = '外来' || \"编号\"")));
            QVERIFY(QFile::copy(otherPath + QStringLiteral("-wal"), journal));
            query = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(kSide);
        } else {
            copyInTheMiddleOfASave(otherPath, crashed);
            QVERIFY(QFile::copy(crashed + QStringLiteral("-journal"), journal));
        }
        const QByteArray fileBefore = fileHash(path);
        const QByteArray journalBefore = fileHash(journal);

        for (const Database::Opening opening : {Database::Opening::ExistingOnly, Database::Opening::ReadOnly}) {
            try {
                Database::open(path, opening);
                const std::vector<QStringList> rows = tableRows(Schema::kAssignmentsTable);
                Database::close();
                QFAIL(qPrintable(QStringLiteral("opened with a foreign journal; first class now %1")
                                     .arg(rows.empty() ? QString() : rows.front().at(1))));
            } catch (const StoreError& error) {
                QVERIFY2(error.message().contains(QStringLiteral("Vorlat.db") + journalSuffix), qPrintable(error.message()));
                QVERIFY2(error.message().contains(QStringLiteral("不属于这个数据库")), qPrintable(error.message()));
            }
            QCOMPARE(fileHash(path), fileBefore);
            QCOMPARE(fileHash(journal), journalBefore);
        }
        // Once the journal is taken away the file opens with its own plan.
        QVERIFY(QFile::remove(journal));
        QFile::remove(path + QStringLiteral("-shm"));
        QCOMPARE(assignmentsIn(path), classes(30, QStringLiteral("本校")));
    }

    // A file from before files had an identity, or one another tool left in
    // WAL mode: a reading opening leaves it as it is; the first writing one
    // gives it an identity and the rollback journal, keeping the plan.
    void writingOpeningBringsAFileToTheProgramsForm_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::newRow("no identity") << QStringList{QStringLiteral("PRAGMA user_version = 0")};
        QTest::newRow("WAL mode") << QStringList{QStringLiteral("PRAGMA journal_mode = WAL")};
    }

    void writingOpeningBringsAFileToTheProgramsForm()
    {
        QFETCH(QStringList, statements);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        makeSchool(path, QStringLiteral("本校"));
        onSideConnection(path, statements);
        const QByteArray before = fileHash(path);
        QCOMPARE(assignmentsIn(path), classes(30, QStringLiteral("本校")));
        QCOMPARE(fileHash(path), before);

        Database::open(path, Database::Opening::ExistingOnly);
        QVERIFY(Database::identity() != 0);
        QSqlQuery query(Database::connection());
        QVERIFY(query.exec(QStringLiteral("PRAGMA user_version")) && query.next());
        QCOMPARE(query.value(0).toInt(), Database::identity());
        QVERIFY(query.exec(QStringLiteral("PRAGMA journal_mode")) && query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("delete"));
        QCOMPARE(tableRows(Schema::kAssignmentsTable), classes(30, QStringLiteral("本校")));
        query = QSqlQuery();
        Database::close();
        QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));
    }

    // A WAL-mode file on a share nobody may write: read without its -shm when
    // nothing waits in a -wal; with -wal and -shm beside it, read with the
    // changes they hold; with a -wal alone, refused in words.
    void walFileOnAReadOnlyShare_data()
    {
        QTest::addColumn<QString>("beside");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("nothing beside") << "" << "read: 本校1班";
        QTest::newRow("-wal and -shm") << "wal+shm" << "read: 新1班";
        QTest::newRow("-wal alone") << "wal" << "refused: ";
    }

    void walFileOnAReadOnlyShare()
    {
        QFETCH(QString, beside);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("source.db"));
        QTemporaryDir share;
        const QString path = share.filePath(QStringLiteral("Vorlat.db"));
        makeSchool(source, QStringLiteral("本校"));
        onSideConnection(source, {QStringLiteral("PRAGMA journal_mode = WAL")});
        if (beside.isEmpty()) {
            QVERIFY(QFile::copy(source, path));
        } else {
            // Another program's changes still in the -wal, copied while it runs.
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kSide);
            db.setDatabaseName(source);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0")));
            QVERIFY(query.exec(QStringLiteral("UPDATE \"教师分工\" SET \"班级\" = '新1班' WHERE \"编号\" = 1")));
            QVERIFY(QFile::copy(source, path));
            QVERIFY(QFile::copy(source + QStringLiteral("-wal"), path + QStringLiteral("-wal")));
            if (beside.contains(QLatin1String("shm")))
                QVERIFY(QFile::copy(source + QStringLiteral("-shm"), path + QStringLiteral("-shm")));
            query = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(kSide);
        }
        const QString got = asReaderOfReadOnlyFolder(share.path(), [&] { return openReadOnlyAndRead(path); });
        QVERIFY2(got.startsWith(outcome), qPrintable(got));
        if (outcome.startsWith(QLatin1String("refused")))
            QVERIFY2(got.contains(QStringLiteral("Vorlat.db-wal")) && !got.contains(QStringLiteral("readonly")),
                     qPrintable(got));
    }

    // Another program holds the write lock for a moment: the save waits for it
    // (up to 3 s) rather than failing at once, and both writes are kept.
    void saveWaitsForAShortLock()
    {
        ScratchDatabase db;
        PlanStore::saveFixedLessons({{QStringLiteral("1班"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("语文")}});
        std::promise<void> locked;
        std::thread other([&, path = db.path()] {
            {
                QSqlDatabase side = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kSide);
                side.setDatabaseName(path);
                side.open();
                QSqlQuery query(side);
                query.exec(QStringLiteral("BEGIN IMMEDIATE"));
                query.exec(QStringLiteral("UPDATE \"周工作计划\" SET \"工作天数\" = '6'"));
                locked.set_value();
                std::this_thread::sleep_for(std::chrono::milliseconds(1000));
                query.exec(QStringLiteral("COMMIT"));
                query = QSqlQuery();
                side.close();
            }
            QSqlDatabase::removeDatabase(kSide);
        });
        locked.get_future().wait();
        QString failure;
        try {
            PlanStore::saveFixedLessons({{QStringLiteral("2班"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("数学")}});
        } catch (const StoreError& error) {
            failure = error.message();
        }
        other.join();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(tableRows(Schema::kFixedTable).front(),
                 (QStringList{QStringLiteral("2班"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("数学")}));
        QCOMPARE(tableRows(Schema::kWeekTable).front().front(), QStringLiteral("6"));
    }

    // A full disk: our words first, the driver's after, nothing half-written.
    void fullDiskIsToldInOurWords()
    {
        ScratchDatabase db;
        const std::vector<QStringList> before = tableRows(Schema::kAssignmentsTable);
        QSqlQuery pages(Database::connection());
        QVERIFY(pages.exec(QStringLiteral("PRAGMA page_count")));
        QVERIFY(pages.next());
        const int count = pages.value(0).toInt();
        QVERIFY(pages.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(count)));
        try {
            PlanStore::saveAssignments(classes(300, QStringLiteral("满")));
            QFAIL("a save onto a full disk reported success");
        } catch (const StoreError& error) {
            const QString message = error.message();
            QVERIFY2(message.contains(QStringLiteral("磁盘已满")), qPrintable(message));
            QVERIFY2(message.indexOf(QStringLiteral("磁盘已满")) < message.indexOf(QStringLiteral("disk is full")),
                     qPrintable(message));
        }
        QCOMPARE(tableRows(Schema::kAssignmentsTable), before);
    }
};

QTEST_GUILESS_MAIN(DatabaseFilesTest)
#include "DatabaseFilesTest.moc"
