#include "TestSupport.h"

#include "store/Schema.h"
#include "store/SchoolStore.h"

#include <QtTest>

class SchoolStoreTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_data()
    {
        QTest::addColumn<QVariantList>("row"); // empty: no row
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("term");
        QTest::addColumn<int>("morning");
        QTest::newRow("no row") << QVariantList{} << QString() << QString() << 4;
        QTest::newRow("filled") << QVariantList{" 城关中学 ", "2026—2027学年第一学期", "5"} << "城关中学"
                                << "2026—2027学年第一学期" << 5;
        QTest::newRow("placeholders") << QVariantList{"H", "H", "H"} << QString() << QString() << 4;
        QTest::newRow("not a count") << QVariantList{"一中", "", "-1"} << "一中" << QString() << 4;
        QTest::newRow("no morning") << QVariantList{"一中", "", "0"} << "一中" << QString() << 0;
    }

    // The one row of 学校信息; a missing row or a count that is not one gives the defaults.
    void load()
    {
        QFETCH(QVariantList, row);
        QFETCH(QString, name);
        QFETCH(QString, term);
        QFETCH(int, morning);
        ScratchDatabase database;
        if (!row.isEmpty())
            Database::exec(QStringLiteral("INSERT INTO %1 (\"学校名称\", \"学期\", \"上午节数\") VALUES (?, ?, ?)")
                               .arg(Schema::quoted(Schema::kSchoolTable)),
                           row, QStringLiteral("fixture"));
        const SchoolDetails details = SchoolStore::Load();
        QCOMPARE(details.name, name);
        QCOMPARE(details.term, term);
        QCOMPARE(details.morningPeriods, morning);
    }
};

QTEST_GUILESS_MAIN(SchoolStoreTest)
#include "SchoolStoreTest.moc"
