// Shows one dialog on a planning database, for looking at it by hand:
//   dialog_preview <Vorlat.db> <CDayNumDlg|CFenGongDlg|CClassNumProDlg|CCombineSetDlg|
//                               CStableSubDlg|CSubYaoPaiDlg|CTeacherYaoPaiDlg|CSchoolDlg|CRulesDlg|
//                               CTeacherOffDlg|LimitsDlg|VenuesDlg|DoublesDlg> [assignment workbook]
// With a workbook, the teacher-assignment dialog imports it at once; the
// constraint dialogs start with a few marks and grid cells chosen.
#include "app/ApplicationFont.h"
#include "dialogs/plan/CClassNumProDlg.h"
#include "dialogs/plan/CCombineSetDlg.h"
#include "dialogs/plan/CDayNumDlg.h"
#include "dialogs/plan/CFenGongDlg.h"
#include "dialogs/plan/CSchoolDlg.h"
#include "dialogs/constraints/CStableSubDlg.h"
#include "dialogs/constraints/CSubYaoPaiDlg.h"
#include "dialogs/constraints/CTeacherYaoPaiDlg.h"
#include "dialogs/constraints/ZoneGridWidget.h"
#include "dialogs/rules/CRuleTableDlg.h"
#include "dialogs/rules/CRulesDlg.h"
#include "dialogs/rules/CTeacherOffDlg.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
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
    else if (name == QLatin1String("CStableSubDlg"))
        dialog = std::make_unique<CStableSubDlg>(nullptr);
    else if (name == QLatin1String("CSubYaoPaiDlg"))
        dialog = std::make_unique<CSubYaoPaiDlg>(nullptr);
    else if (name == QLatin1String("CTeacherYaoPaiDlg"))
        dialog = std::make_unique<CTeacherYaoPaiDlg>(nullptr);
//                               CStableSubDlg|CSubYaoPaiDlg|CTeacherYaoPaiDlg|CSchoolDlg|CRulesDlg|
//                               CTeacherOffDlg|LimitsDlg|VenuesDlg|DoublesDlg> [assignment workbook]
    if (!dialog) {
        std::fprintf(stderr, "unknown dialog %s\n", qPrintable(name));
        return 2;
    }
    std::printf("dialog units: %d x %d\n", dialog->units().baseX(), dialog->units().baseY());
    std::fflush(stdout);
    if (auto* assignment = dynamic_cast<CFenGongDlg*>(dialog.get()); assignment && args.size() > 3)
        QTimer::singleShot(300, assignment, [assignment, path = args[3]] { assignment->importFile(path); });
    // A few clicks, as a user would make them, once the dialog is up.
    QTimer::singleShot(300, dialog.get(), [d = dialog.get()] {
        auto click = [](ReportList* list, int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(row, 0));
        };
        auto clickGrid = [](ZoneGridWidget* grid, const WeekGridGeometry& g, int day, int period) {
            QTest::mouseClick(grid, Qt::LeftButton, {}, g.dataCellCentre(day, period) - grid->pos());
        };
        if (auto* fixed = dynamic_cast<CStableSubDlg*>(d)) {
            click(fixed->classList(), 1);
            click(fixed->classList(), 2);
            click(fixed->dayList(), 2);
            click(fixed->periodList(), 5);
            click(fixed->subjectList(), 10);
            QTest::mouseClick(fixed->addButton(), Qt::LeftButton);
        } else if (auto* subjects = dynamic_cast<CSubYaoPaiDlg*>(d)) {
            click(subjects->subjectList(), 1);
            click(subjects->classList(), 0);
            click(subjects->classList(), 1);
            clickGrid(subjects->gridWidget(), subjects->logic().grid.geometry(), 1, 1);
            clickGrid(subjects->gridWidget(), subjects->logic().grid.geometry(), 3, 0);
        } else if (auto* teachers = dynamic_cast<CTeacherYaoPaiDlg*>(d)) {
            click(teachers->teacherList(), 1);
            clickGrid(teachers->gridWidget(), teachers->logic().grid.geometry(), 0, 2);
            clickGrid(teachers->gridWidget(), teachers->logic().grid.geometry(), 2, 3);
        } else if (auto* off = dynamic_cast<CTeacherOffDlg*>(d)) {
            click(off->teacherList(), 1);
            click(off->teacherList(), 2);
            const WeekGridGeometry& g = off->logic().grid.geometry();
            QTest::mouseClick(off->gridWidget(), Qt::LeftButton, {}, g.dataCellCentre(3, 6) - off->gridWidget()->pos());
            QTest::mouseClick(off->partButton(TeacherOffLogic::Part::WholeDay), Qt::LeftButton);
            off->dayChoice()->setCurrentIndex(2);
            QTest::mouseClick(off->partButton(TeacherOffLogic::Part::Morning), Qt::LeftButton);
        } else if (auto* table = dynamic_cast<CRuleTableDlg*>(d)) {
            QTest::mouseClick(table->addButton(), Qt::LeftButton);
        } else if (auto* combine = dynamic_cast<CCombineSetDlg*>(d)) {
            click(combine->subjectList(), 9);
            click(combine->classList(), 0);
            click(combine->classList(), 1);
        } else if (auto* plan = dynamic_cast<CClassNumProDlg*>(d)) {
            QTest::mouseClick(plan->list()->viewport(), Qt::LeftButton, {}, plan->list()->cellCentre(6, 3));
        }
    });
    dialog->move(20, 20);
    return dialog->exec();
}
