#include "TimetableFixture.h"

#include "view/PrintChoice.h"

#include <QtTest>

using Kind = PrintChoice::Kind;

// A week of 2 days × 2 periods: 一班 taught by 张 and 李, 二班 by 李 and 王.
static TimetableModel twoClasses()
{
    TimetableModel model = emptyModel(2, 2, {QStringLiteral("一班"), QStringLiteral("二班")});
    fillRow(model, 0, {QStringLiteral("语文/张"), QStringLiteral("数学/李"), QStringLiteral("-"), QStringLiteral("语文/张")});
    fillRow(model, 1, {QStringLiteral("数学/李"), QStringLiteral("-"), QStringLiteral("英语/王"), QStringLiteral("数学/李")});
    return model;
}

class PrintChoiceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The lists come from the timetable: classes in order, teachers as the
    // teacher table lists them; everything chosen at first.
    void listsFromTimetable()
    {
        PrintChoice choice = PrintChoice::fromTimetable(twoClasses());
        QCOMPARE(choice.kind(), Kind::Classes);
        QCOMPARE(choice.names(), (QStringList{"一班", "二班"}));
        QVERIFY(choice.allChosen());
        choice.setKind(Kind::Teachers);
        QCOMPARE(choice.names(), (QStringList{"张", "李", "王"}));
        QCOMPARE(choice.chosenNames(), (QStringList{"张", "李", "王"}));
        choice.setKind(Kind::MasterOverview);
        QVERIFY(!choice.hasList());
        QVERIFY(choice.names().isEmpty());
        QVERIFY(choice.refusal().isEmpty());
        QCOMPARE(choice.summary(), QStringLiteral("全部 2 个班级"));
    }

    // Choices of classes and of teachers are kept apart, and the chosen names
    // come in list order whatever order they were ticked in.
    void choicesKeptPerKind()
    {
        PrintChoice choice({"一班", "二班", "三班"}, {"张", "李"});
        choice.chooseAll(false);
        choice.setChosen(2, true);
        choice.setChosen(0, true);
        choice.setChosen(7, true); // beyond the list: nothing
        choice.setKind(Kind::Teachers);
        choice.setChosen(0, false);
        QCOMPARE(choice.chosenNames(), QStringList{"李"});
        QCOMPARE(choice.summary(), QStringLiteral("已选 1 / 2 位教师"));
        choice.setKind(Kind::Classes);
        QCOMPARE(choice.chosenNames(), (QStringList{"一班", "三班"}));
        QCOMPARE(choice.chosenRows(), (std::vector<int>{0, 2}));
        QCOMPARE(choice.summary(), QStringLiteral("已选 2 / 3 个班级"));
        QVERIFY(!choice.allChosen());
        choice.chooseAll(true);
        QVERIFY(choice.allChosen());
    }

    // Printing one class or teacher from the table.
    void chooseOnly()
    {
        PrintChoice choice({"一班", "二班"}, {"张", "李"});
        QVERIFY(choice.chooseOnly(Kind::Teachers, QStringLiteral("李")));
        QCOMPARE(choice.kind(), Kind::Teachers);
        QCOMPARE(choice.chosenNames(), QStringList{"李"});
        choice.setKind(Kind::Classes);
        QVERIFY(choice.allChosen()); // the classes were not touched
        QVERIFY(!choice.chooseOnly(Kind::Classes, QStringLiteral("九班")));
        QVERIFY(choice.allChosen());
        QVERIFY(!choice.chooseOnly(Kind::MasterOverview, QStringLiteral("一班")));
    }

    // A right click names a class only on its name in the master table (the
    // cells swap), a teacher anywhere on their row in the teacher table.
    void nameAt_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPoint>("point"); // in cells: column, line (cell 45 x 25)
        QTest::addColumn<int>("scrollY");
        QTest::addColumn<QString>("named"); // "" for nothing, "T:" for a teacher
        const int master = int(DisplayMode::MasterTable);
        const int teachers = int(DisplayMode::TeacherTable);
        // Master table: the header band is two lines, each class two lines.
        QTest::newRow("first class name") << master << QPoint(0, 2) << 0 << "一班";
        QTest::newRow("first class, teacher line") << master << QPoint(0, 3) << 0 << "一班";
        QTest::newRow("second class name") << master << QPoint(0, 4) << 0 << "二班";
        QTest::newRow("scrolled down a class") << master << QPoint(0, 2) << 50 << "二班";
        QTest::newRow("a cell swaps, names nothing") << master << QPoint(1, 2) << 0 << "";
        QTest::newRow("header band") << master << QPoint(0, 1) << 0 << "";
        QTest::newRow("below the classes") << master << QPoint(0, 6) << 0 << "";
        QTest::newRow("adjustment too") << int(DisplayMode::Adjustment) << QPoint(0, 4) << 0 << "二班";
        QTest::newRow("home screen") << int(DisplayMode::Home) << QPoint(0, 2) << 0 << "";
        // Teacher table: one line per teacher under the header band.
        QTest::newRow("first teacher") << teachers << QPoint(0, 2) << 0 << "T:张";
        QTest::newRow("teacher, in a cell") << teachers << QPoint(3, 4) << 0 << "T:王";
        QTest::newRow("past the last teacher") << teachers << QPoint(0, 5) << 0 << "";
    }
    void nameAt()
    {
        QFETCH(int, mode);
        QFETCH(QPoint, point);
        QFETCH(int, scrollY);
        QFETCH(QString, named);
        TimetableModel model = twoClasses();
        model.SetDisplayMode(DisplayMode(mode), 1366);
        const int x = point.x() * model.layout.cellWidth + 2;
        const int y = point.y() * model.layout.cellHeight + 2;
        const auto found = PrintChoice::nameAt(model, x, y, 0, scrollY);
        const QString text = !found ? QString()
            : found->kind == Kind::Teachers ? QStringLiteral("T:") + found->name : found->name;
        QCOMPARE(text, named);
    }

    // The menu's "this class / teacher" acts on the selection.
    void selected()
    {
        TimetableModel model = twoClasses();
        QVERIFY(!PrintChoice::selected(model)); // the home screen
        model.SetDisplayMode(DisplayMode::MasterTable, 1366);
        QCOMPARE(PrintChoice::selected(model)->name, QStringLiteral("一班")); // a new display selects the first
        const int w = model.layout.cellWidth;
        const int h = model.layout.cellHeight;
        QVERIFY(model.SelectMasterCell(2 * w + 2, 4 * h + 2, 0, 0));
        QCOMPARE(PrintChoice::selected(model)->name, QStringLiteral("二班"));
        model.SetDisplayMode(DisplayMode::TeacherTable, 1366);
        QVERIFY(model.SelectTeacherRow(3 * h + 2, 0));
        QCOMPARE(PrintChoice::selected(model)->kind, Kind::Teachers);
        QCOMPARE(PrintChoice::selected(model)->name, QStringLiteral("李"));
        model.SetDisplayMode(DisplayMode::Home, 1366);
        QVERIFY(!PrintChoice::selected(model));
    }

    void matching()
    {
        PrintChoice choice({"高一(1)班", "高一(2)班", "高二(1)班"}, {});
        QCOMPARE(choice.matching(QString()), (std::vector<int>{0, 1, 2}));
        QCOMPARE(choice.matching(QStringLiteral(" 高一")), (std::vector<int>{0, 1}));
        QCOMPARE(choice.matching(QStringLiteral("(1)")), (std::vector<int>{0, 2}));
        QVERIFY(choice.matching(QStringLiteral("初三")).empty());
    }

    // What cannot be printed is refused in words.
    void refusal_data()
    {
        QTest::addColumn<QStringList>("classes");
        QTest::addColumn<QStringList>("teachers");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("chooseNone");
        QTest::addColumn<QString>("refusal");
        const QStringList classes{"一班"};
        const QStringList teachers{"张"};
        QTest::newRow("no timetable") << QStringList{} << QStringList{} << int(Kind::MasterOverview) << false
                                      << "还没有课表：请先排课，或打开保存过的课表。";
        QTest::newRow("no class chosen") << classes << teachers << int(Kind::Classes) << true << "请至少选择一个班级。";
        QTest::newRow("no teacher chosen") << classes << teachers << int(Kind::Teachers) << true << "请至少选择一位教师。";
        QTest::newRow("teacher overview without teachers")
            << classes << QStringList{} << int(Kind::TeacherOverview) << false << "课表中没有教师。";
        QTest::newRow("teacher pages without teachers")
            << classes << QStringList{} << int(Kind::Teachers) << false << "课表中没有教师。";
        QTest::newRow("classes chosen") << classes << teachers << int(Kind::Classes) << false << "";
        QTest::newRow("teacher overview") << classes << teachers << int(Kind::TeacherOverview) << false << "";
    }
    void refusal()
    {
        QFETCH(QStringList, classes);
        QFETCH(QStringList, teachers);
        QFETCH(int, kind);
        QFETCH(bool, chooseNone);
        QFETCH(QString, refusal);
        PrintChoice choice(classes, teachers);
        choice.setKind(Kind(kind));
        if (chooseNone)
            choice.chooseAll(false);
        QCOMPARE(choice.refusal(), refusal);
    }
};

QTEST_MAIN(PrintChoiceTest)
#include "PrintChoiceTest.moc"
