#pragma once

#include <QString>

#include <stdexcept>

// A failure of the planning database: what the program was doing and the
// driver's own words. Thrown by the store; caught by the command that started
// the work, which shows it and abandons the command.
class StoreError : public std::runtime_error
{
public:
    StoreError(const QString& purpose, const QString& driverText);

    const QString& purpose() const { return m_purpose; }
    const QString& driverText() const { return m_driverText; }
    // "purpose：driver text", ready for a message box or stderr.
    QString message() const;

private:
    QString m_purpose;
    QString m_driverText;
};
