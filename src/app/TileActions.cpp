#include "app/TileActions.h"

#include <QMessageBox>

namespace TileActions {

QString dialogClass(HomeScreen::Action action)
{
    using A = HomeScreen::Action;
    switch (action) {
    case A::OpenDayNum: return QStringLiteral("CDayNumDlg");
    case A::OpenFenGong: return QStringLiteral("CFenGongDlg");
    case A::OpenClassNumPro: return QStringLiteral("CClassNumProDlg");
    case A::OpenStableSub: return QStringLiteral("CStableSubDlg");
    case A::OpenSubYaoPai: return QStringLiteral("CSubYaoPaiDlg");
    case A::OpenTeacherYaoPai: return QStringLiteral("CTeacherYaoPaiDlg");
    case A::OpenCombineSet: return QStringLiteral("CCombineSetDlg");
    default: return QString();
    }
}

QString tileCaption(HomeScreen::Action action)
{
    using A = HomeScreen::Action;
    using Area = HomeScreen::Area;
    Area area = Area::None;
    switch (action) {
    case A::OpenDayNum: area = Area::TileWorkPlan; break;
    case A::OpenFenGong: area = Area::TileAssignment; break;
    case A::OpenClassNumPro: area = Area::TileWeeklyLessons; break;
    case A::OpenStableSub: area = Area::TileFixedLessons; break;
    case A::OpenSubYaoPai: area = Area::TileSubjectZones; break;
    case A::OpenTeacherYaoPai: area = Area::TileTeacherZones; break;
    case A::OpenCombineSet: area = Area::TileCombined; break;
    default: return QString();
    }
    return QString::fromUtf8(HomeScreen::info(area).caption);
}

void open(HomeScreen::Action action, QWidget* parent)
{
    const QString dialog = dialogClass(action);
    if (dialog.isEmpty())
        return;
    // The planning dialogs are wired in here, one case per tile.
    QMessageBox box(QMessageBox::Information, QStringLiteral("Vorlat"),
                    QStringLiteral("「%1」的对话框（%2）还在制作中。").arg(tileCaption(action), dialog),
                    QMessageBox::Ok, parent);
    box.exec();
}

} // namespace TileActions
