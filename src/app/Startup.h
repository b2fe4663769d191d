#pragma once

#include <QString>

class QWidget;

namespace Startup {

// Opens the planning database at `path` as the shared connection, creating
// it when it is missing. When the store refuses the file or cannot create
// it, shows the store's message (the file and the reason) and returns false;
// a refused file is left exactly as it was.
bool openPlanningDatabase(const QString& path, QWidget* parent = nullptr);

} // namespace Startup
