#include "ConstraintFixtures.h"
#include "DialogTestSupport.h"

#include "dialogs/constraints/CStableSubDlg.h"
#include "dialogs/constraints/FixedLessonLogic.h"

#include <QHeaderView>
#include <QPushButton>
#include <QtTest>

namespace {

FixedLessonLogic sample(const std::vector<QStringList>& stored = {})
{
    FixedLessonLogic logic;
    QStringList slots{"语文", "数学", "H", "英语"};
    while (slots.size() < 24)
        slots << QStringLiteral("H");
    logic.setUp({"1班", "2班", "3班"}, 5, 7, slots, stored);
    return logic;
}

QStringList flat(const std::vector<QStringList>& rows)
{
    QStringList out;
    for (const QStringList& row : rows)
        out << row.join(QLatin1Char('/'));
    return out;
}

} // namespace

class FixedLessonTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadingFilter()
    {
        const FixedLessonLogic logic = sample({
            {"1班", "5", "7", "数学"},
            {"1班", "6", "1", "数学"},  // day after the week
            {"2班", "1", "8", "数学"},  // period after the day
            {"9班", "1", "1", "数学"},  // class gone
            {"2班", "1", "1", "物理"},  // subject gone
            {"3班", "0", "1", "英语"},  // day 0 passes as the table allows it
        });
        QCOMPARE(flat(logic.entries), (QStringList{"1班/5/7/数学", "3班/0/1/英语"}));
        QCOMPARE(logic.subjects, (QStringList{"语文", "数学", "英语"}));
        QCOMPARE(logic.days, (QStringList{"1", "2", "3", "4", "5"}));
    }

    // Click scripts: c<row> marks a class, C the class header, d/p/s<row>
    // the single-choice lists (-1 below the last row), add, rm<row>.
    void clicks_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("chosenDay");
        QTest::newRow("one class") << "c0 d1 p2 s1 add" << QStringList{"1班/2/3/数学"} << "2";
        QTest::newRow("unmarking a day keeps it chosen")
            << "c0 d1 d1 p0 s0 add" << QStringList{"1班/2/1/语文"} << "2";
        QTest::newRow("below the last row clears the choice") << "c0 d1 d-1 p0 s0 add" << QStringList{} << "";
        QTest::newRow("no subject adds nothing") << "c0 d1 p0 add" << QStringList{} << "2";
        QTest::newRow("twice is once") << "c0 d0 p0 s0 add add" << QStringList{"1班/1/1/语文"} << "1";
        QTest::newRow("another subject in the same slot is another entry")
            << "c0 d0 p0 s0 add s1 add" << QStringList{"1班/1/1/语文", "1班/1/1/数学"} << "1";
        QTest::newRow("all classes through the header")
            << "C d4 p6 s2 add" << QStringList{"1班/5/7/英语", "2班/5/7/英语", "3班/5/7/英语"} << "5";
        QTest::newRow("remove one") << "c0 c2 d0 p0 s0 add rm0" << QStringList{"3班/1/1/语文"} << "1";
    }
    void clicks()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, entries);
        QFETCH(QString, chosenDay);
        FixedLessonLogic logic = sample();
        for (const QString& step : script.split(QLatin1Char(' '))) {
            const int row = step.mid(1).toInt();
            if (step == QLatin1String("add"))
                logic.add();
            else if (step.startsWith(QLatin1String("rm")))
                logic.remove(step.mid(2).toInt());
            else if (step == QLatin1String("C"))
                logic.classHeaderClicked();
            else if (step[0] == QLatin1Char('c'))
                logic.clickClass(row);
            else if (step[0] == QLatin1Char('d'))
                logic.clickDay(row);
            else if (step[0] == QLatin1Char('p'))
                logic.clickPeriod(row);
            else if (step[0] == QLatin1Char('s'))
                logic.clickSubject(row);
        }
        QCOMPARE(flat(logic.entries), entries);
        QCOMPARE(logic.chosenDay, chosenDay);
    }

    // Saving n entries over a table of m rows: rows 1..n hold them, the rest "H".
    void save_data()
    {
        QTest::addColumn<int>("storedRows");
        QTest::addColumn<int>("entries");
        QTest::newRow("3 over 5") << 5 << 3;
        QTest::newRow("5 over 3") << 3 << 5;
        QTest::newRow("none over 2") << 2 << 0;
    }
    void save()
    {
        QFETCH(int, storedRows);
        QFETCH(int, entries);
        ScratchDatabase db;
        writeSchool(5, 7, {"语文", "数学"}, threeClasses());
        std::vector<QStringList> stored(static_cast<size_t>(storedRows), QStringList{"1班", "1", "1", "语文"});
        PlanStore::saveFixedLessons(stored);
        FixedLessonLogic fresh;
        QCOMPARE(fresh.load(), QString());
        QCOMPARE(int(fresh.entries.size()), storedRows);
        fresh.entries.clear();
        for (int i = 0; i < entries; ++i)
            fresh.entries.push_back({"2班", QString::number(i % 5 + 1), QString::number(i / 5 + 1), "数学"});
        fresh.save();
        const std::vector<QStringList> rows = tableRows(Schema::kFixedTable);
        QCOMPARE(int(rows.size()), std::max(storedRows, entries));
        for (int i = 0; i < int(rows.size()); ++i)
            QCOMPARE(rows[size_t(i)][0], i < entries ? QStringLiteral("2班") : QStringLiteral("H"));
    }

    // A week the lists cannot show is refused on opening; a week without days
    // would otherwise drop every stored entry at the next save.
    void refusesAWeekItCannotShow_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("weekRow");
        QTest::addColumn<QString>("message");
        QTest::newRow("8 days") << 8 << true << "工作天数为8";
        QTest::newRow("0 days") << 0 << true << "工作天数为0，至少要有1天";
        QTest::newRow("no week row") << 5 << false << "还没有设置周工作计划";
    }
    void refusesAWeekItCannotShow()
    {
        QFETCH(int, days);
        QFETCH(bool, weekRow);
        QFETCH(QString, message);
        ScratchDatabase db;
        writeSchool(days, 7, {"语文"}, threeClasses());
        PlanStore::saveFixedLessons({{"3班", "1", "1", "语文"}});
        if (!weekRow)
            Database::exec(QStringLiteral("DELETE FROM \"周工作计划\""), {}, QStringLiteral("test"));
        CStableSubDlg dialog;
        MessageBoxAnswerer answer;
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY2(answer.text().contains(message), qPrintable(answer.text()));
    }

    void dialog()
    {
        ScratchDatabase db;
        writeSchool(5, 7, {"语文", "数学"}, threeClasses());
        PlanStore::saveFixedLessons({{"3班", "1", "1", "语文"}});
        CStableSubDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto click = [](ReportList* list, int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(row, 0));
        };
        QCOMPARE(dialog.entryList()->rowCount(), 1);
        const QHeaderView* header = dialog.classList()->horizontalHeader();
        QTest::mouseClick(dialog.classList()->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
        QCOMPARE(dialog.classList()->horizontalHeaderItem(1)->text(), QStringLiteral("全不选▼"));
        click(dialog.classList(), 2); // unmark 3班
        click(dialog.dayList(), 4);
        click(dialog.periodList(), 6);
        click(dialog.subjectList(), 1);
        QCOMPARE(dialog.dayList()->text(4, 1), ListMarks::check());
        QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
        QCOMPARE(dialog.entryList()->rowCount(), 3);
        QCOMPARE(dialog.entryList()->text(2, 0), QStringLiteral("2班"));

        injectWriteFailure(Schema::kFixedTable);
        const QByteArray before = fileHash(db.path());
        {
            MessageBoxAnswerer failure;
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QVERIFY2(failure.text().contains(QStringLiteral("injected failure")), qPrintable(failure.text()));
        }
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.entryList()->rowCount(), 3);
        QCOMPARE(fileHash(db.path()), before);
        for (const char* event : {"UPDATE", "INSERT"})
            Database::exec(QStringLiteral("DROP TRIGGER \"fail_固定科目_%1\"").arg(QLatin1String(event)), {},
                           QStringLiteral("test"));

        click(dialog.entryList(), 0);
        QTest::mouseClick(dialog.removeButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(flat(tableRows(Schema::kFixedTable)), (QStringList{"1班/5/7/数学", "2班/5/7/数学"}));
    }
};

QTEST_MAIN(FixedLessonTest)
#include "FixedLessonTest.moc"
