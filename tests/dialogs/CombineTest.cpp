#include "DialogTestSupport.h"

#include "dialogs/plan/CCombineSetDlg.h"
#include "dialogs/plan/CombineLogic.h"
#include "store/PlanStore.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

// Subjects 数学 and 英语. 数学: classes 1, 2, 3, 5, 6, 7 by 甲 and class 4 by
// 乙, stored in the order 1, 4, 2, 3, 5, 6, 7, then class 8 without a
// teacher. 英语: every class by 丙.
CombineLogic sampleLogic(const std::vector<QStringList>& stored = {})
{
    CombineLogic logic;
    logic.subjectSlots = QStringList{"数学", "英语"};
    while (logic.subjectSlots.size() < 24)
        logic.subjectSlots << QStringLiteral("H");
    const QStringList order{"1", "4", "2", "3", "5", "6", "7", "8"};
    for (const QString& n : order) {
        QStringList row{QStringLiteral("七年级"), n + QStringLiteral("班")};
        row << (n == QLatin1String("4") ? QStringLiteral("乙") : n == QLatin1String("8") ? QStringLiteral("H")
                                                                                          : QStringLiteral("甲"));
        row << QStringLiteral("丙");
        while (row.size() < 26)
            row << QStringLiteral("H");
        logic.assignmentRows << row;
    }
    logic.setUp(stored);
    return logic;
}

QStringList flat(const std::vector<QStringList>& groups)
{
    QStringList out;
    for (const QStringList& group : groups)
        out << group.join(QLatin1Char('/'));
    return out;
}

} // namespace

class CombineTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void teacherGrouping()
    {
        CombineLogic logic = sampleLogic();
        QCOMPARE(logic.classRows.size(), size_t(8)); // every class, no teacher, before a mark
        QVERIFY(logic.classRows[0].teacher.isEmpty());
        logic.clickSubject(0);
        QStringList shown;
        for (const auto& row : logic.classRows)
            shown << row.className + QLatin1Char(':') + row.teacher;
        QCOMPARE(shown, (QStringList{"1班:甲", "2班:甲", "3班:甲", "5班:甲", "6班:甲", "7班:甲", "4班:乙", "8班:"}));
        logic.clickSubject(0); // unmark: empty class list
        QVERIFY(logic.classRows.empty());
        QVERIFY(!logic.subjectMarks.anyChecked());
        logic.clickSubject(1);
        logic.clickSubject(-1); // below the last row
        QVERIFY(logic.classRows.empty());
        QVERIFY(!logic.subjectMarks.anyChecked());
    }

    // Scripts of clicks: s<row> marks a subject, c<row> ticks a class, add,
    // rm<row> removes a group.
    void clicks_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("canAdd");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("two of one teacher") << "s0 c0 c1" << true << "" << QStringList{};
        QTest::newRow("a third of another teacher disables") << "s0 c0 c1 c6" << false << "" << QStringList{};
        QTest::newRow("unticking it enables again") << "s0 c0 c1 c6 c6" << true << "" << QStringList{};
        QTest::newRow("one class is no group") << "s0 c0" << false << "" << QStringList{};
        QTest::newRow("no teacher cannot be ticked") << "s0 c7 c0" << false << "" << QStringList{};
        QTest::newRow("add clears the ticks") << "s0 c0 c1 add" << false << "" << QStringList{"数学/1班/2班///"};
        QTest::newRow("a class already grouped refuses the whole add")
            << "s0 c0 c1 add c1 c2 add" << true << "2班 合班信息已存在！" << QStringList{"数学/1班/2班///"};
        QTest::newRow("another subject may group it again")
            << "s0 c0 c1 add s1 c1 c2 add" << false << ""
            << QStringList{"数学/1班/2班///", "英语/4班/2班///"};
        QTest::newRow("five is the most") << "s0 c0 c1 c2 c3 c4 add" << false << ""
                                          << QStringList{"数学/1班/2班/3班/5班/6班"};
        QTest::newRow("a sixth keeps add off") << "s0 c0 c1 c2 c3 c4 c5 add" << false << "" << QStringList{};
        QTest::newRow("remove") << "s0 c0 c1 add c2 c3 add rm0" << false << "" << QStringList{"数学/3班/5班///"};
    }
    void clicks()
    {
        QFETCH(QString, script);
        QFETCH(bool, canAdd);
        QFETCH(QString, message);
        QFETCH(QStringList, groups);
        CombineLogic logic = sampleLogic();
        QString last;
        for (const QString& step : script.split(QLatin1Char(' '))) {
            if (step == QLatin1String("add"))
                last = logic.add();
            else if (step.startsWith(QLatin1String("rm")))
                logic.removeGroup(step.mid(2).toInt());
            else if (step.startsWith(QLatin1Char('s')))
                logic.clickSubject(step.mid(1).toInt());
            else
                logic.clickClass(step.mid(1).toInt());
        }
        QCOMPARE(logic.canAdd(), canAdd);
        QCOMPARE(last, message);
        QCOMPARE(flat(logic.groups), groups);
    }

    void sixTickedSaysWhy()
    {
        CombineLogic logic = sampleLogic();
        logic.clickSubject(0);
        for (int r = 0; r < 5; ++r)
            logic.clickClass(r);
        QVERIFY(logic.status().isEmpty());
        logic.clickClass(5);
        QCOMPARE(logic.status(), CombineLogic::tooManyMessage());
        QVERIFY(!logic.canAdd());
    }

    // Stored groups naming a subject or a class that is gone are dropped.
    void loadingFilter()
    {
        const std::vector<QStringList> stored{
            {"数学", "1班", "2班", "H", "H", "H"},
            {"物理", "1班", "2班", "H", "H", "H"},
            {"英语", "1班", "9班", "H", "H", "H"},
            {"英语", "3班", "5班", "6班", "H", "H"},
        };
        CombineLogic logic = sampleLogic(stored);
        QCOMPARE(flat(logic.groups), (QStringList{"数学/1班/2班///", "英语/3班/5班/6班//"}));
        QCOMPARE(logic.storedGroups()[0], (QStringList{"数学", "1班", "2班", "H", "H", "H"}));
    }

    // The dialog on a real database: mark, tick, add, save; a failing write
    // keeps the dialog and the file; the dropped stored group is gone after
    // the save.
    void dialog()
    {
        ScratchDatabase db;
        CombineLogic sample = sampleLogic();
        PlanStore::saveSubjects(sample.subjectSlots);
        std::vector<QStringList> classes;
        for (int c = 0; c < 8; ++c)
            classes.push_back(sample.assignmentRows.mid(c * 26, 26));
        PlanStore::saveAssignments(classes);
        PlanStore::saveCombinedClasses({{"物理", "1班", "2班", "H", "H", "H"}, {"英语", "1班", "2班", "H", "H", "H"}});

        CCombineSetDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.groupList()->rowCount(), 1);
        QVERIFY(!dialog.addButton()->isEnabled());
        auto click = [](ReportList* list, int row, int column = 0) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(row, column));
        };
        click(dialog.subjectList(), 0);
        QCOMPARE(dialog.subjectList()->text(0, 1), ListMarks::check());
        QCOMPARE(dialog.classList()->text(6, 0), QStringLiteral("4班"));
        click(dialog.classList(), 0);
        click(dialog.classList(), 2);
        QCOMPARE(dialog.classList()->text(2, 2), ListMarks::check());
        QVERIFY(dialog.addButton()->isEnabled());
        QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
        QCOMPARE(dialog.groupList()->rowCount(), 2);
        QCOMPARE(dialog.groupList()->text(1, 2), QStringLiteral("3班"));
        QCOMPARE(dialog.groupList()->text(1, 3), QString());

        injectWriteFailure(Schema::kCombinedTable);
        const QByteArray before = fileHash(db.path());
        {
            MessageBoxAnswerer failure;
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QVERIFY2(failure.text().contains(QStringLiteral("injected failure")), qPrintable(failure.text()));
        }
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.groupList()->rowCount(), 2);
        QCOMPARE(fileHash(db.path()), before);

        for (const char* event : {"UPDATE", "INSERT"})
            Database::exec(QStringLiteral("DROP TRIGGER \"fail_合班设置_%1\"").arg(QLatin1String(event)), {},
                           QStringLiteral("test"));
        click(dialog.groupList(), 0);
        QTest::mouseClick(dialog.removeButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const std::vector<QStringList> rows = tableRows(Schema::kCombinedTable);
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[0], (QStringList{"数学", "1班", "3班", "H", "H", "H"}));
        QCOMPARE(rows[1], (QStringList{"H", "H", "H", "H", "H", "H"}));
    }
};

QTEST_MAIN(CombineTest)
#include "CombineTest.moc"
