#pragma once

#include "view/widgets/HomeScreen.h"

class QWidget;

// What a home-screen tile opens. Every tile click goes through open(); the
// scheduling run is the main frame's and never comes here.
namespace TileActions {

// Opens the tile's dialog modally over `parent`.
void open(HomeScreen::Action action, QWidget* parent);

} // namespace TileActions
