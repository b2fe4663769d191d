#include "ConstraintFixtures.h"
#include "DialogTestSupport.h"

#include "dialogs/constraints/CSubYaoPaiDlg.h"
#include "dialogs/constraints/CTeacherYaoPaiDlg.h"
#include "dialogs/constraints/ZoneEditor.h"
#include "dialogs/constraints/ZoneGridWidget.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

QStringList sevenDays(const QString& first, const QString& rest = QStringLiteral("9"))
{
    QStringList days(7, rest);
    days[0] = first;
    return days;
}

// Chosen cells as "d.p" texts.
QStringList chosenCells(const ZoneGrid& grid)
{
    QStringList cells;
    for (int d = 0; d < grid.geometry().days; ++d)
        for (int p = 0; p < grid.geometry().periods; ++p)
            if (grid.isChosen(d, p))
                cells << QStringLiteral("%1.%2").arg(d).arg(p);
    return cells;
}

// Subjects 语文 (slot 0) and 数学 (slot 1) in three classes; stored zones:
// 1班 语文 "024" on day 1, 1班 数学 "13" on day 1 and "5" on day 7.
SubjectZoneLogic subjectSample(int days = 5)
{
    SubjectZoneLogic logic;
    std::vector<QStringList> stored = zoneBlock("1班", {{0, sevenDays("024")}, {1, {"13", "9", "9", "9", "9", "9", "5"}}});
    logic.setUp(days, 8, {"语文", "数学"}, {"1班", "2班", "3班"}, stored);
    return logic;
}

// Clicks the middle of a dialog's button where a user would: on whatever
// widget is really on top at that point of the screen.
void clickWhereTheButtonIs(QWidget* dialog, QPushButton* button)
{
    const QPoint global = button->mapToGlobal(button->rect().center());
    QWidget* onTop = QApplication::widgetAt(global);
    if (!onTop)
        onTop = dialog->childAt(dialog->mapFromGlobal(global));
    QVERIFY(onTop);
    QTest::mouseClick(onTop, Qt::LeftButton, {}, onTop->mapFromGlobal(global));
}

} // namespace

class ZoneTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Stored rows merged into the classes of today, block by block.
    void merge_data()
    {
        QTest::addColumn<QStringList>("blockClasses"); // first-row class of each stored block
        QTest::addColumn<int>("extraRows");            // rows of a trailing incomplete block
        QTest::addColumn<QStringList>("zones");        // slot 0, day 1 of 1班, 2班
        QTest::newRow("a block per class") << QStringList{"1班", "2班"} << 0 << QStringList{"0", "1"};
        QTest::newRow("trailing rows ignored") << QStringList{"1班"} << 6 << QStringList{"0", "9"};
        QTest::newRow("the last block of a name wins") << QStringList{"1班", "2班", "1班"} << 0
                                                       << QStringList{"2", "1"};
        QTest::newRow("a class that is gone is dropped") << QStringList{"9班", "2班"} << 0 << QStringList{"9", "1"};
        QTest::newRow("order in the table does not matter") << QStringList{"2班", "1班"} << 0
                                                            << QStringList{"1", "0"};
    }
    void merge()
    {
        QFETCH(QStringList, blockClasses);
        QFETCH(int, extraRows);
        QFETCH(QStringList, zones);
        std::vector<QStringList> stored;
        for (int b = 0; b < blockClasses.size(); ++b) {
            // The zone of slot 0, day 1 is the block's position.
            const std::vector<QStringList> block = zoneBlock(blockClasses[b], {{0, sevenDays(QString::number(b))}});
            stored.insert(stored.end(), block.begin(), block.end());
        }
        for (int i = 0; i < extraRows; ++i)
            stored.push_back(QStringList{"2班"} + sevenDays("1"));
        ZoneTable table;
        table.reset({"1班", "2班"});
        table.merge(stored);
        QCOMPARE((QStringList{table.zone(0, 0, 0), table.zone(1, 0, 0)}), zones);
    }

    // Marks and the grid: what shows, and what "保存" stores.
    void subjectZones_data()
    {
        QTest::addColumn<QString>("script");      // s<row>/c<row> marks, S/C headers, x clears, g<d>.<p> toggles
        QTest::addColumn<QStringList>("shown");   // chosen cells after the script
        QTest::addColumn<QStringList>("stored");  // 1班 语文 and 数学 days 1, 2, 7 after commit
        QTest::newRow("a stored zone shows")
            << "s0 c0" << QStringList{"0.0", "0.2", "0.4"} << QStringList{"024", "9", "9", "13", "9", "5"};
        QTest::newRow("two subjects show the union and both get it")
            << "s0 s1 c0" << QStringList{"0.0", "0.1", "0.2", "0.3", "0.4"}
            << QStringList{"01234", "9", "9", "01234", "9", "5"};
        QTest::newRow("an empty column stores 9, later days keep theirs")
            << "s1 c0 x g1.7" << QStringList{"1.7"} << QStringList{"024", "9", "9", "9", "7", "5"};
        QTest::newRow("no class marked: nothing shows, nothing stored")
            << "s0" << QStringList{} << QStringList{"024", "9", "9", "13", "9", "5"};
        QTest::newRow("a list click discards grid clicks")
            << "s0 c0 g3.3 c1 c1" << QStringList{"0.0", "0.2", "0.4"} << QStringList{"024", "9", "9", "13", "9", "5"};
        QTest::newRow("headers mark every row")
            << "S C x g0.0" << QStringList{"0.0"} << QStringList{"0", "9", "9", "0", "9", "5"};
    }
    void subjectZones()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, stored);
        SubjectZoneLogic logic = subjectSample();
        for (const QString& step : script.split(QLatin1Char(' '))) {
            if (step == QLatin1String("S"))
                logic.subjectHeaderClicked();
            else if (step == QLatin1String("C"))
                logic.classHeaderClicked();
            else if (step == QLatin1String("x"))
                logic.grid.clear();
            else if (step[0] == QLatin1Char('s'))
                logic.clickSubject(step.mid(1).toInt());
            else if (step[0] == QLatin1Char('c'))
                logic.clickClass(step.mid(1).toInt());
            else if (step[0] == QLatin1Char('g')) {
                const QStringList cell = step.mid(1).split(QLatin1Char('.'));
                const QPoint centre = logic.grid.geometry().dataCellCentre(cell[0].toInt(), cell[1].toInt());
                QCOMPARE(logic.press(centre), ZoneGrid::Press::Started);
                logic.grid.release();
            }
        }
        QCOMPARE(chosenCells(logic.grid), shown);
        logic.commitGrid();
        QCOMPARE((QStringList{logic.zones.zone(0, 0, 0), logic.zones.zone(0, 0, 1), logic.zones.zone(0, 0, 6),
                              logic.zones.zone(0, 1, 0), logic.zones.zone(0, 1, 1), logic.zones.zone(0, 1, 6)}),
                 stored);
    }

    void pressesAndStrokes()
    {
        SubjectZoneLogic logic = subjectSample();
        const WeekGridGeometry& g = logic.grid.geometry();
        QCOMPARE(QSize(g.cellWidth, g.cellHeight), QSize(563 / 6, 446 / 9));
        // Headers do nothing, even without marks; the data area asks for marks.
        QCOMPARE(logic.press(QPoint(g.left + g.cellWidth + 5, g.top + 5)), ZoneGrid::Press::Ignored);
        QCOMPARE(logic.press(QPoint(g.left + 5, g.top + g.cellHeight + 5)), ZoneGrid::Press::Ignored);
        QCOMPARE(logic.press(g.dataCellCentre(0, 0)), ZoneGrid::Press::NeedsSelection);
        logic.clickSubject(1);
        logic.clickClass(2);
        // A margin pixel changes nothing.
        QCOMPARE(logic.press(QPoint(g.left + g.cellWidth, g.top + g.cellHeight + 10)), ZoneGrid::Press::Started);
        logic.grid.release();
        QVERIFY(chosenCells(logic.grid).isEmpty());
        // A stroke across three cells and back toggles each once.
        logic.press(g.dataCellCentre(0, 0));
        QVERIFY(logic.grid.move(g.dataCellCentre(1, 0)));
        QVERIFY(logic.grid.move(g.dataCellCentre(2, 1)));
        QVERIFY(!logic.grid.move(g.dataCellCentre(1, 0)));
        logic.grid.release();
        QVERIFY(!logic.grid.move(g.dataCellCentre(3, 3))); // no stroke after release
        QCOMPARE(chosenCells(logic.grid), (QStringList{"0.0", "1.0", "2.1"}));
        logic.press(g.dataCellCentre(1, 0));
        logic.grid.release();
        QCOMPARE(chosenCells(logic.grid), (QStringList{"0.0", "2.1"}));
        QCOMPARE(logic.coveredPairs(), 1);
    }

    void teacherZones()
    {
        TeacherZoneLogic logic;
        std::vector<QStringList> classes = threeClasses();
        classes[1][5] = QStringLiteral("甲"); // 2班 slot 3 also 甲
        QStringList rows;
        for (const QStringList& row : classes)
            rows << row;
        logic.setUp(5, 8, rows,
                    zoneBlock("1班", {{1, sevenDays("01")}}));
        QCOMPARE(logic.teachers, (QStringList{"丙", "甲", "乙"}));
        QCOMPARE(logic.grid.geometry().left, 170);
        QCOMPARE(logic.grid.geometry().cellWidth, 546 / 6);
        logic.clickTeacher(1); // 甲: 1班 and 2班 数学, 2班 slot 3
        QCOMPARE(logic.coveredPairs(), 3);
        QCOMPARE(chosenCells(logic.grid), (QStringList{"0.0", "0.1"}));
        logic.clickTeacher(2); // 乙 has no zone: the union stays
        QCOMPARE(chosenCells(logic.grid), (QStringList{"0.0", "0.1"}));
        logic.press(logic.grid.geometry().dataCellCentre(4, 7));
        logic.commitGrid();
        for (const auto& [c, s] : std::vector<std::pair<int, int>>{{0, 1}, {1, 1}, {1, 3}, {2, 1}})
            QCOMPARE((QStringList{logic.zones.zone(c, s, 0), logic.zones.zone(c, s, 4)}), (QStringList{"01", "7"}));
        QCOMPARE(logic.zones.zone(0, 0, 0), QStringLiteral("9")); // 丙 not marked
    }

    void refusesWhatTheGridCannotShow_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("periods");
        QTest::addColumn<bool>("subject25");
        QTest::addColumn<QString>("message");
        QTest::newRow("8 days") << 8 << 7 << false << "工作天数为8";
        QTest::newRow("10 periods") << 5 << 10 << false << "每天节次为10";
        QTest::newRow("a 25th subject") << 5 << 8 << true << "超出了24个科目";
        QTest::newRow("0 days") << 0 << 8 << false << "工作天数为0，至少要有1天";
        QTest::newRow("0 periods") << 5 << 0 << false << "每天节次为0，至少要有1节";
    }
    void refusesWhatTheGridCannotShow()
    {
        QFETCH(int, days);
        QFETCH(int, periods);
        QFETCH(bool, subject25);
        QFETCH(QString, message);
        ScratchDatabase db;
        writeSchool(days, periods, {"语文", "数学"}, threeClasses());
        if (subject25)
            Database::exec(QStringLiteral("INSERT INTO \"任教科目\" (\"科目\") VALUES ('书法')"), {},
                           QStringLiteral("test"));
        CSubYaoPaiDlg dialog;
        MessageBoxAnswerer answer;
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY2(answer.text().contains(message), qPrintable(answer.text()));
        if (!subject25) {
            CTeacherYaoPaiDlg teachers;
            MessageBoxAnswerer again;
            QCOMPARE(teachers.exec(), int(QDialog::Rejected));
            QVERIFY2(again.text().contains(message), qPrintable(again.text()));
        }
    }

    // The subject-zone dialog: marks, a grid click on a cell and on a
    // margin, a click without marks, a failing save, then a real one.
    void subjectDialog()
    {
        ScratchDatabase db;
        writeSchool(5, 8, {"语文", "数学"}, threeClasses());
        PlanStore::saveSubjectZones(zoneBlock("2班", {{0, sevenDays("1")}}));
        CSubYaoPaiDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ZoneGridWidget* grid = dialog.gridWidget();
        const WeekGridGeometry& g = dialog.logic().grid.geometry();
        auto clickGrid = [&](QPoint dialogPoint) {
            QTest::mouseClick(grid, Qt::LeftButton, {}, dialogPoint - grid->pos());
        };
        {
            MessageBoxAnswerer answer;
            clickGrid(g.dataCellCentre(0, 0));
            QCOMPARE(answer.text(), QStringLiteral("请选择科目和班级后再确定科目排课区域"));
        }
        auto click = [](ReportList* list, int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(row, 0));
        };
        click(dialog.subjectList(), 0);
        click(dialog.classList(), 1);
        QCOMPARE(dialog.subjectList()->text(0, 1), ListMarks::check());
        QCOMPARE(chosenCells(dialog.logic().grid), (QStringList{"0.1"}));
        QVERIFY(dialog.countLabel()->text().contains(QStringLiteral("1 个班级科目")));
        clickGrid(g.dataCellCentre(2, 3));
        clickGrid(QPoint(g.left + 3 * g.cellWidth, g.top + 2 * g.cellHeight + 10)); // a margin
        // A stroke over two cells.
        QTest::mousePress(grid, Qt::LeftButton, {}, g.dataCellCentre(4, 0) - grid->pos());
        QMouseEvent move(QEvent::MouseMove, QPointF(g.dataCellCentre(4, 1) - grid->pos()),
                         grid->mapToGlobal(QPointF(g.dataCellCentre(4, 1) - grid->pos())), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid, &move);
        QTest::mouseRelease(grid, Qt::LeftButton, {}, g.dataCellCentre(4, 1) - grid->pos());
        QCOMPARE(chosenCells(dialog.logic().grid), (QStringList{"0.1", "2.3", "4.0", "4.1"}));

        injectWriteFailure(Schema::kSubjectZonesTable);
        const QByteArray before = fileHash(db.path());
        {
            MessageBoxAnswerer failure;
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QVERIFY2(failure.text().contains(QStringLiteral("injected failure")), qPrintable(failure.text()));
        }
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.statusLabel()->text().isEmpty());
        QCOMPARE(fileHash(db.path()), before);
        for (const char* event : {"UPDATE", "INSERT"})
            Database::exec(QStringLiteral("DROP TRIGGER \"fail_科目要排节次_%1\"").arg(QLatin1String(event)), {},
                           QStringLiteral("test"));
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const std::vector<QStringList> rows = tableRows(Schema::kSubjectZonesTable);
        QCOMPARE(rows.size(), size_t(72));
        QCOMPARE(rows[24], (QStringList{"2班", "1", "9", "3", "9", "01", "9", "9"}));
        QCOMPARE(rows[0], (QStringList{"1班", "9", "9", "9", "9", "9", "9", "9"}));
    }

    // "清除所有" and "保存" take a click in their middle: nothing else lies
    // over them (the count line once did, so only their bottom edge worked).
    void buttonsTakeAClickInTheirMiddle_data()
    {
        QTest::addColumn<bool>("teachers");
        QTest::newRow("设置科目排课区") << false;
        QTest::newRow("设置教师排课区") << true;
    }
    void buttonsTakeAClickInTheirMiddle()
    {
        QFETCH(bool, teachers);
        ScratchDatabase db;
        writeSchool(5, 8, {"语文", "数学"}, threeClasses());
        std::unique_ptr<ZoneDialog> dialog;
        const ZoneEditor* editor = nullptr;
        auto clickRow = [](ReportList* list, int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(row, 0));
        };
        if (teachers) {
            auto* d = new CTeacherYaoPaiDlg;
            dialog.reset(d);
            editor = &d->logic();
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            clickRow(d->teacherList(), 1);
        } else {
            auto* d = new CSubYaoPaiDlg;
            dialog.reset(d);
            editor = &d->logic();
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            clickRow(d->subjectList(), 0);
            clickRow(d->classList(), 0);
        }
        QVERIFY(!dialog->countLabel()->text().isEmpty());
        ZoneGridWidget* grid = dialog->gridWidget();
        const WeekGridGeometry& g = editor->grid.geometry();
        QTest::mouseClick(grid, Qt::LeftButton, {}, g.dataCellCentre(1, 1) - grid->pos());
        QCOMPARE(chosenCells(editor->grid), (QStringList{"1.1"}));

        clickWhereTheButtonIs(dialog.get(), dialog->clearButton());
        QVERIFY(chosenCells(editor->grid).isEmpty());
        QVERIFY(dialog->isVisible());

        QTest::mouseClick(grid, Qt::LeftButton, {}, g.dataCellCentre(2, 3) - grid->pos());
        clickWhereTheButtonIs(dialog.get(), dialog->saveButton());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        const std::vector<QStringList> rows
            = tableRows(teachers ? Schema::kTeacherZonesTable : Schema::kSubjectZonesTable);
        // 甲 teaches 数学 (slot 1) in 1班; the subject dialog marked 1班 语文 (slot 0).
        QCOMPARE(rows[teachers ? 1 : 0], (QStringList{"1班", "9", "9", "3", "9", "9", "9", "9"}));
    }

    void teacherDialog()
    {
        ScratchDatabase db;
        writeSchool(5, 8, {"语文", "数学"}, threeClasses());
        CTeacherYaoPaiDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ReportList* list = dialog.teacherList();
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(list->text(1, 0), QStringLiteral("甲"));
        ZoneGridWidget* grid = dialog.gridWidget();
        const WeekGridGeometry& g = dialog.logic().grid.geometry();
        {
            MessageBoxAnswerer answer;
            QTest::mouseClick(grid, Qt::LeftButton, {}, g.dataCellCentre(1, 1) - grid->pos());
            QCOMPARE(answer.text(), QStringLiteral("请选择教师后再确定排课区"));
        }
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(1, 0));
        QTest::mouseClick(grid, Qt::LeftButton, {}, g.dataCellCentre(1, 1) - grid->pos());
        QVERIFY(dialog.countLabel()->text().contains(QStringLiteral("2 个班级科目")));

        injectWriteFailure(Schema::kTeacherZonesTable);
        const QByteArray before = fileHash(db.path());
        {
            MessageBoxAnswerer failure;
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QVERIFY2(failure.text().contains(QStringLiteral("injected failure")), qPrintable(failure.text()));
        }
        QVERIFY(dialog.isVisible());
        QCOMPARE(fileHash(db.path()), before);
        for (const char* event : {"UPDATE", "INSERT"})
            Database::exec(QStringLiteral("DROP TRIGGER \"fail_教师要排节次_%1\"").arg(QLatin1String(event)), {},
                           QStringLiteral("test"));
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const std::vector<QStringList> rows = tableRows(Schema::kTeacherZonesTable);
        QCOMPARE(rows[1], (QStringList{"1班", "9", "1", "9", "9", "9", "9", "9"}));
        QCOMPARE(rows[25], (QStringList{"2班", "9", "1", "9", "9", "9", "9", "9"}));
        QCOMPARE(rows[49], (QStringList{"3班", "9", "9", "9", "9", "9", "9", "9"}));
    }
};

QTEST_MAIN(ZoneTest)
#include "ZoneTest.moc"
