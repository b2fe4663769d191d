#include "view/widgets/HomeScreen.h"
#include "view/widgets/PictureBook.h"

#include <QtTest>

using Area = HomeScreen::Area;
using Action = HomeScreen::Action;

Q_DECLARE_METATYPE(Area)
Q_DECLARE_METATYPE(Action)

// A point inside an area of a view of the given size.
static QPoint inside(Area area, QSize view)
{
    const QRect r = HomeScreen::scaled(area, view);
    return r.topLeft() + QPoint(r.width() / 2, r.height() / 2);
}

class HomeScreenTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scaling_data()
    {
        QTest::addColumn<QSize>("view");
        QTest::addColumn<Area>("area");
        QTest::addColumn<QRect>("expected"); // left, top, right, bottom (exclusive) as a QRect

        const auto ltrb = [](int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); };
        QTest::newRow("design size: tab unchanged") << QSize(1366, 768) << Area::TabConstraints
                                                    << ltrb(290, 186, 410, 240);
        QTest::newRow("design size: play button unchanged") << QSize(1366, 768) << Area::PlayButton
                                                            << ltrb(530, 330, 760, 585);
        // 290·1920/1366 = 407.61 → 408; 240·1080/768 = 337.5 → 338 (half away from zero).
        QTest::newRow("1920×1080: tab 条件设置") << QSize(1920, 1080) << Area::TabConstraints
                                             << ltrb(408, 262, 576, 338);
        // One scale for both directions (1920/1366 is a little less than 1080/768),
        // the design centred in the height.
        QTest::newRow("1920×1080: tile 合班设置") << QSize(1920, 1080) << Area::TileCombined
                                              << ltrb(1164, 506, 1462, 756);
        // A view wider than the design: the height sets the scale, the design is centred across.
        QTest::newRow("wide view: tab 数据录入") << QSize(1366, 384) << Area::TabDataEntry
                                             << ltrb(402, 93, 462, 120);
        QTest::newRow("half size") << QSize(683, 384) << Area::TileWorkPlan << ltrb(54, 166, 200, 294);
    }
    void scaling()
    {
        QFETCH(QSize, view);
        QFETCH(Area, area);
        QFETCH(QRect, expected);
        QCOMPARE(HomeScreen::scaled(area, view), expected);
    }

    // A sequence of pointer moves and clicks, each ending in a picture and
    // the click's action.
    void pointerAndClicks_data()
    {
        QTest::addColumn<QSize>("view");
        QTest::addColumn<QList<Area>>("clickedTabs"); // tabs clicked first
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<int>("hoverPicture");
        QTest::addColumn<Action>("clickAction");

        const QSize full(1920, 1080);
        const QSize design(1366, 768);
        QTest::newRow("page 0: 工作计划") << full << QList<Area>{} << inside(Area::TileWorkPlan, full) << 1
                                      << Action::OpenDayNum;
        QTest::newRow("page 0: 周课时设置") << design << QList<Area>{} << inside(Area::TileWeeklyLessons, design) << 3
                                       << Action::OpenClassNumPro;
        // 固定科目 reaches further left than 工作计划: a point of it no page-0 tile covers.
        QTest::newRow("page 0: the tile 固定科目 does nothing")
            << full << QList<Area>{} << QPoint(100, 633) << 0 << Action::Nothing;
        QTest::newRow("page 0: the tile 科目排课区 does nothing")
            << full << QList<Area>{} << inside(Area::TileSubjectZones, full) << 0 << Action::Nothing;
        QTest::newRow("page 0: between tiles") << full << QList<Area>{} << QPoint(640, 600) << 0 << Action::Nothing;
        QTest::newRow("page 1: 合班设置") << full << QList<Area>{Area::TabConstraints} << inside(Area::TileCombined, full)
                                      << 8 << Action::OpenCombineSet;
        QTest::newRow("page 1: 教师排课区") << design << QList<Area>{Area::TabConstraints}
                                       << inside(Area::TileTeacherZones, design) << 7 << Action::OpenTeacherYaoPai;
        QTest::newRow("page 1: where page 0 has 周课时设置")
            << full << QList<Area>{Area::TabConstraints} << QPoint(1476, 787) << 4 << Action::Nothing;
        QTest::newRow("page 1: 排课规则") << full << QList<Area>{Area::TabConstraints} << inside(Area::TileRules, full)
                                      << 9 << Action::OpenRules;
        QTest::newRow("page 2: play button") << full << QList<Area>{Area::TabConstraints, Area::TabScheduling}
                                             << inside(Area::PlayButton, full) << 11 << Action::RunScheduling;
        QTest::newRow("page 2: beside the play button")
            << full << QList<Area>{Area::TabScheduling} << QPoint(1200, 600) << 10 << Action::Nothing;
        // The right and bottom edges belong to the next area, not this one.
        QTest::newRow("right edge is outside") << design << QList<Area>{Area::TabScheduling} << QPoint(760, 400) << 10
                                               << Action::Nothing;
        QTest::newRow("left edge is inside") << design << QList<Area>{Area::TabScheduling} << QPoint(530, 400) << 11
                                             << Action::RunScheduling;
    }
    void pointerAndClicks()
    {
        QFETCH(QSize, view);
        QFETCH(QList<Area>, clickedTabs);
        QFETCH(QPoint, pointer);
        QFETCH(int, hoverPicture);
        QFETCH(Action, clickAction);

        HomeScreen home;
        for (Area tab : clickedTabs) {
            bool repaint = false;
            QCOMPARE(home.LeftClick(inside(tab, view).x(), inside(tab, view).y(), view, &repaint), Action::Nothing);
            QVERIFY(repaint);
        }
        home.PointerMoved(pointer.x(), pointer.y(), view);
        QCOMPARE(home.homePicture(), hoverPicture);
        QCOMPARE(home.IsOverClickable(pointer.x(), pointer.y(), view), clickAction != Action::Nothing);
        QCOMPARE(home.LeftClick(pointer.x(), pointer.y(), view), clickAction);
        // A second click without a move asks for the same thing again.
        QCOMPARE(home.LeftClick(pointer.x(), pointer.y(), view), clickAction);
    }

    void leavingATileReturnsToTheBasePicture()
    {
        const QSize view(1920, 1080);
        HomeScreen home;
        QVERIFY(home.PointerMoved(inside(Area::TileAssignment, view).x(), inside(Area::TileAssignment, view).y(), view));
        QCOMPARE(home.homePicture(), 2);
        QVERIFY(!home.PointerMoved(inside(Area::TileAssignment, view).x() + 1, inside(Area::TileAssignment, view).y(), view));
        QVERIFY(home.PointerMoved(700, 600, view)); // between 工作计划 and 教师分工
        QCOMPARE(home.homePicture(), 0);
    }

    // The pictures are painted for the view: the play button is a circle on a
    // view of any shape (the views of a maximised window at 1366 × 768 and
    // 1920 × 1080 are much wider than the design), and the button and the
    // tiles lie inside the areas a click tests.
    void picturesKeepTheirShapeAndMatchTheAreas_data()
    {
        QTest::addColumn<QSize>("view");
        QTest::newRow("1366×768 screen, maximised") << QSize(1366, 612);
        QTest::newRow("1920×1080 screen, maximised") << QSize(1920, 924);
        QTest::newRow("design size") << QSize(1366, 768);
        QTest::newRow("narrow window") << QSize(900, 700);
    }
    void picturesKeepTheirShapeAndMatchTheAreas()
    {
        QFETCH(QSize, view);
        const auto green = [](QRgb c) { return qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 30; };

        const QImage page2 = PictureBook::render(HomeScreen::kFirstPicture + 10, view);
        QCOMPARE(page2.size(), view);
        const QRect play = HomeScreen::scaled(Area::PlayButton, view);
        // The widest green row is the disc's middle (the caption under it is narrower).
        int widest = 0, left = 0, right = 0, firstWidest = -1, lastWidest = -1;
        for (int y = 0; y < view.height(); ++y) {
            int l = -1, r = -1;
            for (int x = 0; x < view.width(); ++x)
                if (green(page2.pixel(x, y))) {
                    if (l < 0)
                        l = x;
                    r = x;
                }
            if (l < 0)
                continue;
            if (r - l > widest) {
                widest = r - l;
                left = l;
                right = r;
                firstWidest = lastWidest = y;
            } else if (r - l == widest) {
                lastWidest = y;
            }
        }
        QVERIFY(widest > 0);
        const int middle = (firstWidest + lastWidest) / 2;
        const int centreX = (left + right) / 2;
        int top = middle;
        while (top > 0 && green(page2.pixel(centreX, top - 1)))
            --top;
        // The run from the middle up may stop at the white play sign: go on past it.
        for (int y = top - 1; y >= 0; --y)
            if (green(page2.pixel(centreX, y)))
                top = y;
        const double across = (right - left) / 2.0;
        const double down = middle - top;
        QVERIFY2(std::abs(across - down) <= 2.5, qPrintable(QStringLiteral("%1 across, %2 down").arg(across).arg(down)));
        QVERIFY2(play.left() <= left && right < play.right() && play.top() <= top && middle + down < play.bottom(),
                 qPrintable(QStringLiteral("disc %1..%2 × %3..%4 outside the area").arg(left).arg(right).arg(top).arg(middle + down)));

        // The white cards of page 0 lie inside their areas, filling most of them.
        const QImage page0 = PictureBook::render(HomeScreen::kFirstPicture + 0, view);
        for (const Area tile : HomeScreen::tilesOfPage(0)) {
            const QRect area = HomeScreen::scaled(tile, view);
            const int y = area.top() + area.height() * 66 / 100; // between the icon and the caption
            const auto white = [&](int x) {
                const QRgb c = page0.pixel(x, y);
                return qRed(c) > 248 && qGreen(c) > 248 && qBlue(c) > 248;
            };
            int l = area.center().x(), r = area.center().x();
            QVERIFY(white(l));
            while (l > 0 && white(l - 1))
                --l;
            while (r < view.width() - 1 && white(r + 1))
                ++r;
            QVERIFY2(area.left() <= l && r <= area.right() && r - l > area.width() * 8 / 10,
                     qPrintable(QStringLiteral("card %1..%2, area %3..%4").arg(l).arg(r).arg(area.left()).arg(area.right())));
        }
    }

    void tabClickShowsThePageBasePictureAndKeepsThePage()
    {
        const QSize view(1366, 768);
        HomeScreen home;
        home.LeftClick(inside(Area::TabScheduling, view).x(), inside(Area::TabScheduling, view).y(), view);
        QCOMPARE(home.homePage(), 2);
        QCOMPARE(home.homePicture(), 10);
        QVERIFY(home.IsOverClickable(inside(Area::TabDataEntry, view).x(), inside(Area::TabDataEntry, view).y(), view));
        // Hovering a place where page 0 has a tile changes nothing on page 2.
        home.PointerMoved(inside(Area::TileWorkPlan, view).x(), inside(Area::TileWorkPlan, view).y(), view);
        QCOMPARE(home.homePicture(), 10);
        QCOMPARE(home.homePage(), 2);
    }
};

QTEST_MAIN(HomeScreenTest)
#include "HomeScreenTest.moc"
