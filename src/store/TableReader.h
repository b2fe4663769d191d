#pragma once

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>

// A forward pass over one table in row-id order ("select * … order by 编号").
// Values come back as text; a NULL reads as the empty marker "H".
class TableReader
{
public:
    explicit TableReader(const QString& table);

    bool next();

    // By ordinal position (0 is 编号, the first data column is 1).
    QString text(int ordinal) const;
    // By column name.
    QString text(const QString& column) const;

    int columnCount() const { return m_record.count(); }

private:
    QString m_table;
    QSqlQuery m_query;
    QSqlRecord m_record;
};
