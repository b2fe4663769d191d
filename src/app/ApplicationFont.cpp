#include "app/ApplicationFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

QString applyApplicationFont(QGuiApplication& app)
{
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const QString& wanted : {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")}) {
        if (families.contains(wanted)) {
            QFont font = QGuiApplication::font();
            font.setFamilies({wanted});
            app.setFont(font);
            return wanted;
        }
    }
    return QGuiApplication::font().family();
}
