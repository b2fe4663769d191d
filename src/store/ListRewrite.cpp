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
    Database::exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                       .arg(Schema::quoted(table), setClause(columns), Schema::quoted(Schema::kRowId)),
                   binds, purpose);
}

void rewriteList(const QString& table, const QStringList& columns, const std::vector<QStringList>& rows,
                 const QString& purpose)
{
    const TableSpec& spec = Schema::table(table);
    Transaction tx(purpose);

    // 1. count; 2. placeholder rows until there is one per entry.
    int count = countRows(table);
    const int wanted = static_cast<int>(rows.size());
    if (count < wanted) {
        QStringList names;
        QStringList marks;
        QVariantList values;
        for (const QString& column : spec.columns) {
            names << Schema::quoted(column);
            marks << QStringLiteral("?");
            values << TextRules::emptyMarker();
        }
        QSqlQuery insert = Database::prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                 .arg(Schema::quoted(table), names.join(QLatin1Char(',')),
                                                      marks.join(QLatin1Char(','))),
                                             values, purpose);
        for (; count < wanted; ++count)
            if (!insert.exec())
                throw StoreError(purpose, insert.lastError().text());
    }

    // 3. reset every text column of every row.
    {
        QVariantList values;
        for (qsizetype i = 0; i < spec.columns.size(); ++i)
            values << TextRules::emptyMarker();
        Database::exec(QStringLiteral("UPDATE %1 SET %2").arg(Schema::quoted(table), setClause(spec.columns)), values,
                       purpose);
    }

    // 4. entry i goes to row 编号 = i + 1.
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
    }
    tx.commit();
}

void rewriteList(const QString& table, const std::vector<QStringList>& rows, const QString& purpose)
{
    rewriteList(table, Schema::table(table).columns, rows, purpose);
}
