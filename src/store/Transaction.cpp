#include "store/Transaction.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <QSqlError>

namespace {
int s_depth = 0;
bool s_innerFailed = false;
}

Transaction::Transaction(const QString& purpose)
    : m_purpose(purpose)
{
    if (s_depth == 0) {
        QSqlDatabase db = Database::connection();
        if (!db.transaction())
            throw StoreError(purpose, db.lastError().text());
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
        Database::connection().rollback();
}

void Transaction::commit()
{
    if (m_done)
        return;
    m_done = true;
    --s_depth;
    if (s_depth > 0)
        return;
    QSqlDatabase db = Database::connection();
    if (s_innerFailed) {
        db.rollback();
        throw StoreError(m_purpose, QStringLiteral("部分操作未完成，已撤销全部修改。"));
    }
    if (!db.commit()) {
        const QString driver = db.lastError().text();
        db.rollback();
        throw StoreError(m_purpose, driver);
    }
}
