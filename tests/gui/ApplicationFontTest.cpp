#include "app/ApplicationFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QtTest>

class ApplicationFontTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chineseTextUsesASimplifiedChineseFamily()
    {
        auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        QVERIFY(app);
        const QString family = applyApplicationFont(*app);
        QVERIFY2(family == QLatin1String("Noto Sans CJK SC") || family == QLatin1String("WenQuanYi Micro Hei"),
                 qPrintable(family));
        QCOMPARE(QFontInfo(QGuiApplication::font()).family(), family);
    }
};

QTEST_MAIN(ApplicationFontTest)
#include "ApplicationFontTest.moc"
