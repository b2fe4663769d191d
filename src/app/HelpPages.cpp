#include "app/HelpPages.h"

#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>

namespace HelpPages {

namespace {

std::function<bool(const QUrl&)>& opener()
{
    static std::function<bool(const QUrl&)> call;
    return call;
}

} // namespace

QString unopenedText(const QUrl& url, const QString& what)
{
    const QString where = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    return QStringLiteral("没有找到可以打开网页的浏览器。\n%1在：\n%2").arg(what, where);
}

bool open(QWidget* parent, const QUrl& url, const QString& what)
{
    const bool opened = opener() ? opener()(url) : QDesktopServices::openUrl(url);
    if (opened)
        return true;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Vorlat"), unopenedText(url, what), QMessageBox::Ok,
                    parent);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
    return false;
}

void setOpener(std::function<bool(const QUrl&)> call) { opener() = std::move(call); }

} // namespace HelpPages
