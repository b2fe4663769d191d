#include "cli/Cli.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlat-cli"));
    return runVorlatCli(QCoreApplication::arguments().mid(1));
}
