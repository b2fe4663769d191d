#include "DialogTestSupport.h"

#include "dialogs/plan/CDayNumDlg.h"
#include "ConstraintFixtures.h"
#include "dialogs/plan/WorkWeekLogic.h"
#include "store/PlanReader.h"
#include "store/StoreError.h"

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

namespace {

void setWeekRows(const std::vector<std::pair<QString, QString>>& rows)
{
    // Row ids start again at 1, as in a table that never had rows.
    Database::exec(QStringLiteral("DELETE FROM \"周工作计划\""), {}, QStringLiteral("test"));
    Database::exec(QStringLiteral("DELETE FROM sqlite_sequence"), {}, QStringLiteral("test"));
    for (const auto& [days, periods] : rows)
        Database::exec(QStringLiteral("INSERT INTO \"周工作计划\" (\"工作天数\", \"每天节次\") VALUES (?, ?)"),
                       {days, periods}, QStringLiteral("test"));
}

} // namespace

class WorkWeekTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What the dialog shows on opening for the stored rows.
    void load_data()
    {
        QTest::addColumn<QStringList>("stored"); // days, periods, days, periods, ...
        QTest::addColumn<int>("dayIndex");
        QTest::addColumn<int>("periodIndex");
        QTest::addColumn<QSize>("cell");
        QTest::newRow("5 x 7") << QStringList{"5", "7"} << 4 << 5 << QSize(101, 50);
        QTest::newRow("7 x 9") << QStringList{"7", "9"} << 6 << 7 << QSize(76, 40);
        QTest::newRow("last row wins") << QStringList{"3", "4", "6", "8"} << 5 << 6 << QSize(87, 45);
        QTest::newRow("numbers not offered select nothing") << QStringList{"0", "10"} << -1 << -1 << QSize(610, 36);
        QTest::newRow("no row starts from the first items") << QStringList{} << 0 << 0 << QSize(305, 135);
    }
    void load()
    {
        QFETCH(QStringList, stored);
        QFETCH(int, dayIndex);
        QFETCH(int, periodIndex);
        QFETCH(QSize, cell);
        ScratchDatabase db;
        std::vector<std::pair<QString, QString>> rows;
        for (int i = 0; i + 1 < stored.size(); i += 2)
            rows.emplace_back(stored[i], stored[i + 1]);
        setWeekRows(rows);
        WorkWeekLogic logic;
        logic.load();
        QCOMPARE(logic.dayIndex(), dayIndex);
        QCOMPARE(logic.periodIndex(), periodIndex);
        QCOMPARE(QSize(logic.preview().cellWidth, logic.preview().cellHeight), cell);
    }

    void combosGiveBothNumbers()
    {
        WorkWeekLogic logic;
        logic.setFromCombos(6, 7);
        QCOMPARE(logic.dayCount, 7);
        QCOMPARE(logic.periodCount, 9);
        logic.setFromCombos(-1, -1);
        QCOMPARE(logic.dayCount, 0);
        QCOMPARE(logic.periodCount, 1);
    }

    // Save updates the row every reader uses, the last one, adds row 1 to an
    // empty table, and writes values it loaded back unchanged; opening again
    // and the run both see what was saved.
    void save_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("periods");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("row 1 updated") << QStringList{"5", "8"} << 6 << 7 << QStringList{"6", "7"};
        QTest::newRow("the last of two rows") << QStringList{"5", "8", "4", "4"} << 3 << 3
                                             << QStringList{"5", "8", "3", "3"};
        QTest::newRow("the last of three rows") << QStringList{"5", "8", "4", "4", "6", "6"} << 7 << 9
                                               << QStringList{"5", "8", "4", "4", "7", "9"};
        QTest::newRow("missing row added") << QStringList{} << 5 << 6 << QStringList{"5", "6"};
    }
    void save()
    {
        QFETCH(QStringList, stored);
        QFETCH(int, days);
        QFETCH(int, periods);
        QFETCH(QStringList, after);
        ScratchDatabase db;
        std::vector<std::pair<QString, QString>> rows;
        for (int i = 0; i + 1 < stored.size(); i += 2)
            rows.emplace_back(stored[i], stored[i + 1]);
        setWeekRows(rows);
        WorkWeekLogic logic;
        logic.load();
        logic.dayCount = days;
        logic.periodCount = periods;
        logic.save();
        QStringList flat;
        for (const QStringList& row : tableRows(Schema::kWeekTable))
            flat << row;
        QCOMPARE(flat, after);
        WorkWeekLogic reopened;
        reopened.load();
        QCOMPARE(QSize(reopened.dayCount, reopened.periodCount), QSize(days, periods));
        int runDays = 0;
        int runPeriods = 0;
        PlanReader::ReadWeek(runDays, runPeriods);
        QCOMPARE(QSize(runDays, runPeriods), QSize(days, periods));
    }

    // A week that leaves a fixed lesson outside it asks first: 取消 keeps
    // the dialog open and writes nothing, 保存 writes the week and keeps the
    // lesson in its table.
    void dialogAsksBeforeLeavingConstraintsOutside()
    {
        ScratchDatabase db;
        writeSchool(7, 9, {"语文"}, threeClasses());
        PlanStore::saveFixedLessons({{"1班", "7", "1", "语文"}});
        CDayNumDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(dialog.dayCombo(), Qt::Key_Up);
        QCOMPARE(dialog.logic().dayCount, 6);
        {
            MessageBoxAnswerer answer(QStringLiteral("取消"));
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QVERIFY(answer.answered());
            QVERIFY2(answer.text().contains(QStringLiteral("固定科目 1 条")), qPrintable(answer.text()));
        }
        QVERIFY(dialog.isVisible());
        QCOMPARE(tableRows(Schema::kWeekTable).back(), (QStringList{"7", "9"}));
        {
            MessageBoxAnswerer answer(QStringLiteral("保存"));
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QVERIFY(answer.answered());
        }
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(tableRows(Schema::kWeekTable).back(), (QStringList{"6", "9"}));
        QCOMPARE(tableRows(Schema::kFixedTable).front(), (QStringList{"1班", "7", "1", "语文"}));
    }

    // Through the dialog: a changed combo and "保存" write the week; a
    // failing write shows the store's message, keeps the dialog open and the
    // file as it was; closing writes nothing.
    void dialogSavesAndRefusesToLoseData()
    {
        ScratchDatabase db;
        setWeekRows({{"5", "8"}});
        {
            CDayNumDlg dialog;
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QCOMPARE(dialog.dayCombo()->currentText(), QStringLiteral("5"));
            QCOMPARE(dialog.periodCombo()->currentText(), QStringLiteral("8"));
            QTest::keyClick(dialog.dayCombo(), Qt::Key_Down);
            QTest::keyClick(dialog.periodCombo(), Qt::Key_Up);
            QCOMPARE(dialog.logic().dayCount, 6);
            QCOMPARE(dialog.logic().preview().cellWidth, dialog.logic().previewArea.width() / 7);
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QCOMPARE(tableRows(Schema::kWeekTable).front(), (QStringList{"6", "7"}));

        {
            CDayNumDlg dialog;
            dialog.show();
            QTest::keyClick(dialog.dayCombo(), Qt::Key_Up);
            dialog.reject();
        }
        QCOMPARE(tableRows(Schema::kWeekTable).front(), (QStringList{"6", "7"}));

        injectWriteFailure(Schema::kWeekTable);
        const QByteArray before = fileHash(db.path());
        CDayNumDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(dialog.dayCombo(), Qt::Key_Up);
        QCOMPARE(dialog.dayCombo()->currentText(), QStringLiteral("5"));
        MessageBoxAnswerer answer;
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QVERIFY(answer.answered());
        QVERIFY2(answer.text().contains(QStringLiteral("injected failure")), qPrintable(answer.text()));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.dayCombo()->currentText(), QStringLiteral("5"));
        QCOMPARE(fileHash(db.path()), before);
    }
};

QTEST_MAIN(WorkWeekTest)
#include "WorkWeekTest.moc"
