#include "ConstraintFixtures.h"
#include "DialogTestSupport.h"

#include "dialogs/constraints/FixedLessonLogic.h"
#include "dialogs/constraints/OutsideWeek.h"
#include "dialogs/constraints/ZoneEditor.h"
#include "dialogs/plan/WorkWeekLogic.h"
#include "store/PlanReader.h"

#include <QtTest>

namespace {

// A 7 x 9 school: 语文 and 数学 in three classes, 数学 taught by 甲 in 1班
// and 2班. Fixed lessons on day 6, in period 2 of day 2 and in period 9, and
// one of a class that is gone; 1班 语文 has the subject zone "08" on day 1
// and "3" on day 6; 甲's lessons have the teacher zone "18" on day 1.
void writeFullWeekSchool()
{
    writeSchool(7, 9, {"语文", "数学"}, threeClasses());
    PlanStore::saveFixedLessons({{"1班", "6", "1", "语文"},
                                 {"3班", "2", "2", "语文"},
                                 {"2班", "1", "9", "数学"},
                                 {"9班", "6", "2", "语文"}});
    PlanStore::saveSubjectZones(zoneBlock("1班", {{0, {"08", "9", "9", "9", "9", "3", "9"}}}));
    std::vector<QStringList> teacher = zoneBlock("1班", {{1, {"18", "9", "9", "9", "9", "9", "9"}}});
    const std::vector<QStringList> second = zoneBlock("2班", {{1, {"18", "9", "9", "9", "9", "9", "9"}}});
    teacher.insert(teacher.end(), second.begin(), second.end());
    PlanStore::saveTeacherZones(teacher);
}

// The week as the week dialog saves it.
void setWeek(int days, int periods)
{
    WorkWeekLogic week;
    week.load();
    week.setFromCombos(days - 1, periods - 2);
    week.save();
}

void pressCell(ZoneEditor& editor, const QString& cell)
{
    const QStringList dp = cell.split(QLatin1Char('.'));
    QCOMPARE(editor.press(editor.grid.geometry().dataCellCentre(dp[0].toInt(), dp[1].toInt())),
             ZoneGrid::Press::Started);
    editor.grid.release();
}

// Runs a click script on a dialog's logic and saves: fixed lessons c/d/p/s<row>
// marks and choices, add, rm<row>; zones s/c/t<row> marks, x clears the
// grid, g<d>.<p> toggles a cell.
void editAndSave(const QString& dialog, const QString& script)
{
    const QStringList steps = script.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (dialog == QLatin1String("fixed")) {
        FixedLessonLogic logic;
        QCOMPARE(logic.load(), QString());
        for (const QString& step : steps) {
            const int row = step.mid(1).toInt();
            if (step == QLatin1String("add"))
                logic.add();
            else if (step.startsWith(QLatin1String("rm")))
                logic.remove(step.mid(2).toInt());
            else if (step[0] == QLatin1Char('c'))
                logic.clickClass(row);
            else if (step[0] == QLatin1Char('d'))
                logic.clickDay(row);
            else if (step[0] == QLatin1Char('p'))
                logic.clickPeriod(row);
            else if (step[0] == QLatin1Char('s'))
                logic.clickSubject(row);
        }
        logic.save();
        return;
    }
    SubjectZoneLogic subjects;
    TeacherZoneLogic teachers;
    ZoneEditor& editor = dialog == QLatin1String("subject") ? static_cast<ZoneEditor&>(subjects) : teachers;
    QCOMPARE(dialog == QLatin1String("subject") ? subjects.load() : teachers.load(), QString());
    for (const QString& step : steps) {
        const int row = step.mid(1).toInt();
        if (step == QLatin1String("x"))
            editor.grid.clear();
        else if (step[0] == QLatin1Char('g'))
            pressCell(editor, step.mid(1));
        else if (step[0] == QLatin1Char('s'))
            subjects.clickSubject(row);
        else if (step[0] == QLatin1Char('c'))
            subjects.clickClass(row);
        else if (step[0] == QLatin1Char('t'))
            teachers.clickTeacher(row);
    }
    editor.save();
}

QString joinedRow(const QString& table, int row)
{
    return tableRows(table).at(static_cast<size_t>(row)).join(QLatin1Char('/'));
}

} // namespace

class WeekShrinkTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The week goes from 7 x 9 to 5 x 6; a constraint dialog is opened,
    // edited and saved. What lies outside the week is written back as it was.
    void dialogsKeepWhatLiesOutsideTheWeek_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QList<int>>("rows");  // rows looked at, from 0
        QTest::addColumn<QStringList>("after"); // their texts after the save

        const QString fixed = Schema::kFixedTable;
        const QString subject = Schema::kSubjectZonesTable;
        const QString teacher = Schema::kTeacherZonesTable;
        QTest::newRow("fixed: saved as loaded")
            << "fixed" << "" << fixed << QList<int>{0, 1, 2, 3}
            << QStringList{"3班/2/2/语文", "1班/6/1/语文", "2班/1/9/数学", "H/H/H/H"};
        QTest::newRow("fixed: the one shown removed")
            << "fixed" << "rm0" << fixed << QList<int>{0, 1, 2}
            << QStringList{"1班/6/1/语文", "2班/1/9/数学", "H/H/H/H"};
        QTest::newRow("fixed: one added")
            << "fixed" << "c2 d0 p0 s1 add" << fixed << QList<int>{0, 1, 2, 3}
            << QStringList{"3班/2/2/语文", "3班/1/1/数学", "1班/6/1/语文", "2班/1/9/数学"};
        QTest::newRow("subject zone: a tick keeps period 9 and day 6")
            << "subject" << "s0 c0 g0.1" << subject << QList<int>{0} << QStringList{"1班/018/9/9/9/9/3/9"};
        QTest::newRow("subject zone: a cleared grid keeps period 9")
            << "subject" << "s0 c0 x" << subject << QList<int>{0} << QStringList{"1班/8/9/9/9/9/3/9"};
        QTest::newRow("subject zone: a new zone beside an old one")
            << "subject" << "s0 s1 c0 x g4.5" << subject << QList<int>{0, 1}
            << QStringList{"1班/8/9/9/9/5/3/9", "1班/9/9/9/9/5/9/9"};
        QTest::newRow("teacher zone: a tick keeps period 9 in every class")
            << "teacher" << "t1 g0.2" << teacher << QList<int>{1, 25}
            << QStringList{"1班/128/9/9/9/9/9/9", "2班/128/9/9/9/9/9/9"};
        QTest::newRow("teacher zone: a cleared grid keeps period 9")
            << "teacher" << "t1 x" << teacher << QList<int>{1, 25}
            << QStringList{"1班/8/9/9/9/9/9/9", "2班/8/9/9/9/9/9/9"};
    }
    void dialogsKeepWhatLiesOutsideTheWeek()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, script);
        QFETCH(QString, table);
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, after);
        ScratchDatabase db;
        writeFullWeekSchool();
        setWeek(5, 6);
        editAndSave(dialog, script);
        QStringList texts;
        for (int row : rows)
            texts << joinedRow(table, row);
        QCOMPARE(texts, after);
    }

    // Back to 7 x 9, what was kept applies again: the fixed-lesson dialog
    // lists it and the run reads it.
    void keptConstraintsApplyAgain()
    {
        ScratchDatabase db;
        writeFullWeekSchool();
        setWeek(5, 6);
        editAndSave(QStringLiteral("fixed"), QString());
        editAndSave(QStringLiteral("subject"), QStringLiteral("s0 c0"));
        setWeek(7, 9);
        FixedLessonLogic logic;
        QCOMPARE(logic.load(), QString());
        QCOMPARE(int(logic.entries.size()), 3);
        QVERIFY(logic.outsideWeek.empty());
        SchoolPlan plan;
        QVERIFY(PlanReader::Load(plan).ok());
        QCOMPARE(plan.fixedLessons.size(), size_t(3 * 4));
        QCOMPARE(plan.subjectZones[SchoolPlan::zoneIndex(0, 1, 0)], QStringLiteral("08"));
        QCOMPARE(plan.subjectZones[SchoolPlan::zoneIndex(0, 1, 5)], QStringLiteral("3"));
    }

    // What the week dialog counts before it saves a new week: the fixed
    // lessons and zone marks inside the stored week and outside the new one.
    void outsideTheNewWeek_data()
    {
        QTest::addColumn<QSize>("stored"); // days x periods
        QTest::addColumn<QSize>("chosen");
        QTest::addColumn<QList<int>>("counts"); // fixed lessons, subject marks, teacher marks
        QTest::addColumn<QStringList>("named");  // parts of the question
        QTest::newRow("7 x 9 to 5 x 6") << QSize(7, 9) << QSize(5, 6) << QList<int>{2, 2, 2}
                                        << QStringList{"每周 5 天、每天 6 节", "固定科目 2 条",
                                                       "科目排课区标记 2 处", "教师排课区标记 2 处"};
        QTest::newRow("7 x 9 to 7 x 8") << QSize(7, 9) << QSize(7, 8) << QList<int>{1, 1, 2}
                                        << QStringList{"固定科目 1 条", "科目排课区标记 1 处", "教师排课区标记 2 处"};
        QTest::newRow("7 x 9 to 5 x 9: no teacher mark named")
            << QSize(7, 9) << QSize(5, 9) << QList<int>{1, 1, 0}
            << QStringList{"固定科目 1 条", "科目排课区标记 1 处"};
        QTest::newRow("7 x 9 to 6 x 9: nothing outside") << QSize(7, 9) << QSize(6, 9) << QList<int>{0, 0, 0}
                                                         << QStringList{};
        QTest::newRow("unchanged") << QSize(7, 9) << QSize(7, 9) << QList<int>{0, 0, 0} << QStringList{};
        QTest::newRow("growing") << QSize(5, 6) << QSize(7, 9) << QList<int>{0, 0, 0} << QStringList{};
        QTest::newRow("what was outside already is not counted again")
            << QSize(5, 6) << QSize(1, 6) << QList<int>{1, 0, 0} << QStringList{"固定科目 1 条"};
    }
    void outsideTheNewWeek()
    {
        QFETCH(QSize, stored);
        QFETCH(QSize, chosen);
        QFETCH(QList<int>, counts);
        QFETCH(QStringList, named);
        ScratchDatabase db;
        writeFullWeekSchool();
        PlanStore::saveWeek(stored.width(), stored.height());
        const OutsideWeek outside =
            OutsideWeek::count(stored.width(), stored.height(), chosen.width(), chosen.height());
        QCOMPARE((QList<int>{outside.fixedLessons, outside.subjectZoneMarks, outside.teacherZoneMarks}), counts);

        WorkWeekLogic logic;
        logic.load();
        logic.setFromCombos(chosen.width() - 1, chosen.height() - 2);
        const QString question = logic.outsideQuestion();
        QCOMPARE(question.isEmpty(), named.isEmpty());
        for (const QString& part : named)
            QVERIFY2(question.contains(part), qPrintable(question));
        if (!question.isEmpty())
            QCOMPARE(question.contains(QStringLiteral("教师排课区")), counts[2] > 0);
    }
};

QTEST_MAIN(WeekShrinkTest)
#include "WeekShrinkTest.moc"
