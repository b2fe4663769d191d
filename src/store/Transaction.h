#pragma once

#include <QString>

// A unit of work on the shared connection: either every statement inside it
// takes effect, or none does. Transactions nest: only the outermost one talks
// to the database, and an inner one that is left without commit() makes the
// outer commit fail and roll back.
class Transaction
{
public:
    explicit Transaction(const QString& purpose);
    ~Transaction();

    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Throws StoreError when the commit fails; the work is then rolled back.
    void commit();

private:
    QString m_purpose;
    bool m_done = false;
};
