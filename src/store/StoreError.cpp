#include "store/StoreError.h"

#include "store/Database.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The purpose, with the database file and, for the failures a user can do
// something about, what is wrong in plain words. The driver's text stays
// apart and follows.
QString withCause(const QString& purpose, const QString& driverText)
{
    const QString file = Database::filePath();
    if (file.isEmpty())
        return purpose;
    const QString shown = QDir::toNativeSeparators(file);
    const QString driver = driverText.toLower();
    if (driver.contains(QLatin1String("locked")) || driver.contains(QLatin1String("busy")))
        return QStringLiteral("%1：数据库“%2”正被另一个程序使用，请关闭它后再试").arg(purpose, shown);
    if (driver.contains(QLatin1String("readonly")) || driver.contains(QLatin1String("read-only"))
        || driver.contains(QLatin1String("read only")))
        return QStringLiteral("%1：数据库“%2”是只读的，修改无法保存").arg(purpose, shown);
    if (driver.contains(QLatin1String("disk is full")) || driver.contains(QLatin1String("no space left")))
        return QStringLiteral("%1：磁盘已满，数据库“%2”的修改没有保存，请腾出空间后再试").arg(purpose, shown);
    if (driver.contains(QLatin1String("malformed")) || driver.contains(QLatin1String("not a database"))
        || driver.contains(QLatin1String("disk i/o")))
        return QStringLiteral("%1：数据库“%2”已损坏或无法读写").arg(purpose, shown);
    if (purpose.contains(shown) || purpose.contains(QFileInfo(file).fileName()))
        return purpose;
    return QStringLiteral("%1（数据库“%2”）").arg(purpose, shown);
}

} // namespace

StoreError::StoreError(const QString& purpose, const QString& driverText)
    : std::runtime_error(Failure::database(withCause(purpose, driverText), driverText).message().toStdString())
    , m_purpose(withCause(purpose, driverText))
    , m_driverText(driverText)
{
}
