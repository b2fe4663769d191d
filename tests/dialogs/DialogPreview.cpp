// Shows one dialog on a planning database, for looking at it by hand:
//   dialog_preview <Vorlat.db> <CDayNumDlg|CFenGongDlg|CClassNumProDlg|CCombineSetDlg|
//                               CStableSubDlg|CSubYaoPaiDlg|CTeacherYaoPaiDlg> [assignment workbook]
// With a workbook, the teacher-assignment dialog imports it at once; the
// constraint dialogs start with a few marks and grid cells chosen.
#include "app/ApplicationFont.h"
#include "dialogs/plan/CClassNumProDlg.h"
#include "dialogs/plan/CCombineSetDlg.h"
#include "dialogs/plan/CDayNumDlg.h"
#include "dialogs/plan/CFenGongDlg.h"
#include "store/Database.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    applyApplicationFont(app);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: dialog_preview <Vorlat.db> <dialog class> [workbook]\n");
        return 2;
    }
    try {
        Database::open(args[1], Database::Opening::ExistingOnly);
    } catch (const StoreError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    const QString name = args[2];
    std::unique_ptr<PlanDialog> dialog;
    if (name == QLatin1String("CDayNumDlg"))
        dialog = std::make_unique<CDayNumDlg>(nullptr);
    else if (name == QLatin1String("CFenGongDlg"))
        dialog = std::make_unique<CFenGongDlg>(nullptr);
    else if (name == QLatin1String("CClassNumProDlg"))
        dialog = std::make_unique<CClassNumProDlg>(nullptr);
    else if (name == QLatin1String("CCombineSetDlg"))
        dialog = std::make_unique<CCombineSetDlg>(nullptr);
    if (!dialog) {
        std::fprintf(stderr, "unknown dialog %s\n", qPrintable(name));
        return 2;
    }
    std::printf("dialog units: %d x %d\n", dialog->units().baseX(), dialog->units().baseY());
    std::fflush(stdout);
    if (auto* assignment = dynamic_cast<CFenGongDlg*>(dialog.get()); assignment && args.size() > 3)
        QTimer::singleShot(300, assignment, [assignment, path = args[3]] { assignment->importFile(path); });
    dialog->move(40, 30);
    return dialog->exec();
}
