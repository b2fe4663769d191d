#include "store/SchemaCode.h"

#include "store/Schema.h"
#include "store/StoreError.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace SchemaCode {

namespace {

QString shown(const QString& name)
{
    const QString oneLine = name.simplified();
    return oneLine.size() > 40 ? oneLine.left(40) + QStringLiteral("…") : oneLine;
}

// The bare words of a statement, upper case: quoted names, strings and
// comments left out.
QSet<QString> bareWords(const QString& sql)
{
    QSet<QString> words;
    QString word;
    auto flush = [&] {
        if (!word.isEmpty())
            words.insert(word.toUpper());
        word.clear();
    };
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        const auto skipTo = [&](QChar close) {
            for (++i; i < sql.size(); ++i) {
                if (sql[i] != close)
                    continue;
                if (close != QLatin1Char(']') && i + 1 < sql.size() && sql[i + 1] == close) {
                    ++i; // doubled quote inside the quotes
                    continue;
                }
                break;
            }
        };
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            flush();
            skipTo(c);
        } else if (c == QLatin1Char('[')) {
            flush();
            skipTo(QLatin1Char(']'));
        } else if (c == QLatin1Char('-') && sql.mid(i, 2) == QLatin1String("--")) {
            flush();
            while (i < sql.size() && sql[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && sql.mid(i, 2) == QLatin1String("/*")) {
            flush();
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? sql.size() : end + 1;
        } else if (c.isLetterOrNumber() || c == QLatin1Char('_')) {
            word += c;
        } else {
            flush();
        }
    }
    flush();
    return words;
}

// Clauses of a column or table definition that run expressions or change
// what a write does (a REPLACE deletes rows, a CHECK or a foreign key refuses them).
const QStringList& clausesThatAct()
{
    static const QStringList words{QStringLiteral("CHECK"), QStringLiteral("REFERENCES"), QStringLiteral("COLLATE"),
                                   QStringLiteral("UNIQUE"), QStringLiteral("CONFLICT")};
    return words;
}

QSqlQuery run(const QSqlDatabase& db, const QString& sql, const QString& purpose)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw StoreError(purpose, query.lastError().text());
    return query;
}

} // namespace

QStringList find(const QSqlDatabase& db, const QString& purpose)
{
    QSet<QString> ours;
    for (const TableSpec& spec : Schema::tables())
        ours.insert(spec.name);
    for (const TableSpec& spec : Schema::addedTables())
        ours.insert(spec.name);

    QStringList found;
    QSqlQuery objects = run(db, QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY rowid"), purpose);
    while (objects.next()) {
        const QString type = objects.value(0).toString();
        const QString name = objects.value(1).toString();
        const QString table = objects.value(2).toString();
        const QString sql = objects.value(3).toString();
        if (type == QLatin1String("trigger")) {
            found << QStringLiteral("触发器“%1”").arg(shown(name));
        } else if (type == QLatin1String("view")) {
            found << QStringLiteral("视图“%1”").arg(shown(name));
        } else if (type == QLatin1String("index")) {
            // Automatic indexes belong to a table's own UNIQUE clause, judged with the table.
            if (!objects.value(3).isNull())
                found << QStringLiteral("索引“%1”").arg(shown(name));
        } else if (type == QLatin1String("table")) {
            if (sql.simplified().startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive)) {
                found << QStringLiteral("虚拟表“%1”").arg(shown(name));
                continue;
            }
            if (!ours.contains(table))
                continue;
            const QSet<QString> words = bareWords(sql);
            QStringList clauses;
            for (const QString& word : clausesThatAct())
                if (words.contains(word))
                    clauses << word;
            if (!clauses.isEmpty())
                found << QStringLiteral("表“%1”带有约束（%2）").arg(name, clauses.join(QLatin1Char(' ')));
            QSqlQuery columns = run(db, QStringLiteral("PRAGMA table_xinfo(%1)").arg(Schema::quoted(name)), purpose);
            while (columns.next())
                if (columns.value(6).toInt() != 0)
                    found << QStringLiteral("表“%1”的计算列“%2”").arg(name, shown(columns.value(1).toString()));
        }
    }
    return found;
}

QString describe(const QStringList& findings)
{
    const int shownCount = 4;
    QString text = findings.mid(0, shownCount).join(QStringLiteral("、"));
    if (findings.size() > shownCount)
        text += QStringLiteral("等 %1 项").arg(findings.size());
    return text;
}

} // namespace SchemaCode
