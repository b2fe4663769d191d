#pragma once

#include "base/Failure.h"

#include <QString>

#include <stdexcept>

// An unexpected failure of the planning database: what the program was doing
// and the driver's own words. Thrown by the store; caught at the edge of the
// command that started the work, which reports failure() and abandons the
// command.
class StoreError : public std::runtime_error
{
public:
    StoreError(const QString& purpose, const QString& driverText);

    const QString& purpose() const { return m_purpose; }
    const QString& driverText() const { return m_driverText; }
    // The database failure as the rest of the program reports failures.
    Failure failure() const { return Failure::database(m_purpose, m_driverText); }
    // "purpose：driver text", ready for a message box or stderr.
    QString message() const { return failure().message(); }

private:
    QString m_purpose;
    QString m_driverText;
};
