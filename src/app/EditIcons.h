#pragma once

#include <QIcon>

// The toolbar icons of 撤销 and 重做, painted in the toolbar's own style
// (a rounded tile with a white glyph); the disabled look is Qt's greyed copy.
namespace EditIcons {

QIcon undo();
QIcon redo();

} // namespace EditIcons
