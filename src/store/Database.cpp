#include "store/Database.h"

#include "store/JournalCheck.h"
#include "store/Schema.h"
#include "store/SchemaCode.h"
#include "store/StoreError.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>

namespace {

const QString kConnection = QStringLiteral("vorlat");
const QString kRecovery = QStringLiteral("vorlat-recovery");
QString s_filePath;
bool s_readOnly = false;
qint32 s_identity = 0;

[[noreturn]] void refuse(const QString& path, const QString& reason, const QString& driver = QString())
{
    throw StoreError(QStringLiteral("无法打开数据库“%1”：%2").arg(QDir::toNativeSeparators(path), reason), driver);
}

[[noreturn]] void notVorlat(const QString& path, const QString& reason)
{
    throw StoreError(
        QStringLiteral("“%1”不是排课数据库：%2").arg(QDir::toNativeSeparators(path), reason), QString());
}

bool hasSqliteHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(16);
    return head == QByteArray("SQLite format 3\0", 16);
}

bool isWalFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(20);
    return head.size() == 20 && head[18] == 2 && head[19] == 2;
}

bool canWrite(const QString& path)
{
    const QFileInfo info(path);
    return info.isWritable() && QFileInfo(info.absolutePath()).isWritable();
}

// Opens the shared connection with code in the file's schema distrusted;
// immutable: read the file as it lies, without locks and without a -shm.
void openConnection(const QString& absolute, const QString& path, const QString& options, bool immutable = false)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
    db.setDatabaseName(immutable ? QStringLiteral("file:%1?immutable=1")
                                       .arg(QString::fromLatin1(QUrl::toPercentEncoding(absolute, "/")))
                                 : absolute);
    db.setConnectOptions(options);
    QString driver;
    if (!db.open()) {
        driver = db.lastError().text();
    } else {
        QSqlQuery distrust(db);
        if (!distrust.exec(QStringLiteral("PRAGMA trusted_schema = OFF")))
            driver = distrust.lastError().text();
    }
    if (driver.isEmpty())
        return;
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(kConnection);
    refuse(path, QStringLiteral("文件无法打开。"), driver);
}

bool canRead(const QSqlDatabase& db)
{
    QSqlQuery probe(db);
    return probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && probe.next();
}

// A journal left beside the file is rolled back before anything reads the
// file, by a connection that can write, or the opening is refused in words.
// A journal that belongs to another file is never played back.
void settleJournal(const QString& absolute, const QString& path)
{
    const JournalCheck::Finding journal = JournalCheck::inspect(absolute);
    for (const JournalCheck::Finding& found : {journal, JournalCheck::inspectWal(absolute)})
        if (found.state == JournalCheck::State::Foreign)
            refuse(path, QStringLiteral("旁边的日志文件“%1”不属于这个数据库（%2），没有使用它。"
                                        "若它是从别处带来的，请把它移走后再打开。")
                             .arg(QDir::toNativeSeparators(found.journalPath), found.reason));
    const QString shownJournal = QDir::toNativeSeparators(journal.journalPath);
    if (journal.state != JournalCheck::State::Hot)
        return;
    if (!canWrite(absolute))
        refuse(path, QStringLiteral("上次保存没有完成，留下了日志文件“%1”。要先用它撤销没有完成的修改，"
                                    "但文件或所在的文件夹不可写；请把数据库连同这个日志文件复制到可写的文件夹后再打开。")
                         .arg(shownJournal));
    QString driver;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kRecovery);
        db.setDatabaseName(absolute);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        if (!db.open()) {
            driver = db.lastError().text();
        } else {
            // The first read of a connection that can write rolls a hot journal back.
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("PRAGMA trusted_schema = OFF"))
                || !query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next())
                driver = query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(kRecovery);
    if (!driver.isEmpty())
        refuse(path, QStringLiteral("上次保存没有完成，用日志文件“%1”撤销没有完成的修改时出错。").arg(shownJournal), driver);
}

qint32 readIdentity(const QSqlDatabase& db, const QString& path)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        refuse(path, QStringLiteral("读取文件标识失败。"), query.lastError().text());
    return query.value(0).toInt();
}

qint32 newIdentity()
{
    return qint32(QRandomGenerator::system()->bounded(1u, 0x7fffffffu));
}

void createTable(const TableSpec& spec, const QString& purpose)
{
    QStringList defs{Schema::quoted(Schema::kRowId) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")};
    for (const QString& column : spec.columns)
        defs << Schema::quoted(column) + QStringLiteral(" TEXT");
    Database::exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(Schema::quoted(spec.name), defs.join(QStringLiteral(", "))),
                   {}, purpose);
}

// Adds the tables beside the ten that an older file lacks, all or none.
void addMissingTables(const QString& path)
{
    std::vector<const TableSpec*> missing;
    for (const TableSpec& spec : Schema::addedTables())
        if (!Database::hasTable(spec.name))
            missing.push_back(&spec);
    if (missing.empty())
        return;
    Transaction tx(QStringLiteral("为数据库“%1”添加新表").arg(path));
    for (const TableSpec* spec : missing)
        createTable(*spec, QStringLiteral("创建数据库表"));
    tx.commit();
}

void createTables(const QString& path)
{
    Transaction tx(QStringLiteral("创建数据库“%1”").arg(path));
    const QString purpose = QStringLiteral("创建数据库表");
    for (const TableSpec& spec : Schema::tables())
        createTable(spec, purpose);
    for (const TableSpec& spec : Schema::addedTables())
        createTable(spec, purpose);
    // The consistent empty start: one week row, 24 unused subjects, 12 grade rows.
    Database::exec(QStringLiteral("INSERT INTO \"周工作计划\" (\"工作天数\", \"每天节次\") VALUES (?, ?)"),
                   {QStringLiteral("5"), QStringLiteral("8")}, purpose);
    for (int i = 0; i < Plan::kSubjectSlots; ++i)
        Database::exec(QStringLiteral("INSERT INTO \"任教科目\" (\"科目\") VALUES (?)"), {Plan::emptyMarker()}, purpose);
    const TableSpec& plan = Schema::table(Schema::kWeeklyPlanTable);
    QStringList names;
    QStringList marks;
    for (const QString& column : plan.columns) {
        names << Schema::quoted(column);
        marks << QStringLiteral("?");
    }
    const QString insertPlan = QStringLiteral("INSERT INTO \"周课时计划\" (%1) VALUES (%2)")
                                   .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    for (const QString& grade : Schema::gradeRowNames()) {
        QVariantList values{QStringLiteral("0"), grade};
        for (int n = 1; n <= Plan::kSubjectSlots; ++n)
            values << QStringLiteral("0");
        Database::exec(insertPlan, values, purpose);
    }
    tx.commit();
}

} // namespace

bool Database::hasTable(const QString& name)
{
    QSqlQuery query = exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"), {name},
                           QStringLiteral("读取数据库的结构"));
    return query.next() && query.value(0).toInt() > 0;
}

void Database::verifySchema(const QSqlDatabase& db, const QString& path)
{
    std::vector<TableSpec> specs = Schema::tables();
    for (const TableSpec& spec : Schema::addedTables()) {
        QSqlQuery present(db);
        present.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"));
        present.addBindValue(spec.name);
        if (present.exec() && present.next() && present.value(0).toInt() > 0)
            specs.push_back(spec);
    }
    for (const TableSpec& spec : specs) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(Schema::quoted(spec.name)))) {
            const QString driver = query.lastError().text();
            if (driver.contains(QLatin1String("not a database"), Qt::CaseInsensitive)
                || driver.contains(QLatin1String("malformed"), Qt::CaseInsensitive))
                notVorlat(path, QStringLiteral("文件已损坏或不是 SQLite 数据库（%1）。").arg(driver));
            refuse(path, QStringLiteral("读取表结构失败。"), driver);
        }
        QStringList columns;
        while (query.next())
            columns << query.value(1).toString();
        if (columns.isEmpty())
            notVorlat(path, QStringLiteral("缺少表“%1”。").arg(spec.name));
        const QStringList expected = QStringList{Schema::kRowId} + spec.columns;
        if (columns != expected) {
            int i = 0;
            while (i < columns.size() && i < expected.size() && columns[i] == expected[i])
                ++i;
            const QString want = i < expected.size() ? expected[i] : QStringLiteral("（无）");
            const QString have = i < columns.size() ? columns[i] : QStringLiteral("（无）");
            notVorlat(path, QStringLiteral("表“%1”第 %2 列应为“%3”，实为“%4”。").arg(spec.name).arg(i + 1).arg(want, have));
        }
    }
}

bool Database::open(const QString& path, Opening opening)
{
    close();

    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    const QFileInfo dir(info.absolutePath());
    if (!dir.exists())
        refuse(path, QStringLiteral("文件夹“%1”不存在。").arg(QDir::toNativeSeparators(info.absolutePath())));
    if (info.exists() && info.isDir())
        refuse(path, QStringLiteral("这是一个文件夹，不是数据库文件。"));

    const bool create = !info.exists();
    const bool readOnly = opening == Opening::ReadOnly;
    if (create) {
        if (opening != Opening::CreateIfMissing)
            refuse(path, QStringLiteral("文件不存在。"));
        if (!dir.isWritable())
            refuse(path, QStringLiteral("文件夹“%1”不可写，无法创建数据库。").arg(QDir::toNativeSeparators(info.absolutePath())));
    } else {
        if (!info.isReadable())
            refuse(path, QStringLiteral("文件不可读。"));
        if (!hasSqliteHeader(absolute))
            notVorlat(path, QStringLiteral("文件不是 SQLite 数据库。"));
        if (!readOnly && !info.isWritable())
            refuse(path, QStringLiteral("文件是只读的，修改无法保存。"));
        if (!readOnly && !dir.isWritable())
            refuse(path, QStringLiteral("文件夹“%1”不可写，修改无法保存。").arg(QDir::toNativeSeparators(info.absolutePath())));
        settleJournal(absolute, path);
    }

    const bool wal = !create && isWalFile(absolute);
    openConnection(absolute, path,
                   readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000")
                            : QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    s_filePath = absolute;
    s_readOnly = readOnly;

    if (!create) {
        // Only reads before the file is accepted, so a refused file keeps every byte it had.
        try {
            QSqlDatabase db = QSqlDatabase::database(kConnection, false);
            if (readOnly && wal && !canRead(db)) {
                // A WAL file on a share nobody may write: SQLite cannot make its
                // -shm. With nothing waiting in a -wal the file alone is the
                // whole database and is read as it lies.
                const QFileInfo walFile(absolute + QStringLiteral("-wal"));
                if (walFile.exists() && walFile.size() > 0)
                    refuse(path, QStringLiteral("文件使用 WAL 日志，日志“%1”中还有没有写回的修改，而所在的文件夹不可写，读不出来。"
                                                "请把数据库连同它的 -wal 文件复制到可写的文件夹后再打开。")
                                     .arg(QDir::toNativeSeparators(walFile.absoluteFilePath())));
                close();
                openConnection(absolute, path, QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"), true);
                s_filePath = absolute;
                s_readOnly = true;
                db = QSqlDatabase::database(kConnection, false);
            }
            verifySchema(db, path);
            const QStringList code = SchemaCode::find(db, QStringLiteral("读取数据库“%1”的结构").arg(path));
            if (!code.isEmpty())
                refuse(path, QStringLiteral("文件里有排课数据库没有的%1。它们会在读写时运行文件自带的代码，因此不打开这个文件。")
                                 .arg(SchemaCode::describe(code)));
            if (!readOnly && wal) {
                // The program's files keep a rollback journal (see JournalCheck).
                QSqlQuery mode(db);
                mode.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
            }
            s_identity = readIdentity(db, path);
            if (s_identity == 0 && !readOnly) {
                // A file made before files had an identity gets one now; when
                // another program holds it, at its first save instead.
                s_identity = newIdentity();
                try {
                    Transaction tx(QStringLiteral("为数据库“%1”登记标识").arg(path));
                    tx.commit();
                } catch (const StoreError&) {
                }
            }
            if (!readOnly) {
                // When another program holds the file the tables come at a later
                // opening; until then the readers take them as empty.
                try {
                    addMissingTables(path);
                } catch (const StoreError&) {
                }
            }
        } catch (...) {
            close();
            throw;
        }
        return false;
    }
    try {
        s_identity = newIdentity();
        createTables(path);
    } catch (...) {
        close();
        QFile::remove(absolute);
        throw;
    }
    return true;
}

void Database::close()
{
    if (QSqlDatabase::contains(kConnection)) {
        {
            QSqlDatabase db = QSqlDatabase::database(kConnection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(kConnection);
    }
    s_filePath.clear();
    s_readOnly = false;
    s_identity = 0;
}

qint32 Database::identity()
{
    return s_identity;
}

bool Database::isReadOnly()
{
    return isOpen() && s_readOnly;
}

bool Database::isOpen()
{
    return QSqlDatabase::contains(kConnection) && QSqlDatabase::database(kConnection, false).isOpen();
}

QString Database::filePath()
{
    return s_filePath;
}

QSqlDatabase Database::connection()
{
    if (!isOpen())
        throw StoreError(QStringLiteral("没有打开的数据库"), QString());
    return QSqlDatabase::database(kConnection, false);
}

QSqlQuery Database::prepare(const QString& sql, const QVariantList& values, const QString& purpose)
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw StoreError(purpose, query.lastError().text());
    for (const QVariant& value : values)
        query.addBindValue(value);
    return query;
}

QSqlQuery Database::exec(const QString& sql, const QVariantList& values, const QString& purpose)
{
    QSqlQuery query = prepare(sql, values, purpose);
    if (!query.exec())
        throw StoreError(purpose, query.lastError().text());
    return query;
}
