#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// The Help menu's web pages (视频教程, 软件网站): opened in the desktop's
// browser, or, where nothing can open them (no browser installed), a message
// that says where the page is, its path or address selectable for copying.
namespace HelpPages {

// Opens `url`; when that fails, shows the message. `what` names the page
// ("使用指南", "软件网站"). Returns whether the browser took it.
bool open(QWidget* parent, const QUrl& url, const QString& what);

// The message shown when the page cannot be opened.
QString unopenedText(const QUrl& url, const QString& what);

// The call that hands a page to the desktop (QDesktopServices::openUrl by
// default); tests put their own in its place. An empty function restores it.
void setOpener(std::function<bool(const QUrl&)> opener);

} // namespace HelpPages
