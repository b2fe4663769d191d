#include "app/Startup.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <QMessageBox>

namespace Startup {

bool openPlanningDatabase(const QString& path, QWidget* parent)
{
    try {
        Database::open(path, Database::Opening::CreateIfMissing);
        return true;
    } catch (const StoreError& error) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Vorlat"),
                        QStringLiteral("无法打开排课数据库，程序将退出。\n%1").arg(error.message()), QMessageBox::Ok,
                        parent);
        box.exec();
        return false;
    }
}

} // namespace Startup
