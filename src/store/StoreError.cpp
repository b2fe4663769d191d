#include "store/StoreError.h"

static QString joinMessage(const QString& purpose, const QString& driverText)
{
    if (driverText.trimmed().isEmpty())
        return purpose;
    return purpose + QStringLiteral("：") + driverText.trimmed();
}

StoreError::StoreError(const QString& purpose, const QString& driverText)
    : std::runtime_error(joinMessage(purpose, driverText).toStdString())
    , m_purpose(purpose)
    , m_driverText(driverText)
{
}

QString StoreError::message() const
{
    return joinMessage(m_purpose, m_driverText);
}
