#include "store/Database.h"

#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>

namespace {

const QString kConnection = QStringLiteral("vorlat");
QString s_filePath;
bool s_readOnly = false;

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

void createTables(const QString& path)
{
    Transaction tx(QStringLiteral("创建数据库“%1”").arg(path));
    const QString purpose = QStringLiteral("创建数据库表");
    for (const TableSpec& spec : Schema::tables()) {
        QStringList defs{Schema::quoted(Schema::kRowId) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT")};
        for (const QString& column : spec.columns)
            defs << Schema::quoted(column) + QStringLiteral(" TEXT");
        Database::exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(Schema::quoted(spec.name), defs.join(QStringLiteral(", "))),
                       {}, purpose);
    }
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

void Database::verifySchema(const QSqlDatabase& db, const QString& path)
{
    for (const TableSpec& spec : Schema::tables()) {
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
    }

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
        db.setDatabaseName(absolute);
        db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
        if (!db.open()) {
            const QString driver = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(kConnection);
            refuse(path, QStringLiteral("文件无法打开。"), driver);
        }
    }
    s_filePath = absolute;
    s_readOnly = readOnly;

    if (!create) {
        // Only reads here, so a refused file keeps every byte it had.
        try {
            verifySchema(QSqlDatabase::database(kConnection, false), path);
        } catch (...) {
            close();
            throw;
        }
        return false;
    }
    try {
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
