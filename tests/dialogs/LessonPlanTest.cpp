#include "DialogTestSupport.h"

#include "dialogs/plan/CClassNumProDlg.h"
#include "dialogs/plan/LessonPlanLogic.h"
#include "store/PlanStore.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QStringList classRow(const QString& grade, const QString& name)
{
    QStringList row{grade, name};
    while (row.size() < 26)
        row << QStringLiteral("H");
    return row;
}

// A week, three subjects ("H" at position 3 hides the fourth), classes of
// the given grades, and the weekly plan rows given as (grade row, counts).
void writePlan(int days, int periods, const QStringList& grades,
               const std::vector<std::pair<int, std::vector<int>>>& planRows)
{
    PlanStore::saveWeek(days, periods);
    QStringList subjects{"语文", "数学", "H", "英语"};
    while (subjects.size() < 24)
        subjects << QStringLiteral("H");
    PlanStore::saveSubjects(subjects);
    std::vector<QStringList> classes;
    for (int i = 0; i < grades.size(); ++i)
        classes.push_back(classRow(grades[i], QStringLiteral("班%1").arg(i + 1)));
    PlanStore::saveAssignments(classes);
    for (const auto& [row, counts] : planRows) {
        int total = 0;
        for (int count : counts)
            total += count;
        PlanStore::saveWeeklyPlanRow(row, total, counts);
    }
}

} // namespace

class LessonPlanTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gradeNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("一年级") << "一年级" << 1;
        QTest::newRow("七年级") << "七年级" << 7;
        QTest::newRow("初一 like 七年级") << "初一" << 7;
        QTest::newRow("初三") << "初三" << 9;
        QTest::newRow("高一年级") << "高一年级" << 10;
        QTest::newRow("高三") << "高三" << 12;
        QTest::newRow("Arabic digit") << "7年级" << 0;
        QTest::newRow("trailing blank") << "七年级 " << 0;
        QTest::newRow("marker") << "H" << 0;
    }
    void gradeNumber()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(LessonPlanLogic::GradeNumber(name), number);
    }

    // Opening, editing and the check before saving.
    void editAndCheck_data()
    {
        QTest::addColumn<QStringList>("grades");        // grades of the classes
        QTest::addColumn<int>("row");                   // grade row edited
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("totalWhileTyping");
        QTest::addColumn<QString>("refusal");           // on save, 5 days x 7 periods

        // Row 6 (七年级) stored 4 + 30 = 34.
        QTest::newRow("4 to 6 raises the total by 2 and still refuses")
            << QStringList{"七年级"} << 6 << 2 << "6" << true << "36" << "根据周工作计划，周课时量应为 35 节";
        QTest::newRow("5 makes 35") << QStringList{"七年级"} << 6 << 2 << "5" << true << "35" << "";
        QTest::newRow("erasing lowers by 4") << QStringList{"七年级"} << 6 << 2 << "" << true << "30"
                                             << "根据周工作计划，周课时量应为 35 节";
        QTest::newRow("初一 makes row 7 editable") << QStringList{"初一"} << 6 << 3 << "31" << true << "35" << "";
        QTest::newRow("grade not in use: no editor, not checked")
            << QStringList{"八年级"} << 6 << 2 << "9" << false << "" << "";
        QTest::newRow("total column not editable")
            << QStringList{"七年级"} << 6 << 0 << "1" << false << "" << "根据周工作计划，周课时量应为 35 节";
        QTest::newRow("grade column not editable")
            << QStringList{"七年级"} << 6 << 1 << "1" << false << "" << "根据周工作计划，周课时量应为 35 节";
    }
    void editAndCheck()
    {
        QFETCH(QStringList, grades);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(bool, editable);
        QFETCH(QString, totalWhileTyping);
        QFETCH(QString, refusal);
        ScratchDatabase db;
        // 七年级 34 lessons; 八年级 (row 7) 35 only when the row is in use.
        writePlan(5, 7, grades, {{6, {4, 30}}, {7, {3, 3}}});
        LessonPlanLogic logic;
        logic.load();
        QCOMPARE(logic.columnCount(), 4);
        QCOMPARE(logic.canEdit(row, column), editable);
        if (editable) {
            QCOMPARE(logic.totalWhileTyping(row, column, typed), totalWhileTyping);
            logic.setCell(row, column, typed);
            QCOMPARE(logic.cell(row, 0), totalWhileTyping);
        }
        if (grades.contains(QStringLiteral("八年级")))
            logic.setCell(7, 2, QStringLiteral("32")); // make row 7 add up: only row 7 is in use
        QCOMPARE(logic.check(35), refusal);
    }

    // A count is 0 .. days x periods, typed or stored, and a total never
    // wraps. Row 6 (七年级, in use) holds 4 + 30 in a 5 x 7 week.
    void countsStayInTheWeek_data()
    {
        QTest::addColumn<QStringList>("typed");   // into columns 2 and 3 of row 6
        QTest::addColumn<QStringList>("cells");   // columns 0, 2, 3 of row 6 afterwards
        QTest::addColumn<QString>("refusal");     // on save

        QTest::newRow("two huge counts are not taken")
            << QStringList{"99999999999", "99999999999"} << QStringList{"34", "4", "30"}
            << "根据周工作计划，周课时量应为 35 节";
        QTest::newRow("one over the week is not taken")
            << QStringList{"36", "0"} << QStringList{"4", "4", "0"} << "根据周工作计划，周课时量应为 35 节";
        QTest::newRow("the whole week in one subject")
            << QStringList{"35", ""} << QStringList{"35", "35", ""} << "";
        QTest::newRow("leading zeros") << QStringList{"0005", "030"} << QStringList{"35", "0005", "030"} << "";
    }
    void countsStayInTheWeek()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, cells);
        QFETCH(QString, refusal);
        ScratchDatabase db;
        writePlan(5, 7, {"七年级"}, {{6, {4, 30}}});
        LessonPlanLogic logic;
        logic.load();
        logic.setCell(6, 2, typed[0]);
        logic.setCell(6, 3, typed[1]);
        QCOMPARE((QStringList{logic.cell(6, 0), logic.cell(6, 2), logic.cell(6, 3)}), cells);
        QCOMPARE(logic.save(), refusal);
        if (refusal.isEmpty())
            QCOMPARE(tableRows(Schema::kWeeklyPlanTable)[6].mid(0, 4),
                     (QStringList{"35", "七年级", QString::number(cells[1].toInt()),
                                  QString::number(cells[2].toInt())}));
        else
            QCOMPARE(tableRows(Schema::kWeeklyPlanTable)[6].mid(0, 4), (QStringList{"34", "七年级", "4", "30"}));
    }

    // Counts an older program stored beyond the week: the total is shown
    // without wrapping, and a grade in use is refused with the count named;
    // a grade not in use is saved as it is.
    void storedCountsBeyondTheWeek()
    {
        ScratchDatabase db;
        writePlan(5, 7, {"七年级"}, {});
        PlanStore::saveWeeklyPlanRow(6, 0, {2147483647, 2147483647});
        PlanStore::saveWeeklyPlanRow(7, 0, {2147483647, 2147483647});
        LessonPlanLogic logic;
        logic.load();
        QCOMPARE(logic.cell(6, 0), QStringLiteral("4294967294"));
        QCOMPARE(logic.totalWhileTyping(6, 2, QStringLiteral("1")), QStringLiteral("2147483648"));
        QCOMPARE(logic.save(), QStringLiteral("七年级的“语文”为 2147483647 节，每个科目的周课时应在 0 到 35 节之间"));
        logic.setCell(6, 2, QStringLiteral("5"));
        logic.setCell(6, 3, QStringLiteral("30"));
        QCOMPARE(logic.save(), QString());
        QCOMPARE(tableRows(Schema::kWeeklyPlanTable)[7].mid(0, 4),
                 (QStringList{"2147483647", "八年级", "2147483647", "2147483647"}));
    }

    void openingShowsZeroAsEmptyAndRecomputesTotals()
    {
        ScratchDatabase db;
        writePlan(5, 7, {"七年级"}, {{6, {0, 35}}});
        PlanStore::saveWeeklyPlanRow(0, 99, {2, 3, 0, 100}); // stored total wrong; 4th subject hidden
        LessonPlanLogic logic;
        logic.load();
        QCOMPARE(logic.rows.size(), size_t(12));
        QCOMPARE(logic.rows[6], (QStringList{"35", "七年级", "", "35"}));
        QCOMPARE(logic.rows[0], (QStringList{"5", "一年级", "2", "3"}));
        QCOMPARE(logic.rows[1], (QStringList{"", "二年级", "", ""}));
    }

    // "清空列表" and "保存": a cleared grade in use is refused; otherwise every
    // row is written with "0" for empty cells and hidden subjects.
    void save()
    {
        ScratchDatabase db;
        writePlan(5, 7, {"七年级"}, {{6, {5, 30}}, {0, {2, 3, 0, 100}}});
        LessonPlanLogic logic;
        logic.load();
        logic.clearAll();
        QCOMPARE(logic.rows[6][1], QStringLiteral("七年级"));
        QCOMPARE(logic.save(), QStringLiteral("根据周工作计划，周课时量应为 35 节"));
        QCOMPARE(tableRows(Schema::kWeeklyPlanTable)[6][2], QStringLiteral("5"));

        logic.setCell(6, 2, QStringLiteral("007"));
        logic.setCell(6, 3, QStringLiteral("28"));
        QCOMPARE(logic.save(), QString());
        const std::vector<QStringList> rows = tableRows(Schema::kWeeklyPlanTable);
        QCOMPARE(rows[6].mid(0, 6), (QStringList{"35", "七年级", "7", "28", "0", "0"}));
        QCOMPARE(rows[0].mid(0, 6), (QStringList{"0", "一年级", "0", "0", "0", "0"})); // 4th subject gone
    }

    // Where Enter and Tab take the editor: grades 七年级 (row 6) and 九年级
    // (row 8) are in use, 八年级 between them is passed over.
    void nextCell_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("toRow");
        QTest::addColumn<int>("toColumn");
        using Step = LessonPlanLogic::Step;
        QTest::newRow("Enter skips a grade not in use") << 6 << 2 << int(Step::Down) << 8 << 2;
        QTest::newRow("Enter on the last grade") << 8 << 3 << int(Step::Down) << -1 << -1;
        QTest::newRow("Shift+Enter goes up") << 8 << 3 << int(Step::Up) << 6 << 3;
        QTest::newRow("Tab goes right") << 6 << 2 << int(Step::Right) << 6 << 3;
        QTest::newRow("Tab wraps to the next grade") << 6 << 3 << int(Step::Right) << 8 << 2;
        QTest::newRow("Tab at the very end") << 8 << 3 << int(Step::Right) << -1 << -1;
        QTest::newRow("Shift+Tab wraps back") << 8 << 2 << int(Step::Left) << 6 << 3;
        QTest::newRow("Shift+Tab at the very start") << 6 << 2 << int(Step::Left) << -1 << -1;
    }
    void nextCell()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, step);
        QFETCH(int, toRow);
        QFETCH(int, toColumn);
        ScratchDatabase db;
        writePlan(5, 7, {"七年级", "九年级"}, {});
        LessonPlanLogic logic;
        logic.load();
        QCOMPARE(logic.nextCell(row, column, LessonPlanLogic::Step(step)), std::make_pair(toRow, toColumn));
    }

    // Enter and Tab in the editor commit the cell and move on; neither
    // presses "保存". Esc drops the cell's edit, Enter on the list reopens it.
    void keyboard()
    {
        ScratchDatabase db;
        writePlan(5, 7, {"七年级", "九年级"}, {{6, {4, 30}}});
        const std::vector<QStringList> stored = tableRows(Schema::kWeeklyPlanTable);
        CClassNumProDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ReportList* list = dialog.list();
        QLineEdit* editor = dialog.editor();
        MessageBoxAnswerer noMessage;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(6, 2));
        QTest::keyClicks(editor, QStringLiteral("5"));
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(list->text(6, 2), QStringLiteral("5"));
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->geometry(), list->visualRect(list->model()->index(6, 3)));
        QTest::keyClicks(editor, QStringLiteral("30"));
        QCOMPARE(editor->text(), QStringLiteral("30"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(list->text(6, 3), QStringLiteral("30"));
        QCOMPARE(list->text(6, 0), QStringLiteral("35"));
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->geometry(), list->visualRect(list->model()->index(8, 3)));
        QTest::keyClicks(editor, QStringLiteral("9"));
        QCOMPARE(list->text(8, 0), QStringLiteral("9"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
        QCOMPARE(list->text(8, 3), QString());
        QCOMPARE(list->text(8, 0), QString());
        QVERIFY(dialog.isVisible());
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->geometry(), list->visualRect(list->model()->index(8, 3)));
        QTest::keyClicks(editor, QStringLiteral("35"));
        QTest::keyClick(editor, Qt::Key_Enter); // the last grade: the cell is kept, nothing saved
        QVERIFY(!editor->isVisible());
        QCOMPARE(list->text(8, 3), QStringLiteral("35"));
        QVERIFY(dialog.isVisible());
        QVERIFY2(!noMessage.answered(), qPrintable(noMessage.text()));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(tableRows(Schema::kWeeklyPlanTable) == stored);
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(tableRows(Schema::kWeeklyPlanTable)[8].mid(0, 4), (QStringList{"35", "九年级", "0", "35"}));
    }

    // One grade's counts copied to others: only grades in use take them.
    void copyCounts()
    {
        ScratchDatabase db;
        writePlan(5, 7, {"七年级", "八年级", "九年级"}, {{6, {5, 30}}, {8, {1, 2}}, {3, {9, 9}}});
        LessonPlanLogic logic;
        logic.load();
        QCOMPARE(logic.copyTargets(6), (std::vector<int>{7, 8}));
        QCOMPARE(logic.copyCounts(6, {8, 3, 6}), 1);
        QCOMPARE(logic.rows[8], (QStringList{"35", "九年级", "5", "30"}));
        QCOMPARE(logic.rows[3], (QStringList{"18", "四年级", "9", "9"}));
        QCOMPARE(logic.rows[7], (QStringList{"", "八年级", "", ""}));
    }

    // "复制到…" through the dialog: the grade chosen in the list, the grades
    // ticked in the chooser.
    void copyThroughTheDialog()
    {
        ScratchDatabase db;
        writePlan(5, 7, {"七年级", "八年级", "九年级"}, {{6, {5, 30}}});
        CClassNumProDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ReportList* list = dialog.list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(6, 1));
        QStringList offered;
        QTimer::singleShot(0, [&] {
            auto* chooser = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!chooser)
                return;
            for (QCheckBox* box : chooser->findChildren<QCheckBox*>()) {
                offered << box->text();
                box->setChecked(box->text() == QStringLiteral("九年级"));
            }
            for (QAbstractButton* button : chooser->findChildren<QAbstractButton*>())
                if (button->text() == QStringLiteral("复制"))
                    button->click();
        });
        QTest::mouseClick(dialog.copyButton(), Qt::LeftButton);
        QCOMPARE(offered, (QStringList{"八年级", "九年级"}));
        QCOMPARE(list->text(8, 0), QStringLiteral("35"));
        QCOMPARE(list->text(8, 3), QStringLiteral("30"));
        QCOMPARE(list->text(7, 0), QString());
        {
            MessageBoxAnswerer refusal; // 八年级 is still empty
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QCOMPARE(refusal.text(), QStringLiteral("根据周工作计划，周课时量应为 35 节"));
        }
        QVERIFY(dialog.isVisible());
    }

    // Through the dialog: click a cell, type, watch the total, save; a
    // refusal and a failing write keep the dialog and the table.
    void dialog()
    {
        ScratchDatabase db;
        writePlan(5, 7, {"七年级"}, {{6, {4, 30}}});
        CClassNumProDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ReportList* list = dialog.list();
        QCOMPARE(list->columnCount(), 4);
        QCOMPARE(list->text(6, 0), QStringLiteral("34"));

        // A grade not in use looks locked, one in use does not.
        QVERIFY(!(list->item(5, 2)->flags() & Qt::ItemIsEnabled));
        QVERIFY(list->item(6, 2)->flags() & Qt::ItemIsEnabled);
        QVERIFY(list->item(5, 1)->background().color() != list->item(6, 1)->background().color());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(5, 2)); // not in use
        QVERIFY(!dialog.editor()->isVisible());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(6, 2));
        QVERIFY(dialog.editor()->isVisible());
        QCOMPARE(dialog.editor()->selectedText(), QStringLiteral("4"));
        QTest::keyClicks(dialog.editor(), QStringLiteral("x6"));
        QCOMPARE(dialog.editor()->text(), QStringLiteral("6"));
        QCOMPARE(list->text(6, 0), QStringLiteral("36"));
        // The editor takes no count beyond the week's 35 lessons.
        QTest::keyClick(dialog.editor(), Qt::Key_Backspace);
        QTest::keyClicks(dialog.editor(), QStringLiteral("99999999999"));
        QCOMPARE(dialog.editor()->text(), QStringLiteral("9"));
        QCOMPARE(list->text(6, 0), QStringLiteral("39"));
        QTest::keyClick(dialog.editor(), Qt::Key_Backspace);
        QTest::keyClicks(dialog.editor(), QStringLiteral("6"));

        MessageBoxAnswerer refusal;
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(refusal.text(), QStringLiteral("根据周工作计划，周课时量应为 35 节"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(list->text(6, 2), QStringLiteral("6"));

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(6, 3));
        QTest::keyClicks(dialog.editor(), QStringLiteral("29"));
        injectWriteFailure(Schema::kWeeklyPlanTable);
        const QByteArray before = fileHash(db.path());
        MessageBoxAnswerer failure;
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QVERIFY2(failure.text().contains(QStringLiteral("injected failure")), qPrintable(failure.text()));
        QVERIFY(dialog.isVisible());
        QCOMPARE(list->text(6, 0), QStringLiteral("35"));
        QCOMPARE(fileHash(db.path()), before);

        Database::exec(QStringLiteral("DROP TRIGGER \"fail_周课时计划_UPDATE\""), {}, QStringLiteral("test"));
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(tableRows(Schema::kWeeklyPlanTable)[6].mid(0, 4), (QStringList{"35", "七年级", "6", "29"}));
    }
};

QTEST_MAIN(LessonPlanTest)
#include "LessonPlanTest.moc"
