#include "ConstraintFixtures.h"
#include "DialogTestSupport.h"

#include "dialogs/rules/CRuleTableDlg.h"
#include "dialogs/rules/CTeacherOffDlg.h"
#include "dialogs/rules/RuleTableLogic.h"
#include "dialogs/rules/TeacherOffLogic.h"
#include "store/Schema.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>

namespace {

// Three classes of 七年级 (5 days of 8 periods): 语文 6 a week by 丙 in every
// class (18 lessons), 数学 5 by 甲 in classes 1 and 2 (10) and by 乙 in class 3.
void writeRulesSchool()
{
    writeSchool(5, 8, {"语文", "数学"}, threeClasses());
    PlanStore::saveWeeklyPlanRow(6, 11, {6, 5});
}

QStringList storedRows(const QString& table)
{
    QStringList rows;
    for (const QStringList& row : tableRows(table))
        rows << row.join(QLatin1Char(','));
    return rows;
}

void clickAt(QWidget* window, QPoint global)
{
    QWidget* onTop = QApplication::widgetAt(global);
    if (!onTop)
        onTop = window->childAt(window->mapFromGlobal(global));
    QVERIFY(onTop);
    QTest::mouseClick(onTop, Qt::LeftButton, {}, onTop->mapFromGlobal(global));
}

// Clicks the middle of a button where a user would: on whatever widget is on top there.
void clickButton(QWidget* window, QWidget* button)
{
    clickAt(window, button->mapToGlobal(button->rect().center()));
}

QStringList split(const QString& row)
{
    return row.split(QLatin1Char(','));
}

} // namespace

class RuleDialogsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void teacherOffTimesGoToEveryMarkedTeacher()
    {
        ScratchDatabase db;
        writeRulesSchool();
        Database::exec(QStringLiteral("INSERT INTO %1 (教师, 星期, 节次) VALUES ('无名', '1', '0')").arg(Schema::quoted(Schema::kTeacherOffTable)),
                       {}, QStringLiteral("测试"));
        TeacherOffLogic logic;
        QCOMPARE(logic.load(), QString());
        QCOMPARE(logic.teachers, QStringList({"丙", "甲", "乙"}));
        QCOMPARE(logic.press(logic.grid.geometry().dataCellCentre(0, 0)), ZoneGrid::Press::NeedsSelection);

        logic.clickTeacher(1);
        logic.clickTeacher(2);
        logic.togglePart(0, TeacherOffLogic::Part::WholeDay);
        logic.togglePart(1, TeacherOffLogic::Part::Morning);
        logic.togglePart(3, TeacherOffLogic::Part::Afternoon);
        logic.togglePart(3, TeacherOffLogic::Part::Afternoon); // a second press clears it again
        QCOMPARE(logic.press(logic.grid.geometry().dataCellCentre(2, 6)), ZoneGrid::Press::Started);
        logic.grid.release();
        logic.save();
        const QStringList expected{"甲,1,0", "甲,2,上午", "甲,3,7", "乙,1,0", "乙,2,上午", "乙,3,7", "无名,1,0"};
        QCOMPARE(storedRows(Schema::kTeacherOffTable), expected);
        QVERIFY(logic.warnings().isEmpty());

        // Read back: the teacher's grid shows what was saved.
        TeacherOffLogic again;
        QCOMPARE(again.load(), QString());
        again.clickTeacher(1);
        QCOMPARE(again.grid.chosenCount(), 8 + 4 + 1);
        QCOMPARE(again.rows().size(), size_t(7));

        // Four whole days off leave 丙 8 periods for 18 lessons: saved, with a warning.
        again.clickTeacher(1);
        again.clickTeacher(0);
        for (int d = 0; d < 4; ++d)
            again.togglePart(d, TeacherOffLogic::Part::WholeDay);
        again.save();
        QCOMPARE(again.warnings(), QStringList{"丙每周有18节课，不排课的时间之外只剩8节"});
        QCOMPARE(storedRows(Schema::kTeacherOffTable).size(), 11);
    }

    void ruleTablesRefuseWhatCannotBeUsed_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("refusal"); // empty: saved as the rows that are not blank

        const int limits = int(RuleTableLogic::Kind::Limits);
        const int venues = int(RuleTableLogic::Kind::Venues);
        const int doubles = int(RuleTableLogic::Kind::Doubles);
        QTest::newRow("limit the load just fits") << limits << QStringList{"甲,2,,", ",,,", "乙,,1,2"} << "";
        QTest::newRow("lessons a day below the load")
            << limits << QStringList{"甲,2,,", "丙,3,,"}
            << "第2行（丙，每天最多3，每周最多天数（空），最多连上（空））：丙每周有18节课，每天最多3节、每周5天只能上15节，没有保存。";
        QTest::newRow("days a week below the load") << limits << QStringList{"丙,,2,"}
                                                    << "第1行（丙，每天最多（空），每周最多天数2，最多连上（空））：丙每周有18节课，每周最多2天、每天8节只能上16节，没有保存。";
        QTest::newRow("unknown teacher") << limits << QStringList{"无名,1,,"}
                                         << "第1行（无名，每天最多1，每周最多天数（空），最多连上（空））：没有名为“无名”的任课教师，没有保存。";
        QTest::newRow("cap of one is saved, however tight")
            << venues << QStringList{"机房,数学,全校,1", "机房,语文,七年级,1"} << "";
        QTest::newRow("cap of 0") << venues << QStringList{"机房,数学,全校,0"}
                                  << "第1行（机房，数学，全校，同时最多班数0）：同时最多班数不能是0（那样就没有班级能上这门课），没有保存。";
        QTest::newRow("unknown subject") << venues << QStringList{"实验室,化学,全校,1"}
                                         << "第1行（实验室，化学，全校，同时最多班数1）：没有名为“化学”的科目，没有保存。";
        QTest::newRow("double lessons") << doubles << QStringList{"七年级,全部,语文,1", "全校,全部,数学,0"} << "";
        QTest::newRow("unknown class") << doubles << QStringList{"七年级,9班,语文,1"}
                                       << "第1行（七年级，9班，语文，每周连堂数1）：没有名为“9班”的班级，没有保存。";
        QTest::newRow("grade without classes") << doubles << QStringList{"八年级,全部,语文,1"}
                                               << "第1行（八年级，全部，语文，每周连堂数1）：没有“八年级”的班级，没有保存。";
    }

    void ruleTablesRefuseWhatCannotBeUsed()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, rows);
        QFETCH(QString, refusal);

        ScratchDatabase db;
        writeRulesSchool();
        RuleTableLogic logic{RuleTableLogic::Kind(kind)};
        QCOMPARE(logic.load(), QString());
        for (const QString& row : rows) {
            logic.addRow();
            logic.rows.back() = split(row);
        }
        const QString table = RuleTableLogic::caption(RuleTableLogic::Kind(kind));
        QCOMPARE(logic.save(), refusal);
        QStringList saved;
        for (const QString& row : rows)
            if (row != QStringLiteral(",,,"))
                saved << row;
        QCOMPARE(storedRows(table), refusal.isEmpty() ? saved : QStringList());
    }

    void teacherOffDialogSavesWhatIsClicked()
    {
        ScratchDatabase db;
        writeRulesSchool();
        CTeacherOffDlg dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        ReportList* list = dialog.teacherList();
        clickAt(&dialog, list->viewport()->mapToGlobal(list->cellCentre(1, 1))); // 甲
        const WeekGridGeometry g = dialog.logic().grid.geometry();
        QWidget* grid = dialog.gridWidget();
        clickAt(&dialog, grid->mapToGlobal(g.dataCellCentre(4, 7) - grid->pos()));
        dialog.dayChoice()->setCurrentIndex(2);
        clickButton(&dialog, dialog.partButton(TeacherOffLogic::Part::Afternoon));
        clickButton(&dialog, dialog.saveButton());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(storedRows(Schema::kTeacherOffTable), QStringList({"甲,3,下午", "甲,5,8"}));
    }

    void ruleTableDialogsSaveWhatIsTyped_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("教师课时限制") << int(RuleTableLogic::Kind::Limits) << "甲,2,5,2" << "";
        QTest::newRow("教师课时限制 refused") << int(RuleTableLogic::Kind::Limits) << "丙,3,,"
                                         << "第1行（丙，每天最多3，每周最多天数（空），最多连上（空））：丙每周有18节课，每天最多3节、每周5天只能上15节，没有保存。";
        QTest::newRow("场地限制") << int(RuleTableLogic::Kind::Venues) << "机房,数学,全校,2" << "";
        QTest::newRow("连堂设置") << int(RuleTableLogic::Kind::Doubles) << "七年级,全部,语文,1" << "";
    }

    void ruleTableDialogsSaveWhatIsTyped()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, refusal);

        ScratchDatabase db;
        writeRulesSchool();
        CRuleTableDlg dialog{RuleTableLogic::Kind(kind)};
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        clickButton(&dialog, dialog.addButton());
        const QStringList cells = split(typed);
        for (int c = 0; c < cells.size(); ++c) {
            auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            QVERIFY2(editor, qPrintable(QStringLiteral("no editor in column %1").arg(c)));
            // Typed through the input method, as Chinese text is.
            QInputMethodEvent typing;
            typing.setCommitString(cells[c]);
            QApplication::sendEvent(editor, &typing);
            QTest::keyClick(editor, Qt::Key_Tab);
        }
        MessageBoxAnswerer answerer;
        clickButton(&dialog, dialog.saveButton());
        const QString table = RuleTableLogic::caption(RuleTableLogic::Kind(kind));
        if (refusal.isEmpty()) {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(storedRows(table), QStringList{typed});
        } else {
            QTRY_VERIFY(answerer.answered());
            QCOMPARE(answerer.text(), refusal);
            QVERIFY(dialog.isVisible());
            QCOMPARE(storedRows(table), QStringList());
        }
    }
};

QTEST_MAIN(RuleDialogsTest)
#include "RuleDialogsTest.moc"
