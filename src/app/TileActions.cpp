#include "app/TileActions.h"

#include "dialogs/constraints/CStableSubDlg.h"
#include "dialogs/constraints/CSubYaoPaiDlg.h"
#include "dialogs/constraints/CTeacherYaoPaiDlg.h"
#include "dialogs/plan/CClassNumProDlg.h"
#include "dialogs/plan/CCombineSetDlg.h"
#include "dialogs/plan/CDayNumDlg.h"
#include "dialogs/plan/CFenGongDlg.h"
#include "dialogs/rules/CRulesDlg.h"

namespace TileActions {

namespace {

template <typename Dialog>
void runModal(QWidget* parent)
{
    Dialog dialog(parent);
    dialog.exec(); // the dialog saves on 保存 itself; its result is not needed here
}

} // namespace

void open(HomeScreen::Action action, QWidget* parent)
{
    using A = HomeScreen::Action;
    switch (action) {
    case A::OpenDayNum: runModal<CDayNumDlg>(parent); break;
    case A::OpenFenGong: runModal<CFenGongDlg>(parent); break;
    case A::OpenClassNumPro: runModal<CClassNumProDlg>(parent); break;
    case A::OpenStableSub: runModal<CStableSubDlg>(parent); break;
    case A::OpenSubYaoPai: runModal<CSubYaoPaiDlg>(parent); break;
    case A::OpenTeacherYaoPai: runModal<CTeacherYaoPaiDlg>(parent); break;
    case A::OpenCombineSet: runModal<CCombineSetDlg>(parent); break;
    case A::OpenRules: runModal<CRulesDlg>(parent); break;
    default: break;
    }
}

} // namespace TileActions
