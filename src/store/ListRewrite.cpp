#include "store/ListRewrite.h"

#include "store/Database.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <QSqlError>

int countRows(const QString& table)
{
    QSqlQuery query = Database::exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(Schema::quoted(table)), {},
                                     QStringLiteral("统计表“%1”的行数").arg(table));
    if (!query.next())
        throw StoreError(QStringLiteral("统计表“%1”的行数").arg(table), query.lastError().text());
    return query.value(0).toInt();
}

static QString missingRow(const QString& table, int rowId)
{
    return QStringLiteral("表“%1”中编号为 %2 的行没有写入，已撤销全部修改").arg(table).arg(rowId);
}

static QString setClause(const QStringList& columns)
{
    QStringList parts;
    for (const QString& column : columns)
        parts << Schema::quoted(column) + QStringLiteral("=?");
    return parts.join(QLatin1Char(','));
}

void updateRow(const QString& table, const QStringList& columns, const QStringList& values, int rowId,
               const QString& purpose)
{
    QVariantList binds;
    for (const QString& value : values)
        binds << value;
    binds << rowId;
    const QSqlQuery query = Database::exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                               .arg(Schema::quoted(table), setClause(columns), Schema::quoted(Schema::kRowId)),
                                           binds, purpose);
    if (query.numRowsAffected() != 1)
        throw StoreError(purpose, missingRow(table, rowId));
}

void makeRowsPositional(const QString& table, int wanted, const QString& purpose)
{
    const TableSpec& spec = Schema::table(table);
    Transaction tx(purpose);

    // The rows there are, in their order, become 编号 1 .. count. Going up the
    // list, the number a row moves to is always free.
    std::vector<qint64> ids;
    {
        QSqlQuery query = Database::exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %1 ASC")
                                             .arg(Schema::quoted(Schema::kRowId), Schema::quoted(table)),
                                         {}, purpose);
        while (query.next())
            ids.push_back(query.value(0).toLongLong());
    }
    const QString renumber = QStringLiteral("UPDATE %1 SET %2 = ? WHERE %2 = ?")
                                 .arg(Schema::quoted(table), Schema::quoted(Schema::kRowId));
    for (size_t k = 0; k < ids.size(); ++k)
        if (ids[k] != static_cast<qint64>(k) + 1)
            Database::exec(renumber, {static_cast<qint64>(k) + 1, ids[k]}, purpose);

    // Placeholder rows up to the number wanted, numbered explicitly so that
    // no earlier, deleted number is skipped.
    const int count = static_cast<int>(ids.size());
    if (count < wanted) {
        QStringList names{Schema::quoted(Schema::kRowId)};
        QStringList marks{QStringLiteral("?")};
        for (const QString& column : spec.columns) {
            names << Schema::quoted(column);
            marks << QStringLiteral("?");
        }
        QSqlQuery insert = Database::prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                 .arg(Schema::quoted(table), names.join(QLatin1Char(',')),
                                                      marks.join(QLatin1Char(','))),
                                             {}, purpose);
        for (int id = count + 1; id <= wanted; ++id) {
            insert.bindValue(0, id);
            for (qsizetype i = 0; i < spec.columns.size(); ++i)
                insert.bindValue(static_cast<int>(i + 1), TextRules::emptyMarker());
            if (!insert.exec())
                throw StoreError(purpose, insert.lastError().text());
        }
    }
    tx.commit();
}

void rewriteList(const QString& table, const QStringList& columns, const std::vector<QStringList>& rows,
                 const QString& purpose)
{
    const TableSpec& spec = Schema::table(table);
    Transaction tx(purpose);

    // 1. and 2.: rows 编号 1 .. n at least, without gaps.
    const int wanted = static_cast<int>(rows.size());
    makeRowsPositional(table, wanted, purpose);

    // 3. reset every text column of every row.
    {
        QVariantList values;
        for (qsizetype i = 0; i < spec.columns.size(); ++i)
            values << TextRules::emptyMarker();
        Database::exec(QStringLiteral("UPDATE %1 SET %2").arg(Schema::quoted(table), setClause(spec.columns)), values,
                       purpose);
    }

    // 4. entry i goes to row 编号 = i + 1, and each update must hit that one row.
    if (wanted == 0) {
        tx.commit();
        return;
    }
    QSqlQuery update(Database::connection());
    update.setForwardOnly(true);
    if (!update.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                            .arg(Schema::quoted(table), setClause(columns), Schema::quoted(Schema::kRowId))))
        throw StoreError(purpose, update.lastError().text());
    for (int i = 0; i < wanted; ++i) {
        const QStringList& row = rows[static_cast<size_t>(i)];
        if (row.size() != columns.size())
            throw StoreError(purpose, QStringLiteral("第 %1 行的值个数不对").arg(i + 1));
        for (qsizetype k = 0; k < row.size(); ++k)
            update.bindValue(static_cast<int>(k), row[k]);
        update.bindValue(static_cast<int>(row.size()), i + 1);
        if (!update.exec())
            throw StoreError(purpose, update.lastError().text());
        if (update.numRowsAffected() != 1)
            throw StoreError(purpose, missingRow(table, i + 1));
    }
    tx.commit();
}

void rewriteList(const QString& table, const std::vector<QStringList>& rows, const QString& purpose)
{
    rewriteList(table, Schema::table(table).columns, rows, purpose);
}
