#include "app/EditIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A bent arrow on a slate tile: pointing left for undo; redo is its mirror image.
QPixmap paintArrow(bool mirrored, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QRectF box(2 * s / 40, 2 * s / 40, s - 4 * s / 40, s - 4 * s / 40);
    const QColor colour(0x47, 0x55, 0x69);
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, colour.lighter(125));
    g.setColorAt(1, colour);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(box, s * 0.24, s * 0.24);

    if (mirrored) {
        p.translate(s, 0);
        p.scale(-1, 1);
    }
    // The shaft: from the lower right up and round to the left.
    QPainterPath shaft;
    shaft.moveTo(s * 0.70, s * 0.74);
    shaft.cubicTo(s * 0.80, s * 0.50, s * 0.66, s * 0.36, s * 0.44, s * 0.36);
    shaft.lineTo(s * 0.34, s * 0.36);
    p.setPen(QPen(Qt::white, s * 0.085, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shaft);
    // The head, pointing left.
    QPainterPath head;
    head.moveTo(s * 0.22, s * 0.36);
    head.lineTo(s * 0.38, s * 0.23);
    head.lineTo(s * 0.38, s * 0.49);
    head.closeSubpath();
    p.setPen(QPen(Qt::white, s * 0.03, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(head);
    return pixmap;
}

QIcon arrowIcon(bool mirrored)
{
    QIcon icon;
    for (int size : {20, 40, 80})
        icon.addPixmap(paintArrow(mirrored, size));
    return icon;
}

} // namespace

namespace EditIcons {

QIcon undo()
{
    return arrowIcon(false);
}

QIcon redo()
{
    return arrowIcon(true);
}

} // namespace EditIcons
