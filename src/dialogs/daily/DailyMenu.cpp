#include "dialogs/daily/DailyMenu.h"

#include "dialogs/daily/AbsenceDialog.h"
#include "dialogs/daily/CalendarDialog.h"
#include "dialogs/daily/CountsDialog.h"
#include "dialogs/daily/CoverDialog.h"
#include "dialogs/daily/DayTimetableDialog.h"
#include "dialogs/daily/NoticeDialog.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

template <typename Dialog>
void open(QMainWindow* window)
{
    Dialog dialog(window);
    if (dialog.loadData())
        dialog.exec();
}

} // namespace

void addDailyMenu(QMainWindow& window)
{
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("代课(&D)"));
    QMainWindow* w = &window;
    menu->addAction(QStringLiteral("校历…"), w, [w] { open<CalendarDialog>(w); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("请假登记…"), w, [w] { open<AbsenceDialog>(w); });
    menu->addAction(QStringLiteral("代课安排…"), w, [w] { open<CoverDialog>(w); });
    menu->addAction(QStringLiteral("当日课表…"), w, [w] { open<DayTimetableDialog>(w); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("代课单…"), w, [w] { open<NoticeDialog>(w); });
    menu->addAction(QStringLiteral("代课统计…"), w, [w] { open<CountsDialog>(w); });
}
