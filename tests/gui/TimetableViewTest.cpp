#include "GuiSupport.h"
#include "TestSupport.h"
#include "view/TimetableFixture.h"

#include "view/widgets/CVorlatView.h"
#include "view/widgets/TimetablePainter.h"

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace Colour = TimetablePainter::Colour;

namespace {

// Two classes, two days of three periods:
//   1班  语文/张 数学/李 英语/王 | 体育/赵 -       音乐/钱
//   2班  音乐/钱 数学/李 英语/王 | 体育/赵 语文/周 -
// 李 and 王 teach both classes at once: clashes. 体育 is a combined subject of
// both classes; 1班's 英语 on day 1, period 3 is fixed.
void fillSchool(TimetableModel& model)
{
    setSubjects(model);
    model.resetGrids(2, 3, {QStringLiteral("1"), QStringLiteral("2")});
    fillRow(model, 0, {"语文/张", "数学/李", "英语/王", "体育/赵", "-", "音乐/钱"});
    fillRow(model, 1, {"音乐/钱", "数学/李", "英语/王", "体育/赵", "语文/周", "-"});
    model.fixedLessons = {0, 0, 2, 3};
    model.combinedClasses = {4, 0, 1, -1, -1, -1};
}

struct ViewWithSchool
{
    ViewWithSchool()
    {
        view.resize(1600, 400);
        view.show();
        fillSchool(view.model());
    }
    ScratchDatabase db;
    CVorlatView view;
};

// The top-left corner of the upper line of a cell, inside the 1-pixel margin.
QPoint masterCorner(const TimetableModel& m, int c, int d, int p)
{
    return QPoint((m.slotColumn(d, p) + 1) * m.layout.cellWidth + 3, (c + 1) * 2 * m.layout.cellHeight + 3);
}
QPoint masterCentre(const TimetableModel& m, int c, int d, int p)
{
    return QPoint((m.slotColumn(d, p) + 1) * m.layout.cellWidth + m.layout.cellWidth / 2, (c + 1) * 2 * m.layout.cellHeight + m.layout.cellHeight / 2);
}

QImage rendered(CVorlatView& view)
{
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    view.viewport()->render(&image);
    return image;
}

struct Selection
{
    int c, d, p;
};

} // namespace

Q_DECLARE_METATYPE(Selection)

class TimetableViewTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cellColours_data()
    {
        QTest::addColumn<int>("adjust");
        QTest::addColumn<Selection>("selection"); // class -1: none
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("d");
        QTest::addColumn<int>("p");
        QTest::addColumn<QColor>("colour");

        const Selection none{-1, -1, -1};
        QTest::newRow("plain lesson") << 0 << none << 0 << 0 << 0 << Colour::Background;
        QTest::newRow("free slot") << 0 << none << 0 << 1 << 1 << Colour::Background;
        QTest::newRow("clash, first class") << 0 << none << 0 << 0 << 1 << Colour::Conflict;
        QTest::newRow("clash, second class") << 0 << none << 1 << 0 << 1 << Colour::Conflict;
        QTest::newRow("fixed over a clash") << 0 << none << 0 << 0 << 2 << Colour::Fixed;
        QTest::newRow("the clash partner of a fixed lesson") << 0 << none << 1 << 0 << 2 << Colour::Conflict;
        QTest::newRow("combined, first class") << 0 << none << 0 << 1 << 0 << Colour::Combined;
        QTest::newRow("combined, second class") << 0 << none << 1 << 1 << 0 << Colour::Combined;
        QTest::newRow("same teacher, the selected cell") << 0 << Selection{0, 0, 1} << 0 << 0 << 1
                                                         << Colour::SameTeacher;
        QTest::newRow("same teacher, another class") << 0 << Selection{0, 0, 1} << 1 << 0 << 1 << Colour::SameTeacher;
        QTest::newRow("same teacher leaves the others") << 0 << Selection{0, 0, 1} << 1 << 0 << 2 << Colour::Conflict;
        QTest::newRow("adjusting: selected cell") << 1 << Selection{0, 0, 0} << 0 << 0 << 0 << Colour::Selected;
        QTest::newRow("adjusting: a movable slot") << 1 << Selection{0, 0, 0} << 0 << 0 << 1 << Colour::Movable;
        QTest::newRow("adjusting: a free movable slot") << 1 << Selection{0, 0, 0} << 0 << 1 << 1 << Colour::Movable;
        // 钱 teaches 2班 in the selected slot: the lesson cannot come over.
        QTest::newRow("adjusting: not movable") << 1 << Selection{0, 0, 0} << 0 << 1 << 2 << Colour::Background;
        QTest::newRow("adjusting: other class unchanged") << 1 << Selection{0, 0, 0} << 1 << 1 << 0
                                                          << Colour::Combined;
        QTest::newRow("adjusting: same teacher in another class")
            << 1 << Selection{0, 0, 1} << 1 << 0 << 1 << Colour::SameTeacher;
    }
    void cellColours()
    {
        QFETCH(int, adjust);
        QFETCH(Selection, selection);
        QFETCH(int, c);
        QFETCH(int, d);
        QFETCH(int, p);
        QFETCH(QColor, colour);

        ViewWithSchool s;
        s.view.SetDisplayMode(1, 0, adjust);
        TimetableModel& m = s.view.model();
        m.selection.selectedClass = selection.c;
        m.selection.selectedDay = selection.d;
        m.selection.selectedPeriod = selection.p;
        const QImage image = rendered(s.view);
        QCOMPARE(image.pixelColor(masterCorner(m, c, d, p)), colour);
        // Both lines of the cell carry the colour.
        QCOMPARE(image.pixelColor(masterCorner(m, c, d, p) + QPoint(0, m.layout.cellHeight)), colour);
    }

    void headersAndTeacherTable()
    {
        ViewWithSchool s;
        s.view.SetDisplayMode(1, 0, 0);
        const TimetableModel& m = s.view.model();
        QImage image = rendered(s.view);
        QCOMPARE(image.pixelColor(3, 3), Colour::Header);                        // the corner
        QCOMPARE(image.pixelColor(3, 2 * m.layout.cellHeight + 3), Colour::Header);     // the class-name column
        QCOMPARE(image.pixelColor(m.layout.cellWidth + 3, 3), Colour::Header);          // the day band

        // Teacher table: row 0 (张, the first teacher met) is selected by the switch.
        s.view.SetDisplayMode(1, 1, 0);
        QCOMPARE(m.teachers.teacherName(0), QStringLiteral("张"));
        image = rendered(s.view);
        const auto slot = [&](int t, int j) { return QPoint((j + 2) * m.layout.cellWidth + 3, (t + 2) * m.layout.cellHeight + 3); };
        QCOMPARE(image.pixelColor(slot(0, 0)), Colour::SameTeacher);
        QCOMPARE(image.pixelColor(slot(0, 4)), Colour::SameTeacher);
        QCOMPARE(image.pixelColor(slot(1, 0)), Colour::Background);
        // A click on the header lines keeps the row.
        leftClick(s.view.viewport(), QPoint(200, m.layout.cellHeight + 2));
        QCOMPARE(m.selection.selectedClass, 0);
        // With no row selected the slots are still painted, none highlighted.
        s.view.model().selection.selectedClass = -1;
        image = rendered(s.view);
        QCOMPARE(image.pixelColor(slot(0, 0)), Colour::Background);
        QCOMPARE(image.pixelColor(slot(1, 0)), Colour::Background);
        // A click on row 1 selects it.
        leftClick(s.view.viewport(), QPoint(slot(1, 2)));
        QCOMPARE(m.selection.selectedClass, 1);
        QCOMPARE(rendered(s.view).pixelColor(slot(1, 0)), Colour::SameTeacher);
    }

    void emptyTimetableShowsTheHeaderOnly()
    {
        ScratchDatabase db;
        CVorlatView view;
        view.resize(600, 300);
        view.SetDisplayMode(1, 0, 0);
        QCOMPARE(view.model().classCount, 0);
        QCOMPARE(rendered(view).pixelColor(3, 3), Colour::Header);
        view.SetDisplayMode(1, 1, 0);
        QCOMPARE(view.model().teachers.teacherCount(), 0);
        QCOMPARE(view.model().layout.contentHeight, 50);
        rendered(view);
    }

    // A left click, a right click and the question answered.
    void swapFlow_data()
    {
        QTest::addColumn<Selection>("from");
        QTest::addColumn<Selection>("to");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("question"); // empty: no question
        QTest::addColumn<bool>("swapped");
        QTest::addColumn<QList<int>>("fixedAfter");

        const QString confirm = QStringLiteral("您确定\n1班星期一第3节英语     和\n1班星期二第3节音乐     调课吗？");
        const QString force = QStringLiteral("1班星期二第3节音乐     和\n1班星期一第1节语文     课程冲突，\n是否强制调课？");
        QTest::newRow("confirmed: the fixed lesson follows") << Selection{0, 0, 2} << Selection{0, 1, 2} << "OK"
                                                             << confirm << true << QList<int>{0, 1, 2, 3};
        QTest::newRow("confirmation cancelled") << Selection{0, 0, 2} << Selection{0, 1, 2} << "Cancel" << confirm
                                                << false << QList<int>{0, 0, 2, 3};
        QTest::newRow("forced") << Selection{0, 1, 2} << Selection{0, 0, 0} << "OK" << force << true
                                << QList<int>{0, 0, 2, 3};
        QTest::newRow("forcing cancelled") << Selection{0, 1, 2} << Selection{0, 0, 0} << "Cancel" << force << false
                                           << QList<int>{0, 0, 2, 3};
        QTest::newRow("into a free slot, no question") << Selection{0, 0, 0} << Selection{0, 1, 1} << "" << ""
                                                       << true << QList<int>{0, 0, 2, 3};
    }
    void swapFlow()
    {
        QFETCH(Selection, from);
        QFETCH(Selection, to);
        QFETCH(QString, answer);
        QFETCH(QString, question);
        QFETCH(bool, swapped);
        QFETCH(QList<int>, fixedAfter);

        ViewWithSchool s;
        s.view.SetDisplayMode(1, 0, 1);
        TimetableModel& m = s.view.model();
        const QStringList subjectsBefore = m.subjectGrid;
        const QStringList teachersBefore = m.teacherGrid;
        const std::vector<int> fixedBefore = m.fixedLessons;
        const QString s0 = m.subject(from.c, from.d, from.p);
        const QString s1 = m.subject(to.c, to.d, to.p);

        leftClick(s.view.viewport(), masterCentre(m, from.c, from.d, from.p));
        QCOMPARE(m.selection.swapArmed, 1);
        BoxAnswerer boxes({answer});
        rightClick(s.view.viewport(), masterCentre(m, to.c, to.d, to.p));
        QCOMPARE(boxes.texts(), question.isEmpty() ? QStringList{} : QStringList{question});
        if (!question.isEmpty())
            QCOMPARE(boxes.titles().first(), QStringLiteral("温馨提示"));
        QCOMPARE(m.subject(to.c, to.d, to.p), swapped ? s0 : s1);
        QCOMPARE(m.subject(from.c, from.d, from.p), swapped ? s1 : s0);
        QCOMPARE(QList<int>(m.fixedLessons.begin(), m.fixedLessons.end()), fixedAfter);
        QCOMPARE(m.selection.swapArmed, swapped ? 0 : 1);
        QCOMPARE(s.view.isModified(), swapped);
        QCOMPARE(s.view.undoStack().count(), swapped ? 1 : 0);

        if (!swapped)
            return;
        // Undo restores both grids and the fixed lessons; redo makes the swap again.
        const QStringList subjectsAfter = m.subjectGrid;
        const std::vector<int> fixedSwapped = m.fixedLessons;
        s.view.undoStack().undo();
        QCOMPARE(m.subjectGrid, subjectsBefore);
        QCOMPARE(m.teacherGrid, teachersBefore);
        QCOMPARE(m.fixedLessons, fixedBefore);
        QVERIFY(!s.view.isModified());
        s.view.undoStack().redo();
        QCOMPARE(m.subjectGrid, subjectsAfter);
        QCOMPARE(m.fixedLessons, fixedSwapped);
        QVERIFY(s.view.isModified());
    }

    void swapAcrossClassesIsRefused()
    {
        ViewWithSchool s;
        s.view.SetDisplayMode(1, 0, 1);
        TimetableModel& m = s.view.model();
        const QStringList before = m.subjectGrid;
        leftClick(s.view.viewport(), masterCentre(m, 0, 0, 0));
        BoxAnswerer boxes;
        rightClick(s.view.viewport(), masterCentre(m, 1, 0, 0));
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("不允许跨班调课，请在同班级调课！")});
        QCOMPARE(boxes.titles(), QStringList{QStringLiteral("Vorlat")});
        QCOMPARE(m.subjectGrid, before);
        QCOMPARE(m.selection.swapArmed, 1);
        // Outside adjustment mode a right click does nothing at all.
        s.view.SetDisplayMode(1, 0, 0);
        rightClick(s.view.viewport(), masterCentre(m, 0, 1, 1));
        QCOMPARE(boxes.texts().size(), 1);
        QCOMPARE(m.subjectGrid, before);
    }

    // A right click on a class's name asks for its page, also in adjustment
    // mode, and swaps nothing; on a cell it still goes to the swap. In
    // the teacher table a right click on a teacher's row names the teacher.
    void rightClickOnANameAsksForItsPage()
    {
        ViewWithSchool s;
        s.view.SetDisplayMode(1, 0, 1);
        TimetableModel& m = s.view.model();
        QSignalSpy asked(&s.view, &CVorlatView::nameMenuRequested);
        leftClick(s.view.viewport(), masterCentre(m, 1, 0, 1));
        const QStringList before = m.subjectGrid;
        rightClick(s.view.viewport(), QPoint(m.layout.cellWidth / 2, 4 * m.layout.cellHeight + 3));
        QCOMPARE(asked.size(), 1);
        const auto named = asked.first().first().value<PrintChoice::Named>();
        QCOMPARE(named.kind, PrintChoice::Kind::Classes);
        QCOMPARE(named.name, QStringLiteral("2"));
        QCOMPARE(m.subjectGrid, before);

        BoxAnswerer boxes; // the swap's question, answered 取消
        rightClick(s.view.viewport(), masterCentre(m, 1, 0, 0));
        QCOMPARE(boxes.texts().size(), 1);
        QCOMPARE(asked.size(), 1);

        s.view.SetDisplayMode(1, 1, 0);
        rightClick(s.view.viewport(), QPoint(5 * m.layout.cellWidth, 3 * m.layout.cellHeight + 3));
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked.last().first().value<PrintChoice::Named>().kind, PrintChoice::Kind::Teachers);
        QCOMPARE(asked.last().first().value<PrintChoice::Named>().name, m.teachers.teacherName(1));
    }

    // The header band (both header lines) and the name column stay where
    // they are while the cells scroll under them: the view is rendered before
    // and after a scroll and the pixels compared.
    void headerBandStaysAfterScroll_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::newRow("down") << 0 << 200;
        QTest::newRow("right") << 300 << 0;
        QTest::newRow("both") << 300 << 200;
    }
    void headerBandStaysAfterScroll()
    {
        QFETCH(int, dx);
        QFETCH(int, dy);
        ScratchDatabase db;
        CVorlatView view;
        view.resize(900, 500);
        view.show();
        // 30 classes of 5 × 8; each row a different turn of the subjects, so
        // that any scroll changes what the cells show.
        TimetableModel& m = view.model();
        setSubjects(m);
        QStringList names;
        for (int c = 0; c < 30; ++c)
            names << QStringLiteral("%1班").arg(c + 1);
        m.resetGrids(5, 8, names);
        const QStringList subjects{"语文", "数学", "英语", "体育", "音乐"};
        for (int c = 0; c < 30; ++c)
            for (int j = 0; j < 40; ++j)
                m.setLesson(c, j / 8, j % 8, subjects[(c + j) % 5], QStringLiteral("T%1").arg((c * 7 + j) % 23));
        view.SetDisplayMode(1, 0, 0);
        QVERIFY(view.horizontalScrollBar()->maximum() >= dx);
        QVERIFY(view.verticalScrollBar()->maximum() >= dy);
        const int header = m.layout.headerHeight();
        const int nameWidth = m.layout.nameWidth();
        QVERIFY(header > 0 && nameWidth > 0);

        const QImage before = rendered(view);
        view.horizontalScrollBar()->setValue(dx);
        view.verticalScrollBar()->setValue(dy);
        const QImage after = rendered(view);
        const QRect client(QPoint(0, 0), before.size());
        const QRect corner(0, 0, nameWidth, header);
        const QRect band(0, 0, client.width(), header);
        const QRect nameColumn(0, 0, nameWidth, client.height());
        const QRect cells = client.adjusted(nameWidth, header, 0, 0);
        QCOMPARE(after.copy(corner), before.copy(corner));
        // A vertical scroll leaves the whole band, a horizontal one the whole name column.
        if (dx == 0)
            QCOMPARE(after.copy(band), before.copy(band));
        else
            QVERIFY(after.copy(band) != before.copy(band));
        if (dy == 0)
            QCOMPARE(after.copy(nameColumn), before.copy(nameColumn));
        else
            QVERIFY(after.copy(nameColumn) != before.copy(nameColumn));
        QVERIFY(after.copy(cells) != before.copy(cells));
        // And the header band still holds the header's colour, not cells.
        QCOMPARE(after.pixelColor(nameWidth + 3, 3), Colour::Header);
        QCOMPARE(after.pixelColor(3, header + 3), Colour::Header);
    }

    // A class name wider than the name column is drawn smaller, and whole:
    // the shrunk text is no wider than the room (1920 wide: 46-pixel columns).
    void longNamesFitTheirRoom_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("一年级1班") << QStringLiteral("一年级1班");
        QTest::newRow("高一(12)班") << QStringLiteral("高一(12)班");
        QTest::newRow("七年级十二班") << QStringLiteral("七年级十二班");
    }
    void longNamesFitTheirRoom()
    {
        QFETCH(QString, name);
        for (int room : {44, 43}) {
            const QFont fitted = TimetablePainter::fittedFont(QApplication::font(), name, room);
            QVERIFY2(QFontMetricsF(fitted).horizontalAdvance(name) <= room, qPrintable(QString::number(room)));
        }
    }
};

QTEST_MAIN(TimetableViewTest)
#include "TimetableViewTest.moc"
