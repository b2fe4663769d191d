#include "store/StoreError.h"

StoreError::StoreError(const QString& purpose, const QString& driverText)
    : std::runtime_error(Failure::database(purpose, driverText).message().toStdString())
    , m_purpose(purpose)
    , m_driverText(driverText)
{
}
