#include "store/TableReader.h"

#include "store/Database.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/TextRules.h"

#include <QSqlError>

TableReader::TableReader(const QString& table)
    : m_table(table)
{
    m_query = Database::exec(QStringLiteral("SELECT * FROM %1 ORDER BY %2 ASC")
                                 .arg(Schema::quoted(table), Schema::quoted(Schema::kRowId)),
                             {}, QStringLiteral("读取表“%1”").arg(table));
    m_record = m_query.record();
}

bool TableReader::next()
{
    if (m_query.next())
        return true;
    if (m_query.lastError().isValid())
        throw StoreError(QStringLiteral("读取表“%1”").arg(m_table), m_query.lastError().text());
    return false;
}

QString TableReader::text(int ordinal) const
{
    if (ordinal < 0 || ordinal >= m_record.count())
        throw StoreError(QStringLiteral("读取表“%1”").arg(m_table),
                         QStringLiteral("没有第 %1 列").arg(ordinal));
    const QVariant value = m_query.value(ordinal);
    if (value.isNull())
        return TextRules::emptyMarker();
    return value.toString();
}

QString TableReader::text(const QString& column) const
{
    const int ordinal = m_record.indexOf(column);
    if (ordinal < 0)
        throw StoreError(QStringLiteral("读取表“%1”").arg(m_table),
                         QStringLiteral("没有列“%1”").arg(column));
    return text(ordinal);
}
