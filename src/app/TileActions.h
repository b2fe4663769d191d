#pragma once

#include "view/widgets/HomeScreen.h"

#include <QString>

class QWidget;

// What a home-screen tile opens. Every tile click goes through open(); the
// scheduling run is the main frame's and never comes here.
namespace TileActions {

// The dialog class a tile opens ("CDayNumDlg", …), empty for Nothing and the run.
QString dialogClass(HomeScreen::Action action);
// The tile's caption ("工作计划", …).
QString tileCaption(HomeScreen::Action action);

// Opens the tile's dialog modally over `parent`.
void open(HomeScreen::Action action, QWidget* parent);

} // namespace TileActions
