#include "base/Failure.h"

Failure::Failure(Kind kind, const QString& text, const QString& driverText)
    : m_kind(kind)
    , m_text(text)
    , m_driverText(driverText)
{
}

QString Failure::message() const
{
    const QString driver = m_driverText.trimmed();
    if (driver.isEmpty())
        return m_text;
    return m_text + QStringLiteral("：") + driver;
}
