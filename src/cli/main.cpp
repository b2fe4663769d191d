// vorlat-cli: the commands that need only QtCore and QtSql run here; the
// document commands (workbooks, painted pages) go to vorlat-cli-docs, so that
// starting this program loads none of their libraries.
#include "cli/Cli.h"
#include "cli/HandOver.h"

#include <QCoreApplication>

#include <vector>

int main(int argc, char* argv[])
{
    // The arguments as given, for the hand-over: the application may take
    // some of its own out of argv.
    std::vector<char*> given(argv, argv + argc + 1);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlat-cli"));
    return runVorlatCli(QCoreApplication::arguments().mid(1), [&given](const QString& name, const QStringList&) {
        return handOverToDocuments(name, given.data());
    });
}
