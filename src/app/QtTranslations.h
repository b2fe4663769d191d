#pragma once

class QCoreApplication;

// Qt's own texts (the buttons of a message box, the file dialogs, the
// context menus of text fields) in Simplified Chinese, like the rest of the
// program: installs Qt's qtbase_zh_CN translation from Qt's translations
// folder. The program speaks Chinese whatever the desktop's language is.
// Returns false, changing nothing, when the translation is not installed
// (the Debian package qt6-translations-l10n provides it).
bool installQtTranslations(QCoreApplication& app);
