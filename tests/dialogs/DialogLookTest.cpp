#include "dialogs/plan/DialogLook.h"
#include "dialogs/plan/ListMarks.h"
#include "dialogs/plan/NameSearch.h"
#include "dialogs/plan/WeekGrid.h"

#include <QImage>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QScreen>
#include <QPainter>
#include <QtTest>

class DialogLookTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placement_data()
    {
        QTest::addColumn<QRect>("proposed");
        QTest::addColumn<QPoint>("placed");
        QTest::newRow("inside stays") << QRect(100, 50, 400, 300) << QPoint(100, 50);
        QTest::newRow("past the right edge") << QRect(1200, 50, 400, 300) << QPoint(966, 50);
        QTest::newRow("above the top") << QRect(100, -40, 400, 300) << QPoint(100, 0);
        QTest::newRow("left of the screen") << QRect(-30, 10, 400, 300) << QPoint(0, 10);
        QTest::newRow("below the bottom") << QRect(10, 600, 400, 300) << QPoint(10, 468);
        QTest::newRow("wider than the screen ends negative") << QRect(-5, 0, 1400, 300) << QPoint(-34, 0);
        QTest::newRow("taller than the screen ends negative") << QRect(0, 5, 300, 800) << QPoint(0, -32);
    }
    void placement()
    {
        QFETCH(QRect, proposed);
        QFETCH(QPoint, placed);
        QCOMPARE(placeOnScreen(proposed, QSize(1366, 768)), placed);
    }

    // The work-week preview: 610 x 405 pixels shared among days + 1 columns
    // and periods + 1 rows.
    void fittedCellSize_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("periods");
        QTest::addColumn<QSize>("cell");
        QTest::newRow("5 x 7") << 5 << 7 << QSize(101, 50);
        QTest::newRow("7 x 9") << 7 << 9 << QSize(76, 40);
        QTest::newRow("1 x 2") << 1 << 2 << QSize(305, 135);
    }
    void fittedCellSize()
    {
        QFETCH(int, days);
        QFETCH(int, periods);
        QFETCH(QSize, cell);
        const WeekGridGeometry grid = WeekGridGeometry::fitted(days, periods, 10, 40, 610, 405);
        QCOMPARE(QSize(grid.cellWidth, grid.cellHeight), cell);
    }

    // Hit-testing on the subject-zone geometry (5 days, 8 periods: cells 93 x 49).
    void dataCellAt_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("day"); // -1: no cell
        QTest::addColumn<int>("period");
        const WeekGridGeometry grid = WeekGridGeometry::fitted(5, 8, 315, 6, 563, 446);
        QTest::newRow("first data cell") << grid.dataCellCentre(0, 0) << 0 << 0;
        QTest::newRow("last data cell") << grid.dataCellCentre(4, 7) << 4 << 7;
        QTest::newRow("header row") << QPoint(315 + 93 + 10, 6 + 10) << -1 << -1;
        QTest::newRow("header column") << QPoint(315 + 10, 6 + 49 + 10) << -1 << -1;
        QTest::newRow("left margin pixel of a cell") << QPoint(315 + 93, 6 + 49 + 20) << -1 << -1;
        QTest::newRow("top margin pixel of a cell") << QPoint(315 + 93 + 20, 6 + 49) << -1 << -1;
        QTest::newRow("right margin pixel of a cell") << QPoint(315 + 2 * 93 - 1, 6 + 49 + 20) << -1 << -1;
        QTest::newRow("inner edge pixel") << QPoint(315 + 93 + 1, 6 + 49 + 1) << 0 << 0;
        QTest::newRow("right of the grid") << QPoint(315 + 6 * 93 + 1, 6 + 49 + 20) << -1 << -1;
        QTest::newRow("below the grid") << QPoint(315 + 93 + 20, 6 + 9 * 49 + 1) << -1 << -1;
    }
    void dataCellAt()
    {
        QFETCH(QPoint, point);
        QFETCH(int, day);
        QFETCH(int, period);
        const WeekGridGeometry grid = WeekGridGeometry::fitted(5, 8, 315, 6, 563, 446);
        const auto cell = grid.dataCellAt(point);
        QCOMPARE(cell.has_value(), day >= 0);
        if (cell) {
            QCOMPARE(cell->day, day);
            QCOMPARE(cell->period, period);
        }
    }

    // One day and one period: the empty corner, one header of each kind and
    // one data cell, with the 2-pixel background line between cells.
    void paintsTheSmallestGrid()
    {
        WeekGridGeometry grid;
        grid.days = 1;
        grid.periods = 1;
        grid.left = 10;
        grid.top = 20;
        grid.cellWidth = 60;
        grid.cellHeight = 30;
        QImage image(200, 120, QImage::Format_RGB32);
        image.fill(Qt::white);
        std::vector<bool> chosen{true};
        {
            QPainter painter(&image);
            paintWeekGrid(painter, image.rect(), grid, nullptr);
        }
        QCOMPARE(image.pixelColor(5, 5), WeekGridColours::background());
        QCOMPARE(image.pixelColor(12, 22), WeekGridColours::header());            // corner
        QCOMPARE(image.pixelColor(10, 20), WeekGridColours::background());        // its margin
        QCOMPARE(image.pixelColor(72, 22), WeekGridColours::header());            // day header
        QCOMPARE(image.pixelColor(12, 52), WeekGridColours::header());            // period header
        QCOMPARE(image.pixelColor(72, 52), WeekGridColours::freeCell());          // data cell
        QCOMPARE(image.pixelColor(150, 52), WeekGridColours::background());       // no second day
        {
            QPainter painter(&image);
            paintWeekGrid(painter, image.rect(), grid, &chosen);
        }
        QCOMPARE(image.pixelColor(72, 52), WeekGridColours::chosenCell());
    }

    // The rule runs on every move of a dialog, not only when it opens.
    void dialogsStayOnTheScreen()
    {
        PlanDialog dialog(nullptr, QStringLiteral("周工作计划"), 100, 60);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QSize screen = QGuiApplication::primaryScreen()->size();
        dialog.move(screen.width() + 300, -80);
        QTRY_COMPARE(dialog.frameGeometry().topLeft(), QPoint(screen.width() - dialog.frameGeometry().width(), 0));
        dialog.move(-50, screen.height());
        QTRY_COMPARE(dialog.frameGeometry().topLeft(), QPoint(0, screen.height() - dialog.frameGeometry().height()));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("周工作计划"));
        QVERIFY(!dialog.windowIcon().isNull());
    }

    void dialogUnits()
    {
        const DialogUnits units(6, 13);
        QCOMPARE(units.rect(360, 6, 50, 14), QRect(540, 10, 75, 23));
        QCOMPARE(units.size(417, 277), QSize(626, 450));
        // Pixel layouts made for that font stay as they are, and grow with a bigger one.
        QCOMPARE(units.scaledPixels(QRect(315, 6, 563, 446)), QRect(315, 6, 563, 446));
        QCOMPARE(DialogUnits(7, 17).scaledPixels(QRect(315, 6, 563, 446)), QRect(368, 8, 657, 583));
        // Through a real font: a bigger font gives bigger dialogs.
        QFont small = QGuiApplication::font();
        small.setPixelSize(11);
        QFont big = small;
        big.setPixelSize(22);
        QVERIFY(DialogUnits(big).x(100) > DialogUnits(small).x(100));
        QVERIFY(DialogUnits(big).y(100) > DialogUnits(small).y(100));
    }

    void fitColumnWidths_data()
    {
        QTest::addColumn<QList<int>>("designed");
        QTest::addColumn<QList<int>>("needed");
        QTest::addColumn<int>("available");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("all fit: widened") << QList<int>{60, 65} << QList<int>{90, 40} << 200 << QList<int>{90, 65};
        QTest::newRow("a long name shares what is left") << QList<int>{60, 65} << QList<int>{300, 40} << 200
                                                         << QList<int>{135, 65};
        QTest::newRow("two long names share it evenly") << QList<int>{60, 60, 50} << QList<int>{300, 300, 20} << 230
                                                        << QList<int>{90, 90, 50};
        QTest::newRow("a small wish is met first") << QList<int>{60, 60, 50} << QList<int>{70, 300, 20} << 230
                                                   << QList<int>{70, 110, 50};
        QTest::newRow("never narrower than designed") << QList<int>{60, 65} << QList<int>{300, 40} << 100
                                                      << QList<int>{60, 65};
        QTest::newRow("a list that scrolls anyway: at most half the view")
            << QList<int>{55, 55, 55} << QList<int>{400, 60, 20} << 140 << QList<int>{70, 60, 55};
    }
    void fitColumnWidths()
    {
        QFETCH(QList<int>, designed);
        QFETCH(QList<int>, needed);
        QFETCH(int, available);
        QFETCH(QList<int>, widths);
        const std::vector<int> fitted = ::fitColumnWidths({designed.begin(), designed.end()},
                                                          {needed.begin(), needed.end()}, available);
        QCOMPARE(QList<int>(fitted.begin(), fitted.end()), widths);
    }

    // Long class names in a list of marks: the tick column stays in view, a
    // shortened name shows whole as its tooltip, and a short one has none.
    void longNamesKeepTheMarksInView_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("14 characters") << 14;
        QTest::newRow("40 characters") << 40;
    }
    void longNamesKeepTheMarksInView()
    {
        QFETCH(int, length);
        QWidget dialog;
        dialog.resize(400, 400);
        ReportList list({QStringLiteral("班级"), QStringLiteral("全选▼")}, {60, 65}, &dialog);
        list.setGeometry(10, 10, 150, 300);
        const QString longName = QString(length - 1, QChar(0x4E03)) + QStringLiteral("班");
        list.setRows({{QStringLiteral("七(1)班"), QString()}, {longName, QStringLiteral("✔")}});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect tick = list.visualRect(list.model()->index(1, 1));
        QVERIFY2(tick.left() >= 0 && tick.right() < list.viewport()->width(),
                 qPrintable(QStringLiteral("tick column at %1..%2 of %3")
                                .arg(tick.left()).arg(tick.right()).arg(list.viewport()->width())));
        QVERIFY(list.columnWidth(0) > 60);
        QCOMPARE(list.item(1, 0)->toolTip(), longName);
        QCOMPARE(list.item(0, 0)->toolTip(), QString());
        QCOMPARE(list.horizontalScrollBar()->value(), 0);
    }

    // The current row of a list that has the keyboard focus gets no focus
    // frame (on the first row it looked like a selection): the cell paints
    // the same with and without the focus.
    void noFocusFrame()
    {
        ReportList list({QStringLiteral("班级"), QStringLiteral("全选▼")}, {60, 65});
        list.resize(200, 200);
        list.setRows({{QStringLiteral("七(1)班"), QString()}});
        auto paintCell = [&](QStyle::State extra) {
            QImage image(60, 24, QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.initFrom(list.viewport());
            option.rect = QRect(0, 0, 60, 24);
            option.state |= QStyle::State_Enabled | QStyle::State_Active | extra;
            list.itemDelegate()->paint(&painter, option, list.model()->index(0, 0));
            return image;
        };
        QCOMPARE(paintCell(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange),
                 paintCell(QStyle::State_None));
    }

    // Typing part of a name in a long list.
    void nameSearch_data()
    {
        QTest::addColumn<QStringList>("keys");   // "+" before a key typed right after the previous one
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("row");
        // 0 陈思远  1 郑晓燕  2 徐文杰  3 宋德明  4 郑明  5 Li Ming
        QTest::newRow("part of a name") << QStringList{"晓燕"} << -1 << 1;
        QTest::newRow("keys add up") << QStringList{"德", "+明"} << -1 << 3;
        QTest::newRow("a longer text stays on a row that still matches") << QStringList{"郑", "+明"} << 1 << 4;
        QTest::newRow("a fresh key goes to the next match") << QStringList{"郑"} << 1 << 4;
        QTest::newRow("round the end") << QStringList{"郑"} << 4 << 1;
        QTest::newRow("the same key again moves on") << QStringList{"明", "+明"} << -1 << 4;
        QTest::newRow("either case") << QStringList{"m", "+I", "+n"} << -1 << 5;
        QTest::newRow("no name has it") << QStringList{"王"} << 2 << -1;
    }

    // A find box: the whole text at once; it keeps to its row while that
    // still matches and moves on from the row after it. Brackets and spaces
    // do not count, so "3班" finds 七(3)班.
    void nameSearchFromARow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("row");
        // 0 七(1)班  1 七(3)班  2 八（3）班  3 高一3班  4 初二 13班  5 Li Ming
        QTest::newRow("brackets passed over") << QStringLiteral("3班") << 0 << 1;
        QTest::newRow("stays on its row") << QStringLiteral("3班") << 1 << 1;
        QTest::newRow("full-width brackets") << QStringLiteral("3班") << 2 << 2;
        QTest::newRow("without brackets in the name") << QStringLiteral("3班") << 3 << 3;
        QTest::newRow("a space in the name") << QStringLiteral("二13") << 0 << 4;
        QTest::newRow("round the end") << QStringLiteral("3班") << 5 << 1;
        QTest::newRow("brackets typed") << QStringLiteral("七(3)") << 0 << 1;
        QTest::newRow("either case, space typed") << QStringLiteral("li m") << 0 << 5;
        QTest::newRow("the class number is not the grade's") << QStringLiteral("七3班") << 2 << 1;
        QTest::newRow("nothing") << QStringLiteral("4班") << 0 << -1;
        QTest::newRow("only brackets") << QStringLiteral("()") << 0 << -1;
    }
    void nameSearchFromARow()
    {
        QFETCH(QString, text);
        QFETCH(int, first);
        QFETCH(int, row);
        const QStringList names{"七(1)班", "七(3)班", "八（3）班", "高一3班", "初二 13班", "Li Ming"};
        NameSearch search;
        search.type(text, true);
        QCOMPARE(search.findFrom(names, first), row);
    }
    void nameSearch()
    {
        QFETCH(QStringList, keys);
        QFETCH(int, current);
        QFETCH(int, row);
        const QStringList names{"陈思远", "郑晓燕", "徐文杰", "宋德明", "郑明", "Li Ming"};
        NameSearch search;
        for (const QString& key : keys) {
            const bool fresh = !key.startsWith(QLatin1Char('+'));
            search.type(fresh ? key : key.mid(1), fresh);
            const int found = search.find(names, current);
            if (found >= 0)
                current = found;
            else
                current = -1;
        }
        QCOMPARE(current, row);
    }

    // In a list of 71 names: typed keys select the row and bring it into view.
    void typingFindsARow()
    {
        QWidget dialog;
        dialog.resize(300, 300);
        ReportList list({QStringLiteral("教师"), QStringLiteral("全选▼")}, {60, 65}, &dialog);
        list.setGeometry(10, 10, 200, 250);
        std::vector<QStringList> rows;
        for (int i = 0; i < 70; ++i)
            rows.push_back({QStringLiteral("教师%1").arg(i + 1), QString()});
        rows.insert(rows.begin() + 60, {QStringLiteral("宋德明"), QString()});
        list.setRows(rows);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        list.setFocus();
        // Chinese comes through the input method, one committed text at a time.
        for (const QString& typed : {QStringLiteral("德"), QStringLiteral("明")}) {
            QInputMethodEvent commit;
            commit.setCommitString(typed);
            QApplication::sendEvent(&list, &commit);
        }
        QCOMPARE(list.currentRow(), 60);
        QVERIFY(list.viewport()->rect().contains(list.visualRect(list.model()->index(60, 0)).center()));
    }

    void marks_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("action"); // toggle N, choose N, header
        QTest::addColumn<QStringList>("after");
        const QString v = ListMarks::check();
        QTest::newRow("toggle empty") << QStringList{"", ""} << "toggle 1" << QStringList{"", v};
        QTest::newRow("toggle marked") << QStringList{v, v} << "toggle 0" << QStringList{"", v};
        QTest::newRow("toggle other text stays") << QStringList{"x", ""} << "toggle 0" << QStringList{"x", ""};
        QTest::newRow("choose clears the others") << QStringList{v, "", v} << "choose 1" << QStringList{"", v, ""};
        QTest::newRow("choose marked unmarks") << QStringList{"", v} << "choose 1" << QStringList{"", ""};
        QTest::newRow("choose below the last row") << QStringList{v, ""} << "choose -1" << QStringList{"", ""};
        QTest::newRow("header marks all") << QStringList{"", v} << "header" << QStringList{v, v};
    }
    void marks()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, action);
        QFETCH(QStringList, after);
        ListMarks marks;
        marks.marks = before;
        const QStringList words = action.split(QLatin1Char(' '));
        if (words[0] == QLatin1String("toggle"))
            marks.toggle(words[1].toInt());
        else if (words[0] == QLatin1String("choose"))
            marks.choose(words[1].toInt());
        else
            QCOMPARE(marks.headerClicked(), QStringLiteral("全不选▼"));
        QCOMPARE(marks.marks, after);
    }

    void headerTogglesBack()
    {
        ListMarks marks;
        marks.resize(3);
        marks.headerClicked();
        QCOMPARE(marks.headerClicked(), QStringLiteral("全选▼"));
        QCOMPARE(marks.marks, QStringList(3));
        QVERIFY(!marks.anyChecked());
    }
};

QTEST_MAIN(DialogLookTest)
#include "DialogLookTest.moc"
