#include "app/ApplicationFont.h"
#include "app/CMainFrame.h"
#include "app/QtTranslations.h"
#include "app/Startup.h"
#include "store/Database.h"
#include "view/widgets/CVorlatView.h"
#include "view/widgets/PictureBook.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlat"));
    QApplication::setOrganizationName(QStringLiteral("Vorlat"));
    QApplication::setDesktopFileName(QStringLiteral("vorlat"));
    applyApplicationFont(app);
    installQtTranslations(app);
    QApplication::setWindowIcon(PictureBook::picture(PictureBook::AppIcon));

    // The planning database lives in the folder the program is started from.
    if (!Startup::openPlanningDatabase(QDir::current().filePath(Database::defaultFileName())))
        return 1;

    CMainFrame frame;
    // Start at the screen's full size as well, for desktops that ignore the maximised state.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    if (!frame.view()->loadError().isEmpty()) {
        QTimer::singleShot(0, &frame, [&frame] {
            QMessageBox::warning(&frame, QStringLiteral("Vorlat"),
                                 QStringLiteral("上次保存的课表没有读出来。\n%1").arg(frame.view()->loadError()));
        });
    }
    const int code = app.exec();
    Database::close();
    return code;
}
