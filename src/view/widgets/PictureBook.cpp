#include "view/widgets/PictureBook.h"

#include "view/widgets/HomeScreen.h"

#include <QGuiApplication>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace PictureBook {

namespace {

// ---- The look shared by every picture ------------------------------------------

const QColor kInk(0x23, 0x36, 0x4d);       // captions
const QColor kMuted(0x5b, 0x6b, 0x7f);     // hints
const QColor kAccent(0x2f, 0x7f, 0xc1);    // tabs, banner
const QColor kAccentDark(0x1d, 0x4f, 0x91);
const QColor kPlay(0x22, 0xa8, 0x4a);
const QColor kPlayDark(0x17, 0x80, 0x37);

QFont font(double pixelSize, bool bold = false)
{
    QFont f = QGuiApplication::font();
    f.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    f.setBold(bold);
    return f;
}

QRectF shrink(const QRectF& r, double by) { return r.adjusted(by, by, -by, -by); }

// A soft drop shadow under a rounded card.
void shadow(QPainter& p, const QRectF& card, double radius, double lift)
{
    p.save();
    p.setPen(Qt::NoPen);
    const int steps = 6;
    for (int i = steps; i >= 1; --i) {
        const double spread = lift * i / steps;
        p.setBrush(QColor(20, 40, 70, int(6 + 18.0 / (i + 1))));
        p.drawRoundedRect(card.adjusted(-spread * 0.4, spread * 0.5, spread * 0.4, spread * 1.1),
                          radius + spread * 0.5, radius + spread * 0.5);
    }
    p.restore();
}

// ---- Glyphs: simple line drawings in a square box ---------------------------------

enum class Glyph {
    Calendar, Person, Clock, Pin, Book, PersonGrid, Link,
    Home, Swap, Save, Grid, PersonList, Export, Spark, Play,
};

void drawGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& color)
{
    p.save();
    p.translate(box.topLeft());
    const double s = std::min(box.width(), box.height());
    p.scale(s / 100.0, s / 100.0);
    // Everything below is on a 100 × 100 box.
    QPen pen(color, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto fill = [&](const QColor& c) { p.setBrush(c); };
    switch (glyph) {
    case Glyph::Calendar:
        p.drawRoundedRect(QRectF(14, 22, 72, 64), 10, 10);
        p.drawLine(QPointF(14, 42), QPointF(86, 42));
        p.drawLine(QPointF(34, 12), QPointF(34, 28));
        p.drawLine(QPointF(66, 12), QPointF(66, 28));
        p.setPen(Qt::NoPen);
        fill(color);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawRoundedRect(QRectF(26 + c * 18, 52 + r * 16, 11, 10), 2, 2);
        break;
    case Glyph::Person:
        p.drawEllipse(QPointF(50, 32), 16, 16);
        p.drawArc(QRectF(20, 56, 60, 56), 0, 180 * 16);
        p.drawLine(QPointF(20, 84), QPointF(80, 84));
        break;
    case Glyph::Clock:
        p.drawEllipse(QPointF(50, 52), 36, 36);
        p.drawLine(QPointF(50, 52), QPointF(50, 30));
        p.drawLine(QPointF(50, 52), QPointF(66, 62));
        p.drawLine(QPointF(38, 10), QPointF(62, 10));
        break;
    case Glyph::Pin: {
        QPainterPath head;
        head.moveTo(34, 14);
        head.lineTo(66, 14);
        head.lineTo(60, 40);
        head.lineTo(74, 56);
        head.lineTo(26, 56);
        head.lineTo(40, 40);
        head.closeSubpath();
        p.drawPath(head);
        p.drawLine(QPointF(50, 56), QPointF(50, 90));
        break;
    }
    case Glyph::Book:
        p.drawLine(QPointF(50, 26), QPointF(50, 84));
        p.drawPolyline(QPolygonF({QPointF(50, 26), QPointF(30, 18), QPointF(12, 22), QPointF(12, 80),
                                  QPointF(30, 76), QPointF(50, 84), QPointF(70, 76), QPointF(88, 80),
                                  QPointF(88, 22), QPointF(70, 18), QPointF(50, 26)}));
        p.drawLine(QPointF(22, 40), QPointF(40, 44));
        p.drawLine(QPointF(60, 44), QPointF(78, 40));
        break;
    case Glyph::PersonGrid:
        p.drawEllipse(QPointF(34, 30), 13, 13);
        p.drawArc(QRectF(10, 52, 48, 46), 0, 180 * 16);
        p.drawRoundedRect(QRectF(58, 44, 32, 32), 4, 4);
        p.setPen(QPen(color, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(58, 60), QPointF(90, 60));
        p.drawLine(QPointF(74, 44), QPointF(74, 76));
        break;
    case Glyph::Link:
        p.drawEllipse(QPointF(36, 40), 14, 14);
        p.drawEllipse(QPointF(66, 40), 14, 14);
        p.drawArc(QRectF(10, 62, 52, 44), 20 * 16, 140 * 16);
        p.drawArc(QRectF(40, 62, 52, 44), 20 * 16, 140 * 16);
        break;
    case Glyph::Home: {
        p.drawPolyline(QPolygonF({QPointF(12, 50), QPointF(50, 16), QPointF(88, 50)}));
        p.drawPolyline(QPolygonF({QPointF(24, 42), QPointF(24, 86), QPointF(76, 86), QPointF(76, 42)}));
        p.drawRoundedRect(QRectF(42, 60, 16, 26), 2, 2);
        break;
    }
    case Glyph::Swap:
        p.drawLine(QPointF(16, 34), QPointF(80, 34));
        p.drawPolyline(QPolygonF({QPointF(66, 20), QPointF(82, 34), QPointF(66, 48)}));
        p.drawLine(QPointF(84, 68), QPointF(20, 68));
        p.drawPolyline(QPolygonF({QPointF(34, 54), QPointF(18, 68), QPointF(34, 82)}));
        break;
    case Glyph::Save:
        p.drawPolygon(QPolygonF({QPointF(16, 14), QPointF(72, 14), QPointF(86, 28), QPointF(86, 86),
                                 QPointF(16, 86)}));
        p.drawRect(QRectF(32, 14, 32, 22));
        p.drawRoundedRect(QRectF(30, 54, 40, 32), 3, 3);
        break;
    case Glyph::Grid:
        p.drawRoundedRect(QRectF(12, 16, 76, 68), 6, 6);
        p.setPen(QPen(color, 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 38), QPointF(88, 38));
        p.drawLine(QPointF(12, 61), QPointF(88, 61));
        p.drawLine(QPointF(37, 16), QPointF(37, 84));
        p.drawLine(QPointF(63, 16), QPointF(63, 84));
        break;
    case Glyph::PersonList:
        p.drawEllipse(QPointF(30, 34), 13, 13);
        p.drawArc(QRectF(6, 56, 48, 46), 0, 180 * 16);
        p.drawLine(QPointF(60, 30), QPointF(90, 30));
        p.drawLine(QPointF(60, 50), QPointF(90, 50));
        p.drawLine(QPointF(60, 70), QPointF(90, 70));
        break;
    case Glyph::Export:
        p.drawPolyline(QPolygonF({QPointF(44, 18), QPointF(16, 18), QPointF(16, 84), QPointF(82, 84),
                                  QPointF(82, 56)}));
        p.drawLine(QPointF(42, 58), QPointF(84, 16));
        p.drawPolyline(QPolygonF({QPointF(58, 16), QPointF(84, 16), QPointF(84, 42)}));
        break;
    case Glyph::Spark: {
        auto star = [&](QPointF c, double r) {
            QPainterPath path;
            path.moveTo(c.x(), c.y() - r);
            path.quadTo(c, QPointF(c.x() + r, c.y()));
            path.quadTo(c, QPointF(c.x(), c.y() + r));
            path.quadTo(c, QPointF(c.x() - r, c.y()));
            path.quadTo(c, QPointF(c.x(), c.y() - r));
            p.setBrush(color);
            p.drawPath(path);
        };
        p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        star(QPointF(42, 54), 34);
        star(QPointF(78, 22), 14);
        star(QPointF(80, 78), 10);
        break;
    }
    case Glyph::Play: {
        p.setPen(Qt::NoPen);
        fill(color);
        QPainterPath tri;
        tri.moveTo(36, 24);
        tri.lineTo(80, 50);
        tri.lineTo(36, 76);
        tri.closeSubpath();
        p.drawPath(tri);
        break;
    }
    }
    p.restore();
}

// ---- The logo: a week grid with a few lessons placed ------------------------------

void drawLogo(QPainter& p, const QRectF& box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    const double s = std::min(box.width(), box.height());
    p.scale(s / 100.0, s / 100.0);
    QLinearGradient bg(0, 0, 100, 100);
    bg.setColorAt(0, QColor(0x3b, 0x8e, 0xd8));
    bg.setColorAt(1, QColor(0x1d, 0x4f, 0x91));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(4, 4, 92, 92), 22, 22);
    // Binder rings.
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawRoundedRect(QRectF(30, 10, 8, 16), 4, 4);
    p.drawRoundedRect(QRectF(62, 10, 8, 16), 4, 4);
    // 3 × 3 lessons, three of them coloured.
    const QColor colours[9] = {Qt::white, QColor(0xff, 0xc1, 0x3b), Qt::white,
                               Qt::white, Qt::white, QColor(0x4a, 0xde, 0x80),
                               QColor(0xf4, 0x72, 0xb6), Qt::white, Qt::white};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            p.setBrush(colours[r * 3 + c]);
            p.drawRoundedRect(QRectF(18 + c * 22, 34 + r * 19, 18, 14), 4, 4);
        }
    p.restore();
}

// ---- Home pictures ------------------------------------------------------------------

struct TileStyle
{
    Glyph glyph;
    QColor colour;
    int number; // the step number on the card
};

TileStyle tileStyle(HomeScreen::Area area)
{
    using A = HomeScreen::Area;
    switch (area) {
    case A::TileWorkPlan: return {Glyph::Calendar, QColor(0x3b, 0x82, 0xf6), 1};
    case A::TileAssignment: return {Glyph::Person, QColor(0x10, 0xa3, 0x74), 2};
    case A::TileWeeklyLessons: return {Glyph::Clock, QColor(0xf5, 0x9e, 0x0b), 3};
    case A::TileFixedLessons: return {Glyph::Pin, QColor(0xc0, 0x4c, 0xc8), 1};
    case A::TileSubjectZones: return {Glyph::Book, QColor(0x3b, 0x82, 0xf6), 2};
    case A::TileTeacherZones: return {Glyph::PersonGrid, QColor(0xf5, 0x9e, 0x0b), 3};
    case A::TileCombined: return {Glyph::Link, QColor(0x00, 0x99, 0x66), 4};
    case A::TileRules: return {Glyph::Grid, QColor(0xdc, 0x26, 0x26), 5};
    default: return {Glyph::Play, kPlay, 0};
    }
}

const char* pageHint(int page)
{
    switch (page) {
    case 0: return "第一步　录入学校的基本数据：每周的天数和节次、教师分工、各年级的周课时";
    case 1: return "第二步　设置排课条件：固定的课、科目和教师的排课区、合班上课、教师不排课和连堂等规则";
    default: return "第三步　点击下面的按钮自动排课；排好后可手工调课、保存和导出课表";
    }
}

void drawTab(QPainter& p, HomeScreen::Area tab, bool current)
{
    const QRectF r = shrink(HomeScreen::designRect(tab), 2);
    const double radius = r.height() / 2;
    if (current) {
        shadow(p, r, radius, 6);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(0x3b, 0x8e, 0xd8));
        g.setColorAt(1, kAccentDark);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
    } else {
        p.setPen(QPen(QColor(0xc3, 0xd1, 0xe3), 1.5));
        p.setBrush(Qt::white);
    }
    p.drawRoundedRect(r, radius, radius);
    p.setPen(current ? Qt::white : QColor(0x2f, 0x4a, 0x6b));
    p.setFont(font(21, true));
    p.drawText(r, Qt::AlignCenter, QString::fromUtf8(HomeScreen::info(tab).caption));
}

void drawTile(QPainter& p, HomeScreen::Area tile, bool highlighted)
{
    const TileStyle style = tileStyle(tile);
    const QRectF area = HomeScreen::designRect(tile);
    QRectF card = shrink(area, 8);
    const double radius = 18;
    if (highlighted)
        card.translate(0, -6);
    shadow(p, card, radius, highlighted ? 16 : 7);
    p.setPen(highlighted ? QPen(style.colour, 3) : QPen(QColor(0xdd, 0xe5, 0xef), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(card, radius, radius);
    if (highlighted) {
        // A wash of the tile's colour, fading downwards.
        QLinearGradient wash(card.topLeft(), card.bottomLeft());
        QColor top = style.colour;
        top.setAlpha(40);
        QColor bottom = style.colour;
        bottom.setAlpha(0);
        wash.setColorAt(0, top);
        wash.setColorAt(1, bottom);
        p.setPen(Qt::NoPen);
        p.setBrush(wash);
        p.drawRoundedRect(card, radius, radius);
    }

    // Icon disc.
    const double disc = std::min(card.width() * 0.5, card.height() * 0.46);
    const QPointF centre(card.center().x(), card.top() + card.height() * 0.40);
    QRadialGradient g(centre - QPointF(disc * 0.2, disc * 0.2), disc * 0.8);
    g.setColorAt(0, style.colour.lighter(125));
    g.setColorAt(1, style.colour);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, disc / 2, disc / 2);
    drawGlyph(p, style.glyph, QRectF(centre.x() - disc * 0.3, centre.y() - disc * 0.3, disc * 0.6, disc * 0.6),
              Qt::white);

    // Step number.
    const QRectF badge(card.left() + 14, card.top() + 14, 30, 30);
    p.setBrush(highlighted ? style.colour : QColor(0xee, 0xf2, 0xf7));
    p.drawEllipse(badge);
    p.setPen(highlighted ? Qt::white : kMuted);
    p.setFont(font(17, true));
    p.drawText(badge, Qt::AlignCenter, QString::number(style.number));

    // Caption.
    const bool narrow = card.width() < 220;
    p.setPen(highlighted ? style.colour.darker(120) : kInk);
    p.setFont(font(narrow ? 22 : 26, true));
    const QRectF caption(card.left(), card.top() + card.height() * 0.70, card.width(), card.height() * 0.22);
    p.drawText(caption, Qt::AlignCenter, QString::fromUtf8(HomeScreen::info(tile).caption));
}

void drawPlayButton(QPainter& p, bool highlighted)
{
    const QRectF area = HomeScreen::designRect(HomeScreen::Area::PlayButton);
    const double radius = highlighted ? 92 : 86;
    const QPointF centre(area.center().x(), area.top() + 104);
    if (highlighted) {
        QRadialGradient glow(centre, radius + 22);
        glow.setColorAt(0.75, QColor(0x22, 0xa8, 0x4a, 90));
        glow.setColorAt(1, QColor(0x22, 0xa8, 0x4a, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(centre, radius + 22, radius + 22);
    }
    // Shadow, disc and a light ring.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 60, 30, 50));
    p.drawEllipse(centre + QPointF(0, 7), radius, radius);
    QRadialGradient disc(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.4);
    disc.setColorAt(0, highlighted ? QColor(0x5e, 0xe0, 0x83) : QColor(0x4c, 0xd0, 0x72));
    disc.setColorAt(1, highlighted ? kPlay : kPlayDark);
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, 110), 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius - 10, radius - 10);
    drawGlyph(p, Glyph::Play, QRectF(centre.x() - radius * 0.62 + 6, centre.y() - radius * 0.62, radius * 1.24,
                                     radius * 1.24),
              Qt::white);

    p.setPen(highlighted ? kPlay : kPlayDark);
    p.setFont(font(30, true));
    p.drawText(QRectF(area.left(), area.bottom() - 50, area.width(), 44), Qt::AlignCenter,
               QStringLiteral("点我排课"));
}

// The home picture for a view of `size`: the background and the banner fill
// the whole view; everything else is drawn in the design space placed on the
// view by HomeScreen::fit, one scale for both directions, so circles stay
// round and every tile lies in the area a click tests.
void paintHome(QPainter& p, int homePicture, QSize size)
{
    const int page = HomeScreen::pageOfPicture(homePicture);
    const HomeScreen::Fit fit = HomeScreen::fit(size);
    // Background.
    QLinearGradient bg(0, 0, 0, size.height());
    bg.setColorAt(0, QColor(0xf4, 0xf7, 0xfb));
    bg.setColorAt(1, QColor(0xe2, 0xea, 0xf4));
    p.fillRect(QRectF(0, 0, size.width(), size.height()), bg);

    // Banner, across the whole width.
    const QRectF wideBanner(0, 0, size.width(), fit.dy + 150 * fit.scale);
    QLinearGradient bannerFill(wideBanner.topLeft(), wideBanner.topRight());
    bannerFill.setColorAt(0, kAccentDark);
    bannerFill.setColorAt(1, kAccent);
    p.fillRect(wideBanner, bannerFill);
    p.setPen(QPen(QColor(0xc8, 0xd4, 0xe3), 1.5));
    const double dividerY = fit.dy + 262 * fit.scale;
    p.drawLine(QPointF(60 * fit.scale, dividerY), QPointF(size.width() - 60 * fit.scale, dividerY));

    p.translate(fit.dx, fit.dy);
    p.scale(fit.scale, fit.scale);
    const QRectF banner(0, 0, HomeScreen::kDesignWidth, 150);
    p.save();
    p.setClipRect(banner.adjusted(-fit.dx / fit.scale, -fit.dy / fit.scale, fit.dx / fit.scale, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 18));
    p.drawEllipse(QPointF(1180, 30), 170, 170);
    p.drawEllipse(QPointF(1330, 150), 120, 120);
    p.drawEllipse(QPointF(960, 170), 70, 70);
    p.restore();
    drawLogo(p, QRectF(64, 30, 90, 90));
    p.setPen(Qt::white);
    p.setFont(font(44, true));
    p.drawText(QRectF(176, 30, 700, 56), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vorlat 排课"));
    p.setPen(QColor(255, 255, 255, 210));
    p.setFont(font(19));
    p.drawText(QRectF(178, 88, 700, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("中小学课程表编排　·　录入、设置、一键排课"));

    // Tabs.
    using A = HomeScreen::Area;
    const A tabs[] = {A::TabDataEntry, A::TabConstraints, A::TabScheduling};
    for (int i = 0; i < 3; ++i)
        drawTab(p, tabs[i], i == page);

    p.setPen(kMuted);
    p.setFont(font(18));
    p.drawText(QRectF(120, 276, 1140, 36), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(pageHint(page)));

    if (page == 1) {
        p.setPen(kMuted);
        p.setFont(font(17));
        p.drawText(QRectF(65, 560, 1235, 40), Qt::AlignCenter | Qt::TextWordWrap,
                   QStringLiteral("没有特别要求的条件可以不设，直接到「开始排课」。"));
    }
    if (page == 2) {
        drawPlayButton(p, homePicture == 11);
    } else {
        for (A tile : HomeScreen::tilesOfPage(page))
            drawTile(p, tile, HomeScreen::info(tile).hoverPicture == homePicture);
    }

    p.setPen(QColor(0x8a, 0x99, 0xab));
    p.setFont(font(14));
    p.drawText(QRectF(0, 720, HomeScreen::kDesignWidth, 30), Qt::AlignCenter,
               QStringLiteral("Vorlat 1.0　·　帮助菜单中有使用指南"));
}

// ---- Toolbar icons and legend swatches -------------------------------------------

Glyph toolGlyph(int number)
{
    switch (number) {
    case 356: return Glyph::Home;
    case 357: return Glyph::Swap;
    case 358: return Glyph::Save;
    case 359: return Glyph::Grid;
    case 360: return Glyph::PersonList;
    case 361: return Glyph::Export;
    default: return Glyph::Spark;
    }
}

QColor toolColour(int number)
{
    switch (number) {
    case 356: return QColor(0x2f, 0x7f, 0xc1);
    case 357: return QColor(0x10, 0xa3, 0x74);
    case 358: return QColor(0x3b, 0x82, 0xf6);
    case 359: return QColor(0x1d, 0x4f, 0x91);
    case 360: return QColor(0xf5, 0x9e, 0x0b);
    case 361: return QColor(0x0e, 0x9f, 0x8e);
    default: return QColor(0x8b, 0x5c, 0xf6);
    }
}

void paintToolIcon(QPainter& p, int number, QSizeF size)
{
    const double s = std::min(size.width(), size.height());
    const QRectF box(2 * s / 40, 2 * s / 40, s - 4 * s / 40, s - 4 * s / 40);
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, toolColour(number).lighter(118));
    g.setColorAt(1, toolColour(number));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(box, s * 0.24, s * 0.24);
    drawGlyph(p, toolGlyph(number), shrink(box, box.width() * 0.2), Qt::white);
}

QColor swatchColour(int number)
{
    switch (number) {
    case 310: return QColor(255, 0, 0);
    case 311: return QColor(0, 204, 0);
    case 312: return QColor(0, 0, 255);
    case 313: return QColor(255, 0, 255);
    default: return QColor(0, 153, 102);
    }
}

// ---- The user guide picture ----------------------------------------------------------

void stepHeading(QPainter& p, const QRectF& r, int step, const QString& title)
{
    const QString numbers[] = {QStringLiteral("第一步"), QStringLiteral("第二步"), QStringLiteral("第三步"),
                               QStringLiteral("第四步")};
    const QRectF pill(r.left(), r.top(), 72, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(pill, 12, 12);
    p.setPen(Qt::white);
    p.setFont(font(13, true));
    p.drawText(pill, Qt::AlignCenter, numbers[step - 1]);
    p.setPen(kInk);
    p.setFont(font(14, true));
    p.drawText(QRectF(pill.right() + 10, r.top(), r.width() - 82, 24), Qt::AlignLeft | Qt::AlignVCenter, title);
}

void miniTile(QPainter& p, const QRectF& r, HomeScreen::Area tile)
{
    const TileStyle style = tileStyle(tile);
    p.setPen(QPen(QColor(0xdd, 0xe5, 0xef), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 6, 6);
    const double disc = std::min(r.height() * 0.5, 22.0);
    const QPointF c(r.center().x(), r.top() + 4 + disc / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(style.colour);
    p.drawEllipse(c, disc / 2, disc / 2);
    drawGlyph(p, style.glyph, QRectF(c.x() - disc * 0.32, c.y() - disc * 0.32, disc * 0.64, disc * 0.64), Qt::white);
    p.setPen(kInk);
    p.setFont(font(11, true));
    p.drawText(QRectF(r.left(), c.y() + disc / 2, r.width(), r.bottom() - c.y() - disc / 2), Qt::AlignCenter,
               QStringLiteral("%1 %2").arg(style.number).arg(QString::fromUtf8(HomeScreen::info(tile).caption)));
}

void paintHelp(QPainter& p, QSizeF size, const QList<ToolButtonLook>& toolbar)
{
    // One scale for both directions, centred: the picture keeps its shape in
    // a dialog of any size.
    p.fillRect(QRectF(QPointF(0, 0), size), QColor(0xf4, 0xf7, 0xfb));
    const double scale = std::min(size.width() / 614.0, size.height() / 557.0);
    p.translate((size.width() - 614 * scale) / 2, (size.height() - 557 * scale) / 2);
    p.scale(scale, scale);
    // Title band.
    QLinearGradient band(0, 0, 614, 0);
    band.setColorAt(0, kAccentDark);
    band.setColorAt(1, kAccent);
    p.fillRect(QRectF(0, 0, 614, 52), band);
    drawLogo(p, QRectF(14, 8, 36, 36));
    p.setPen(Qt::white);
    p.setFont(font(20, true));
    p.drawText(QRectF(60, 0, 540, 52), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("四步排好一张课表"));

    auto panel = [&](const QRectF& r) {
        p.setPen(QPen(QColor(0xdd, 0xe5, 0xef), 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(r, 10, 10);
    };
    using A = HomeScreen::Area;

    // Step 1.
    const QRectF s1(12, 62, 291, 132);
    panel(s1);
    stepHeading(p, s1.adjusted(10, 10, -10, 0), 1, QStringLiteral("主页「数据录入」"));
    const A page0[] = {A::TileWorkPlan, A::TileAssignment, A::TileWeeklyLessons};
    for (int i = 0; i < 3; ++i)
        miniTile(p, QRectF(s1.left() + 10 + i * 92, s1.top() + 44, 84, 78), page0[i]);

    // Step 2.
    const QRectF s2(311, 62, 291, 132);
    panel(s2);
    stepHeading(p, s2.adjusted(10, 10, -10, 0), 2, QStringLiteral("「条件设置」"));
    const A page1[] = {A::TileFixedLessons, A::TileSubjectZones, A::TileTeacherZones, A::TileCombined};
    for (int i = 0; i < 4; ++i)
        miniTile(p, QRectF(s2.left() + 8 + i * 69, s2.top() + 44, 64, 78), page1[i]);

    // Step 3.
    const QRectF s3(12, 202, 590, 78);
    panel(s3);
    stepHeading(p, s3.adjusted(10, 10, -10, 0), 3, QStringLiteral("「开始排课」，点击绿色按钮自动排课"));
    const QRectF tab(s3.left() + 16, s3.top() + 42, 90, 26);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(tab, 13, 13);
    p.setPen(Qt::white);
    p.setFont(font(12, true));
    p.drawText(tab, Qt::AlignCenter, QStringLiteral("开始排课"));
    p.setPen(QPen(kMuted, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(tab.right() + 14, tab.center().y()), QPointF(tab.right() + 50, tab.center().y()));
    p.drawLine(QPointF(tab.right() + 42, tab.center().y() - 6), QPointF(tab.right() + 50, tab.center().y()));
    p.drawLine(QPointF(tab.right() + 42, tab.center().y() + 6), QPointF(tab.right() + 50, tab.center().y()));
    const QPointF play(tab.right() + 80, tab.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(kPlay);
    p.drawEllipse(play, 17, 17);
    drawGlyph(p, Glyph::Play, QRectF(play.x() - 12, play.y() - 13, 26, 26), Qt::white);
    p.setPen(kPlayDark);
    p.setFont(font(13, true));
    p.drawText(QRectF(play.x() + 24, tab.top(), 200, tab.height()), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("点我排课"));

    // Step 4: the toolbar, the note and a sample of the master table.
    const QRectF s4(12, 288, 590, 257);
    panel(s4);
    stepHeading(p, s4.adjusted(10, 10, -10, 0), 4, QStringLiteral("用工具栏查看、调课、保存和导出"));
    // The toolbar's buttons as the main window has them, in one row across
    // the panel; 手工调课 is marked, the note below the row.
    const int buttons = std::max<int>(1, int(toolbar.size()));
    const double pitch = std::min(62.0, 562.0 / buttons);
    for (int i = 0; i < int(toolbar.size()); ++i) {
        const QRectF b(s4.left() + 14 + i * pitch, s4.top() + 40, pitch - 6, 52);
        const QString& text = toolbar[i].text;
        if (text == QStringLiteral("手工调课") || text == QStringLiteral("结束调课")) {
            p.setPen(QPen(QColor(0xe8, 0x4a, 0x3c), 2));
            p.setBrush(QColor(0xfd, 0xec, 0xea));
            p.drawRoundedRect(b.adjusted(-2, -2, 2, 2), 6, 6);
        }
        const double icon = std::min(28.0, b.width() - 8);
        p.drawPixmap(QRectF(b.center().x() - icon / 2, b.top() + 3, icon, icon), toolbar[i].icon,
                     QRectF(toolbar[i].icon.rect()));
        p.setPen(kInk);
        p.setFont(font(10));
        p.drawText(QRectF(b.left() - 4, b.top() + 32, b.width() + 8, 18), Qt::AlignCenter, text);
    }
    p.setPen(kInk);
    p.setFont(font(11));
    p.drawText(QRectF(s4.left() + 14, s4.top() + 94, 562, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("按「手工调课」后：左键选中一节课，右键点同班的另一节课即可对调；按「结束调课」结束调整。"));

    // A small master table in the program's own colours.
    const QRectF table(s4.left() + 14, s4.top() + 120, 562, 128);
    const int columns = 9;
    const int rows = 4;
    const double w = table.width() / (columns + 1);
    const double h = table.height() / (rows * 2 + 2);
    p.fillRect(QRectF(table.left(), table.top(), table.width(), 2 * h), QColor(70, 70, 70));
    p.fillRect(QRectF(table.left(), table.top(), w, table.height()), QColor(70, 70, 70));
    const char* subjects[] = {"语文", "数学", "英语", "物理", "体育", "历史", "音乐", "美术", "生物"};
    const char* teachers[] = {"王老师", "李老师", "陈老师", "赵老师", "刘老师", "周老师", "吴老师", "郑老师", "孙老师"};
    p.setFont(font(10));
    for (int c = 0; c < columns; ++c) {
        const QRectF head(table.left() + (c + 1) * w, table.top() + h, w, h);
        p.setPen(QColor(255, 255, 0));
        p.drawText(head, Qt::AlignCenter, QString::number(c % 3 + 1));
    }
    for (int d = 0; d < 3; ++d)
        p.drawText(QRectF(table.left() + (d * 3 + 1) * w, table.top(), 3 * w, h), Qt::AlignCenter,
                   QStringLiteral("星期%1").arg(QStringLiteral("一二三").mid(d, 1)));
    for (int r = 0; r < rows; ++r) {
        const double y = table.top() + (r + 1) * 2 * h;
        p.setPen(QColor(255, 255, 0));
        p.drawText(QRectF(table.left(), y, w, 2 * h), Qt::AlignCenter, QStringLiteral("初一%1班").arg(r + 1));
        for (int c = 0; c < columns; ++c) {
            const int k = (r * 4 + c * 7) % 9;
            QColor fill(240, 240, 240);
            QColor text(0, 0, 0);
            QColor teacherText(0, 150, 150);
            if (r == 1 && c == 2)
                fill = QColor(0, 100, 255);
            else if (r == 1 && (c == 4 || c == 7))
                fill = QColor(0, 160, 0);
            else if (r == 3 && c == 5)
                fill = QColor(200, 80, 200);
            if (fill != QColor(240, 240, 240))
                text = teacherText = QColor(240, 240, 240);
            const QRectF upper(table.left() + (c + 1) * w, y, w, h);
            p.fillRect(shrink(upper, 1), fill);
            p.fillRect(shrink(upper.translated(0, h), 1), fill);
            p.setPen(text);
            p.drawText(upper, Qt::AlignCenter, QString::fromUtf8(subjects[k]));
            p.setPen(teacherText);
            p.drawText(upper.translated(0, h), Qt::AlignCenter, QString::fromUtf8(teachers[k]));
        }
    }
    p.setPen(QPen(QColor(140, 140, 140), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(table);
}

struct Key
{
    int number;
    QSize size;
    bool operator==(const Key&) const = default;
};
size_t qHash(const Key& key, size_t seed = 0)
{
    return ::qHash(key.number, seed) ^ ::qHash(key.size.width() * 65537 + key.size.height(), seed);
}

QHash<Key, QPixmap>& cache()
{
    static QHash<Key, QPixmap> pictures;
    return pictures;
}

bool isHome(int number) { return number >= FirstHome && number < FirstHome + HomeScreen::kPictureCount; }

} // namespace

QSize nativeSize(int number)
{
    if (number == AppIcon)
        return QSize(256, 256);
    if (number >= FirstSwatch && number < FirstSwatch + 5)
        return QSize(16, 16);
    if (number >= FirstToolIcon && number <= OptimizeIcon)
        return QSize(40, 40);
    if (number == HelpPicture)
        return QSize(614, 557);
    if (number >= FirstHome && number < FirstHome + HomeScreen::kPictureCount)
        return QSize(1920, 1080);
    return QSize();
}

QImage render(int number, QSize size)
{
    if (size.isEmpty())
        return QImage();
    const bool opaque = (number >= FirstHome && number < FirstHome + HomeScreen::kPictureCount)
        || number == HelpPicture;
    QImage image(size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::white : Qt::transparent);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    if (number >= FirstHome && number < FirstHome + HomeScreen::kPictureCount) {
        paintHome(p, number - FirstHome, size);
    } else if (number == AppIcon) {
        drawLogo(p, QRectF(0, 0, size.width(), size.height()));
    } else if (number >= FirstSwatch && number < FirstSwatch + 5) {
        p.setRenderHint(QPainter::Antialiasing, false);
        const double unit = size.width() / 16.0;
        p.fillRect(QRectF(0, 0, 10 * unit, 10 * unit), swatchColour(number));
    } else if (number >= FirstToolIcon && number <= OptimizeIcon) {
        paintToolIcon(p, number, size);
    } else if (number == HelpPicture) {
        paintHelp(p, size, toolbarButtons());
    }
    return image;
}

QList<ToolButtonLook> toolbarButtons()
{
    const char* texts[] = {"返回主页", "手工调课", "保存课表", "查询总表", "查教师表", "导出课表", "优化课表"};
    QList<ToolButtonLook> buttons;
    for (int i = 0; i <= OptimizeIcon - FirstToolIcon; ++i)
        buttons.append({picture(FirstToolIcon + i), QString::fromUtf8(texts[i])});
    return buttons;
}

QImage renderHelp(QSize size, const QList<ToolButtonLook>& toolbar)
{
    if (size.isEmpty())
        return QImage();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    paintHelp(p, size, toolbar);
    return image;
}

QPixmap pictureAt(int number, QSize size)
{
    const Key key{number, size};
    auto it = cache().constFind(key);
    if (it != cache().constEnd())
        return *it;
    const QPixmap pixmap = QPixmap::fromImage(render(number, size));
    if (isHome(number)) {
        // Home pictures follow the window: keep one size besides the native one.
        const QSize native = nativeSize(number);
        cache().removeIf([&](const auto& entry) {
            return isHome(entry.key().number) && entry.key().size != size && entry.key().size != native;
        });
    }
    cache().insert(key, pixmap);
    return pixmap;
}

QPixmap picture(int number) { return pictureAt(number, nativeSize(number)); }

void clearCache() { cache().clear(); }

} // namespace PictureBook
