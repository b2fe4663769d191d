#include "store/Transaction.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {
int s_depth = 0;
bool s_innerFailed = false;

// Runs a statement of the transaction itself; the driver's text when it fails.
QString run(const QString& sql)
{
    QSqlQuery query(Database::connection());
    return query.exec(sql) ? QString() : query.lastError().text();
}
} // namespace

Transaction::Transaction(const QString& purpose)
    : m_purpose(purpose)
{
    if (s_depth == 0) {
        // IMMEDIATE takes the write lock now, waiting for another writer as
        // long as the busy timeout allows; a deferred transaction that has read
        // first would fail at once when it comes to write.
        const QString begun = run(QStringLiteral("BEGIN IMMEDIATE"));
        if (!begun.isEmpty())
            throw StoreError(purpose, begun);
        // Page 1 first: the journal then starts with the file's header, which
        // carries its identity (see JournalCheck).
        const QString stamped = run(QStringLiteral("PRAGMA user_version = %1").arg(Database::identity()));
        if (!stamped.isEmpty()) {
            run(QStringLiteral("ROLLBACK"));
            throw StoreError(purpose, stamped);
        }
        s_innerFailed = false;
    }
    ++s_depth;
}

Transaction::~Transaction()
{
    if (m_done)
        return;
    --s_depth;
    if (s_depth > 0) {
        s_innerFailed = true;
        return;
    }
    if (Database::isOpen())
        run(QStringLiteral("ROLLBACK"));
}

void Transaction::commit()
{
    if (m_done)
        return;
    m_done = true;
    --s_depth;
    if (s_depth > 0)
        return;
    if (s_innerFailed) {
        run(QStringLiteral("ROLLBACK"));
        throw StoreError(m_purpose, QStringLiteral("部分操作未完成，已撤销全部修改。"));
    }
    const QString committed = run(QStringLiteral("COMMIT"));
    if (!committed.isEmpty()) {
        run(QStringLiteral("ROLLBACK"));
        throw StoreError(m_purpose, committed);
    }
}
