#include "app/QtTranslations.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

class QtTranslationsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The program installs the translation the way main() does; a message box
    // then speaks Chinese in its buttons, not only in our own text.
    void messageBoxButtonsAreChinese()
    {
        QVERIFY(installQtTranslations(*QCoreApplication::instance()));
        QMessageBox box(QMessageBox::Information, QStringLiteral("温馨提示"), QStringLiteral("您确定调课吗？"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        box.setDetailedText(QStringLiteral("详细"));
        box.show();
        QCOMPARE(box.button(QMessageBox::Ok)->text().remove(QLatin1Char('&')), QStringLiteral("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("取消"));
        QStringList texts;
        for (const QAbstractButton* button : box.buttons())
            texts << button->text();
        QVERIFY2(!texts.join(QLatin1Char(' ')).contains(QLatin1String("Details")), qPrintable(texts.join('|')));
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "QtTranslationsTest.moc"
