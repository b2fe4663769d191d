// vorlat-cli-docs: every command of vorlat-cli, the document commands among
// them, which vorlat-cli hands over to this program unchanged.
#include "cli/DocumentCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

namespace {

QtMessageHandler qtHandler = nullptr;

// Painting offscreen, Qt remarks on a missing runtime folder it does not need here.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Commands that paint pages (PDF, pictures) need the GUI side of Qt, but
    // never a screen: without a platform chosen, they paint offscreen.
    std::unique_ptr<QCoreApplication> app;
    if (commandPaints(args)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qtHandler = qInstallMessageHandler(quietHandler);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // It answers for vorlat-cli, which started it.
    QCoreApplication::setApplicationName(QStringLiteral("vorlat-cli"));
    return runVorlatCli(QCoreApplication::arguments().mid(1));
}
