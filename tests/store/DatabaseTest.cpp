#include "TestSupport.h"

#include "engine/PlanningModel.h"
#include "store/PlanReader.h"
#include "store/Database.h"
#include "store/ListRewrite.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/TableReader.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

namespace {

QStringList fixedRow(const QString& klass, int day, int period, const QString& subject)
{
    return {klass, QString::number(day), QString::number(period), subject};
}

// Builds an SQLite file with the given statements on a side connection.
void makeSqliteFile(const QString& path, const QStringList& statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString& sql : statements)
            QVERIFY2(query.exec(sql), qPrintable(query.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
}

} // namespace

class DatabaseTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void createsAllTablesWithTheEmptyStart()
    {
        ScratchDatabase db;
        for (const TableSpec& spec : Schema::tables()) {
            QSqlQuery query(Database::connection());
            QVERIFY(query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(Schema::quoted(spec.name))));
            QStringList columns;
            QStringList types;
            while (query.next()) {
                columns << query.value(1).toString();
                types << query.value(2).toString();
            }
            QCOMPARE(columns, QStringList{Schema::kRowId} + spec.columns);
            QCOMPARE(types.first(), QStringLiteral("INTEGER"));
            QCOMPARE(types.count(QStringLiteral("TEXT")), spec.columns.size());
        }
        QCOMPARE(tableRows(Schema::kWeekTable), (std::vector<QStringList>{{QStringLiteral("5"), QStringLiteral("8")}}));
        const auto subjects = tableRows(Schema::kSubjectsTable);
        QCOMPARE(subjects.size(), size_t(24));
        for (const QStringList& row : subjects)
            QCOMPARE(row, QStringList{QStringLiteral("H")});
        const auto plan = tableRows(Schema::kWeeklyPlanTable);
        QCOMPARE(plan.size(), size_t(12));
        QCOMPARE(plan[7][1], QStringLiteral("八年级"));
        QCOMPARE(plan[7].count(QStringLiteral("0")), 25);
        QCOMPARE(countRows(Schema::kAssignmentsTable), 0);
        QCOMPARE(countRows(Schema::kTimetableTable), 0);
    }

    void reopeningAnExistingDatabaseChangesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        QVERIFY(Database::open(path));
        PlanStore::saveWeek(6, 7);
        Database::close();
        const QByteArray before = fileHash(path);
        QVERIFY(!Database::open(path, Database::Opening::ExistingOnly));
        QCOMPARE(tableRows(Schema::kWeekTable).front(), (QStringList{QStringLiteral("6"), QStringLiteral("7")}));
        Database::close();
        QCOMPARE(fileHash(path), before);
    }

    // A file from before the tables beside the ten: reading leaves it as it is,
    // writing adds them and keeps every row of the ten.
    void olderFileGainsTheAddedTables()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        QVERIFY(Database::open(path));
        PlanStore::saveWeek(6, 7);
        Database::close();
        QStringList drops;
        for (const TableSpec& spec : Schema::addedTables())
            drops << QStringLiteral("DROP TABLE %1").arg(Schema::quoted(spec.name));
        makeSqliteFile(path, drops);
        const QByteArray older = fileHash(path);

        QVERIFY(!Database::open(path, Database::Opening::ReadOnly));
        for (const TableSpec& spec : Schema::addedTables())
            QVERIFY(!Database::hasTable(spec.name));
        Database::close();
        QCOMPARE(fileHash(path), older);

        QVERIFY(!Database::open(path, Database::Opening::ExistingOnly));
        for (const TableSpec& spec : Schema::addedTables()) {
            QVERIFY2(Database::hasTable(spec.name), qPrintable(spec.name));
            QCOMPARE(countRows(spec.name), 0);
        }
        QCOMPARE(tableRows(Schema::kWeekTable).front(), (QStringList{QStringLiteral("6"), QStringLiteral("7")}));
        QCOMPARE(countRows(Schema::kSubjectsTable), 24);
        QCOMPARE(countRows(Schema::kWeeklyPlanTable), 12);
        Database::close();

        // An added table of another shape is not ours to write into.
        makeSqliteFile(path, {QStringLiteral("DROP TABLE \"学校信息\""),
                              QStringLiteral("CREATE TABLE \"学校信息\" (\"编号\" INTEGER PRIMARY KEY, \"名称\" TEXT)")});
        const QByteArray reshaped = fileHash(path);
        try {
            Database::open(path);
            QFAIL("an added table of another shape was accepted");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("学校信息")), qPrintable(error.message()));
        }
        QCOMPARE(fileHash(path), reshaped);
    }

    void refusesForeignFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("text file") << "text" << "不是 SQLite 数据库";
        QTest::newRow("empty file") << "empty" << "不是 SQLite 数据库";
        QTest::newRow("other schema") << "other" << "缺少表“周工作计划”";
        QTest::newRow("columns out of order") << "order" << "第 2 列应为“工作天数”";
        QTest::newRow("truncated database") << "truncated" << "“";
    }

    void refusesForeignFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("foreign.db"));
        if (kind == QLatin1String("text")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("年级,班级,语文\n初一,1班,王老师\n");
        } else if (kind == QLatin1String("empty")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("other")) {
            makeSqliteFile(path, {QStringLiteral("CREATE TABLE notes (id INTEGER, body TEXT)"),
                                  QStringLiteral("INSERT INTO notes VALUES (1, 'keep me')")});
        } else if (kind == QLatin1String("order")) {
            QString other = dir.filePath(QStringLiteral("good.db"));
            Database::open(other);
            Database::close();
            QVERIFY(QFile::copy(other, path));
            makeSqliteFile(path, {QStringLiteral("DROP TABLE \"周工作计划\""),
                                  QStringLiteral("CREATE TABLE \"周工作计划\" (\"编号\" INTEGER PRIMARY KEY, "
                                                 "\"每天节次\" TEXT, \"工作天数\" TEXT)")});
        } else if (kind == QLatin1String("truncated")) {
            QString other = dir.filePath(QStringLiteral("good.db"));
            Database::open(other);
            Database::close();
            QFile source(other);
            QVERIFY(source.open(QIODevice::ReadOnly));
            QFile target(path);
            QVERIFY(target.open(QIODevice::WriteOnly));
            QByteArray bytes = source.readAll();
            bytes.truncate(bytes.size() / 3);
            bytes[200] = 'x';
            target.write(bytes);
        }
        const QByteArray before = fileHash(path);
        try {
            Database::open(path);
            QFAIL("a foreign file was accepted");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("foreign.db")), qPrintable(error.message()));
            QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
        }
        QVERIFY(!Database::isOpen());
        QCOMPARE(fileHash(path), before);
        QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
    }

    void refusesPathsThatCannotBeADatabase()
    {
        QTemporaryDir dir;
        const QString missingDir = dir.filePath(QStringLiteral("nowhere/Vorlat.db"));
        QVERIFY_THROWS_EXCEPTION(StoreError, Database::open(missingDir));
        QVERIFY(!QFile::exists(missingDir));
        QVERIFY_THROWS_EXCEPTION(StoreError, Database::open(dir.path()));
        const QString absent = dir.filePath(QStringLiteral("absent.db"));
        QVERIFY_THROWS_EXCEPTION(StoreError, Database::open(absent, Database::Opening::ExistingOnly));
        QVERIFY(!QFile::exists(absent));
    }

    void refusesReadOnlyFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        Database::open(path);
        Database::close();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (QFileInfo(path).isWritable())
            QSKIP("running with rights that ignore file permissions");
        try {
            Database::open(path);
            QFAIL("a read-only database was accepted");
        } catch (const StoreError& error) {
            QVERIFY(error.message().contains(QStringLiteral("只读")));
        }
    }

    void lockedDatabaseFailsWithTheDriversMessage()
    {
        ScratchDatabase db;
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        {
            other.setDatabaseName(db.path());
            QVERIFY(other.open());
            QSqlQuery lock(other);
            QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            try {
                PlanStore::saveWeek(4, 6);
                QFAIL("a write to a locked database succeeded");
            } catch (const StoreError& error) {
                QVERIFY2(error.driverText().contains(QStringLiteral("locked")), qPrintable(error.message()));
                QVERIFY2(error.message().contains(QDir::toNativeSeparators(db.path())), qPrintable(error.message()));
                QVERIFY2(error.message().contains(QStringLiteral("正被另一个程序使用")), qPrintable(error.message()));
            }
            QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
            other.close();
        }
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        PlanStore::saveWeek(4, 6);
        QCOMPARE(tableRows(Schema::kWeekTable).front(), (QStringList{QStringLiteral("4"), QStringLiteral("6")}));
    }

    // The rewrite convention: count, placeholder inserts, reset, update 编号 = i + 1.
    void rewriteFillsRowsInOrderAndNeverShrinks_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("3 into 5 rows") << 5 << 3 << 5;
        QTest::newRow("7 into 5 rows") << 5 << 7 << 7;
        QTest::newRow("0 into 5 rows") << 5 << 0 << 5;
        QTest::newRow("4 into an empty table") << 0 << 4 << 4;
    }

    void rewriteFillsRowsInOrderAndNeverShrinks()
    {
        QFETCH(int, existing);
        QFETCH(int, entries);
        QFETCH(int, rowsAfter);
        ScratchDatabase db;
        std::vector<QStringList> old;
        for (int i = 0; i < existing; ++i)
            old.push_back(fixedRow(QStringLiteral("旧%1").arg(i), 1, 1, QStringLiteral("语文")));
        PlanStore::saveFixedLessons(old);
        std::vector<QStringList> fresh;
        for (int i = 0; i < entries; ++i)
            fresh.push_back(fixedRow(QStringLiteral("新%1").arg(i), i + 1, 2, QStringLiteral("数学")));
        PlanStore::saveFixedLessons(fresh);

        const auto rows = tableRows(Schema::kFixedTable);
        QCOMPARE(int(rows.size()), rowsAfter);
        for (int i = 0; i < rowsAfter; ++i) {
            if (i < entries)
                QCOMPARE(rows[size_t(i)], fresh[size_t(i)]);
            else
                QCOMPARE(rows[size_t(i)], QStringList(4, QStringLiteral("H")));
        }
        // Row ids stay 1..n in order.
        QSqlQuery ids(Database::connection());
        QVERIFY(ids.exec(QStringLiteral("SELECT \"编号\" FROM \"固定科目\" ORDER BY \"编号\"")));
        for (int expected = 1; ids.next(); ++expected)
            QCOMPARE(ids.value(0).toInt(), expected);
    }

    // Another tool deleted rows of a positional table: the rewrite ends with
    // exactly its entries in 编号 1 .. n, and readers see every one of them in
    // its place.
    void rewriteOverRowsWithGaps_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QList<int>>("deleted");
        QTest::addColumn<int>("entries");
        QTest::newRow("教师分工: row 3 of 18 gone, 18 classes") << Schema::kAssignmentsTable << QList<int>{3} << 18;
        QTest::newRow("教师分工: rows 1 and 5 gone, 4 classes") << Schema::kAssignmentsTable << QList<int>{1, 5} << 4;
        QTest::newRow("教师分工: last row gone, 20 classes") << Schema::kAssignmentsTable << QList<int>{18} << 20;
        QTest::newRow("任教科目: row 5 gone") << Schema::kSubjectsTable << QList<int>{5} << 24;
        QTest::newRow("任教科目: rows 1 and 24 gone") << Schema::kSubjectsTable << QList<int>{1, 24} << 24;
    }

    void rewriteOverRowsWithGaps()
    {
        QFETCH(QString, table);
        QFETCH(QList<int>, deleted);
        QFETCH(int, entries);
        ScratchDatabase db;
        auto classRows = [](int count, const QString& tag) {
            std::vector<QStringList> rows;
            for (int c = 0; c < count; ++c) {
                QStringList row{QStringLiteral("初一"), QStringLiteral("%1%2班").arg(tag).arg(c + 1)};
                for (int n = 1; n <= 24; ++n)
                    row << QStringLiteral("%1老师%2").arg(tag).arg(n);
                rows.push_back(row);
            }
            return rows;
        };
        QStringList subjects;
        for (int n = 1; n <= 24; ++n)
            subjects << QStringLiteral("科目%1").arg(n);
        PlanStore::saveAssignments(classRows(18, QStringLiteral("旧")));
        for (int id : deleted)
            Database::exec(QStringLiteral("DELETE FROM %1 WHERE \"编号\" = ?").arg(Schema::quoted(table)), {id}, {});

        std::vector<QStringList> fresh = classRows(entries, QStringLiteral("新"));
        if (table == Schema::kSubjectsTable)
            PlanStore::saveSubjects(subjects);
        else
            PlanStore::saveAssignments(fresh);

        QSqlQuery ids(Database::connection());
        QVERIFY(ids.exec(QStringLiteral("SELECT \"编号\" FROM %1 ORDER BY \"编号\"").arg(Schema::quoted(table))));
        int expected = 1;
        for (; ids.next(); ++expected)
            QCOMPARE(ids.value(0).toInt(), expected);
        QVERIFY(expected - 1 >= entries);

        PlanningModel model;
        QVERIFY(PlanReader::LoadPlan(model).ok());
        if (table == Schema::kSubjectsTable) {
            QCOMPARE(model.subjectNames, subjects);
        } else {
            QCOMPARE(model.teacherAssignments.size(), qsizetype(26) * entries);
            for (int c = 0; c < entries; ++c)
                QCOMPARE(model.teacherAssignments.mid(26 * c, 26), fresh[size_t(c)]);
        }
    }

    // A rewrite whose update misses its row is undone and says so.
    void rewriteThatMissesARowIsUndone()
    {
        ScratchDatabase db;
        const std::vector<QStringList> old{fixedRow(QStringLiteral("1班"), 1, 1, QStringLiteral("语文"))};
        PlanStore::saveFixedLessons(old);
        // Another writer takes row 2 away between the rewrite's own steps.
        Database::exec(QStringLiteral("CREATE TRIGGER vanish AFTER UPDATE OF \"班级\" ON \"固定科目\" "
                                      "WHEN NEW.\"班级\" = 'H' AND NEW.\"编号\" = 2 BEGIN "
                                      "DELETE FROM \"固定科目\" WHERE \"编号\" = 2; END"),
                       {}, QStringLiteral("fixture"));
        try {
            PlanStore::saveFixedLessons({fixedRow(QStringLiteral("新1"), 1, 1, QStringLiteral("数学")),
                                         fixedRow(QStringLiteral("新2"), 2, 2, QStringLiteral("数学"))});
            QFAIL("a rewrite that lost a row reported success");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("编号为 2 的行没有写入")), qPrintable(error.message()));
        }
        QCOMPARE(tableRows(Schema::kFixedTable), old);
    }

    // A file opened read-only serves every reader; a write through it is
    // refused with the file named, and the file keeps every byte.
    void readOnlyOpeningReadsAndRefusesWrites()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        Database::open(path);
        PlanStore::saveWeek(5, 7);
        Database::close();
        const QByteArray before = fileHash(path);

        Database::open(path, Database::Opening::ReadOnly);
        QVERIFY(Database::isReadOnly());
        PlanningModel model;
        QVERIFY(PlanReader::LoadPlan(model).ok());
        QCOMPARE(model.periodCount, 7);
        try {
            PlanStore::saveWeek(4, 6);
            QFAIL("a write through a read-only opening succeeded");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("是只读的")), qPrintable(error.message()));
            QVERIFY2(error.message().contains(QDir::toNativeSeparators(path)), qPrintable(error.message()));
        }
        Database::close();
        QCOMPARE(fileHash(path), before);
        QVERIFY_THROWS_EXCEPTION(StoreError, Database::open(dir.filePath(QStringLiteral("absent.db")),
                                                            Database::Opening::ReadOnly));
    }

    void placeholderRowInTheMiddleHidesWhatFollows()
    {
        ScratchDatabase db;
        std::vector<QStringList> rows;
        for (int c = 0; c < 5; ++c) {
            QStringList row{QStringLiteral("初一"), QStringLiteral("%1班").arg(c + 1)};
            for (int n = 1; n <= 24; ++n)
                row << QStringLiteral("H");
            rows.push_back(row);
        }
        rows[2][1] = QStringLiteral("H"); // row 3 of 5 set to "H" by hand
        PlanStore::saveAssignments(rows);
        PlanningModel model;
        QVERIFY(PlanReader::LoadPlan(model).ok());
        QCOMPARE(model.teacherAssignments.size(), 2 * 26);
    }

    void quotesRoundTrip()
    {
        ScratchDatabase db;
        const QString name = QStringLiteral("O'Brien \"小王\" '); DROP TABLE 课表; --");
        QStringList row{QStringLiteral("初一"), name};
        for (int n = 1; n <= 24; ++n)
            row << (n == 1 ? name : QStringLiteral("H"));
        PlanStore::saveAssignments({row});
        PlanStore::saveSubjects({name});
        PlanningModel model;
        (void)PlanReader::LoadPlan(model);
        QCOMPARE(model.teacherAssignments.at(1), name);
        QCOMPARE(model.teacherAssignments.at(2), name);
        QCOMPARE(model.subjectNames.at(0), name);
        QCOMPARE(countRows(Schema::kTimetableTable), 0);
    }

    void failedRewriteLeavesTheOldRows()
    {
        ScratchDatabase db;
        const std::vector<QStringList> old{fixedRow(QStringLiteral("1班"), 1, 1, QStringLiteral("语文")),
                                           fixedRow(QStringLiteral("2班"), 2, 3, QStringLiteral("数学"))};
        PlanStore::saveFixedLessons(old);
        Database::exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON \"固定科目\" "
                                      "WHEN NEW.\"班级\" = 'BOOM' BEGIN SELECT RAISE(ABORT, 'refused by trigger'); END"),
                       {}, QStringLiteral("fixture"));
        std::vector<QStringList> fresh;
        for (int i = 0; i < 6; ++i)
            fresh.push_back(fixedRow(i == 4 ? QStringLiteral("BOOM") : QStringLiteral("新"), 1, 1, QStringLiteral("体育")));
        try {
            PlanStore::saveFixedLessons(fresh);
            QFAIL("the failing rewrite reported success");
        } catch (const StoreError& error) {
            QVERIFY(error.driverText().contains(QStringLiteral("refused by trigger")));
            QVERIFY(error.message().contains(QStringLiteral("保存固定科目")));
        }
        QCOMPARE(tableRows(Schema::kFixedTable), old);
    }

    void outerTransactionTakesInnerWritesBackOnFailure()
    {
        ScratchDatabase db;
        try {
            Transaction tx(QStringLiteral("保存"));
            PlanStore::saveSubjects({QStringLiteral("语文")});
            PlanStore::saveWeek(3, 3);
            throw StoreError(QStringLiteral("保存"), QStringLiteral("later statement failed"));
        } catch (const StoreError&) {
        }
        QCOMPARE(tableRows(Schema::kSubjectsTable).front(), QStringList{QStringLiteral("H")});
        QCOMPARE(tableRows(Schema::kWeekTable).front(), (QStringList{QStringLiteral("5"), QStringLiteral("8")}));
        // The connection is usable again afterwards.
        PlanStore::saveWeek(6, 6);
        QCOMPARE(tableRows(Schema::kWeekTable).front(), (QStringList{QStringLiteral("6"), QStringLiteral("6")}));
    }

    void readerGivesNullAsEmptyMarkerAndRefusesUnknownColumns()
    {
        ScratchDatabase db;
        Database::exec(QStringLiteral("UPDATE \"任教科目\" SET \"科目\" = NULL WHERE \"编号\" = 1"), {}, QStringLiteral("fixture"));
        TableReader reader(Schema::kSubjectsTable);
        QVERIFY(reader.next());
        QCOMPARE(reader.text(QStringLiteral("科目")), QStringLiteral("H"));
        QCOMPARE(reader.text(1), QStringLiteral("H"));
        QVERIFY_THROWS_EXCEPTION(StoreError, reader.text(QStringLiteral("班级")));
        QVERIFY_THROWS_EXCEPTION(StoreError, reader.text(7));
    }

    void textToInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "40" << 40;
        QTest::newRow("leading blanks") << " \t 7" << 7;
        QTest::newRow("sign") << "-3" << -3;
        QTest::newRow("plus") << "+12" << 12;
        QTest::newRow("trailing text") << "12节" << 12;
        QTest::newRow("marker") << "H" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("inner blank stops") << "1 2" << 1;
        QTest::newRow("clamped high") << "99999999999" << INT_MAX;
        QTest::newRow("clamped low") << "-99999999999" << INT_MIN;
        QTest::newRow("lone sign") << "-" << 0;
    }

    void textToInteger()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(TextRules::toInt(text), value);
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "DatabaseTest.moc"
