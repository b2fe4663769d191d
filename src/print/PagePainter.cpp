#include "print/PagePainter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace PagePainter {

QFont sized(const QFont& base, double pixels, bool bold)
{
    QFont font(base);
    font.setPixelSize(std::max(1, static_cast<int>(std::floor(pixels))));
    font.setBold(bold);
    return font;
}

void fitText(QPainter& painter, const QRectF& rect, const QString& text, const QFont& base, double pixels,
             bool bold, int flags, const TextShrink& shrink)
{
    if (text.isEmpty() || rect.width() <= 1 || rect.height() <= 1)
        return;
    pixels = std::min(pixels, rect.height() * shrink.heightShare);
    const double smallest = std::max(1.0, pixels * shrink.smallestShare);
    QFont font = sized(base, pixels, bold);
    double width = QFontMetricsF(font).horizontalAdvance(text);
    while (width > rect.width() && pixels > smallest) {
        pixels = std::max(smallest, std::floor(pixels * std::max(0.5, rect.width() / width)) - 0.5);
        font = sized(base, pixels, bold);
        width = QFontMetricsF(font).horizontalAdvance(text);
    }
    painter.setFont(font);
    const QString shown = width > rect.width() ? QFontMetricsF(font).elidedText(text, Qt::ElideRight, rect.width()) : text;
    painter.drawText(rect, flags | Qt::TextSingleLine, shown);
}

namespace {

const QColor kLine(150, 150, 150);
const QColor kFrame(60, 60, 60);
const QColor kHeaderFill(232, 238, 245);
const QColor kBandFill(242, 242, 242);
const QColor kDetail(85, 85, 85);
const QColor kMark(140, 140, 140);


// A cell of the grid: the main text, the detail under it in smaller grey,
// the mark small in the top right corner.
void paintCell(QPainter& painter, const QRectF& rect, const PrintPage::Cell& cell, const QFont& base, double mainPixels)
{
    if (cell.isFree())
        return;
    const double pad = rect.width() * 0.05;
    const QRectF inner = rect.adjusted(pad, 0, -pad, 0);
    if (cell.detail.isEmpty()) {
        painter.setPen(Qt::black);
        fitText(painter, inner, cell.main, base, mainPixels);
    } else {
        const double mainHeight = rect.height() * 0.56;
        painter.setPen(Qt::black);
        fitText(painter, QRectF(inner.left(), rect.top() + rect.height() * 0.06, inner.width(), mainHeight - rect.height() * 0.06),
                cell.main, base, mainPixels, false, Qt::AlignHCenter | Qt::AlignBottom);
        painter.setPen(kDetail);
        fitText(painter, QRectF(inner.left(), rect.top() + mainHeight, inner.width(), rect.height() * 0.38), cell.detail,
                base, mainPixels * 0.68, false, Qt::AlignHCenter | Qt::AlignTop);
    }
    if (cell.mark != PrintPage::Mark::None) {
        const double size = std::max(1.0, mainPixels * 0.5);
        painter.setPen(kMark);
        painter.setFont(sized(base, size));
        const QChar mark(cell.mark == PrintPage::Mark::Fixed ? PrintLayout::kFixedMark : PrintLayout::kCombinedMark);
        painter.drawText(QRectF(rect.right() - size * 1.3, rect.top() + size * 0.15, size * 1.15, size * 1.2),
                         Qt::AlignCenter | Qt::TextSingleLine, QString(mark));
    }
}

void gridLines(QPainter& painter, double width)
{
    QPen pen(kLine);
    pen.setWidthF(width);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
}

} // namespace

QFont BaseFont(bool forPdf)
{
    // Noto Sans CJK draws one glyph for a character and its Kangxi radical
    // (一 and ⼀), and a PDF maps the glyph back to the radical: text copied
    // or searched in the PDF would not match. Droid Sans Fallback keeps them
    // apart, so a PDF takes it when it is there.
    const auto choose = [](const QStringList& order) {
        QFont f;
        const QStringList families = QFontDatabase::families();
        for (const QString& wanted : order)
            if (families.contains(wanted)) {
                f.setFamilies({wanted});
                break;
            }
        f.setStyleStrategy(QFont::PreferAntialias);
        return f;
    };
    static const QFont screen = choose({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                                        QStringLiteral("Droid Sans Fallback")});
    static const QFont pdf = choose({QStringLiteral("Droid Sans Fallback"), QStringLiteral("WenQuanYi Micro Hei"),
                                     QStringLiteral("Noto Sans CJK SC")});
    return forPdf ? pdf : screen;
}

namespace {

QFont baseFontFor(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    return BaseFont(engine && engine->type() == QPaintEngine::Pdf);
}

} // namespace

void PaintPage(QPainter& painter, const PrintPage& page, const QRectF& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont base = baseFontFor(painter);
    const double unit = std::min(area.width(), area.height()) / 100.0;
    double top = area.top();

    // Title and term.
    painter.setPen(Qt::black);
    fitText(painter, QRectF(area.left(), top, area.width(), unit * 8), page.title, base, unit * 5.2, true);
    top += unit * 8;
    if (!page.term.isEmpty()) {
        painter.setPen(kDetail);
        fitText(painter, QRectF(area.left(), top, area.width(), unit * 5), page.term, base, unit * 3.2);
        top += unit * 5;
    }
    top += unit * 2;

    // Footer, from the bottom up.
    const QFont footerFont = sized(base, unit * 2.7);
    const QFontMetricsF footerMetrics(footerFont);
    double footerHeight = 0;
    std::vector<QRectF> footerRects;
    for (const QString& line : page.footer) {
        const QRectF needed = footerMetrics.boundingRect(QRectF(0, 0, area.width(), 1e6), Qt::TextWordWrap, line);
        footerRects.emplace_back(0, 0, area.width(), needed.height());
        footerHeight += needed.height() + unit * 0.8;
    }
    const double gridBottom = area.bottom() - footerHeight - unit * 2;
    double y = gridBottom + unit * 2;
    painter.setFont(footerFont);
    painter.setPen(Qt::black);
    for (size_t i = 0; i < footerRects.size(); ++i) {
        painter.drawText(QRectF(area.left(), y, area.width(), footerRects[i].height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, page.footer[static_cast<int>(i)]);
        y += footerRects[i].height() + unit * 0.8;
    }

    // The grid: a column for 上午/下午, one for the period names, one per day;
    // a header row, the period rows and the half-height 午休 band.
    const bool halves = std::any_of(page.rows.begin(), page.rows.end(), [](const PrintPage::Row& r) { return !r.half.isEmpty(); });
    const double halfWeight = halves ? 0.45 : 0.0;
    const double columnUnits = halfWeight + 1.0 + page.days;
    double rowUnits = 0.7;
    for (const PrintPage::Row& row : page.rows)
        rowUnits += row.isBreak() ? 0.45 : 1.0;
    const double columnWidth = area.width() / columnUnits;
    const double rowHeight = std::max(1.0, (gridBottom - top) / rowUnits);
    const double left = area.left();
    const double dayLeft = left + (halfWeight + 1.0) * columnWidth;
    const double mainPixels = std::min(rowHeight * 0.36, columnWidth * 0.22);
    const double right = area.right();

    // Header.
    const double headerHeight = rowHeight * 0.7;
    painter.fillRect(QRectF(left, top, right - left, headerHeight), kHeaderFill);
    painter.setPen(Qt::black);
    fitText(painter, QRectF(left, top, (halfWeight + 1.0) * columnWidth, headerHeight), QStringLiteral("节次"), base,
            mainPixels * 0.85, true);
    for (int d = 0; d < page.days; ++d)
        fitText(painter, QRectF(dayLeft + d * columnWidth, top, columnWidth, headerHeight), page.dayNames[d], base,
                mainPixels * 0.9, true);

    // Rows.
    double rowTop = top + headerHeight;
    struct HalfSpan { QString text; double top; double bottom; };
    std::vector<HalfSpan> spans;
    // Row lines: y and whether the line crosses the 上午/下午 column too.
    std::vector<std::pair<double, bool>> lines{{top, true}, {rowTop, true}};
    for (const PrintPage::Row& row : page.rows) {
        if (row.isBreak()) {
            const double height = rowHeight * 0.45;
            painter.fillRect(QRectF(left, rowTop, right - left, height), kBandFill);
            painter.setPen(kDetail);
            fitText(painter, QRectF(left, rowTop, right - left, height), row.label, base, height * 0.6);
            lines.back().second = true;
            rowTop += height;
            lines.push_back({rowTop, true});
            continue;
        }
        if (halves && (spans.empty() || spans.back().text != row.half))
            spans.push_back({row.half, rowTop, rowTop});
        if (halves)
            spans.back().bottom = rowTop + rowHeight;
        painter.setPen(Qt::black);
        fitText(painter, QRectF(left + halfWeight * columnWidth, rowTop, columnWidth, rowHeight), row.label, base,
                mainPixels * 0.85);
        for (int d = 0; d < page.days; ++d)
            paintCell(painter, QRectF(dayLeft + d * columnWidth, rowTop, columnWidth, rowHeight),
                      page.cell(row.period, d), base, mainPixels);
        rowTop += rowHeight;
        lines.push_back({rowTop, false});
    }
    lines.back().second = true;
    for (const HalfSpan& span : spans) {
        painter.setPen(Qt::black);
        const QRectF rect(left, span.top, halfWeight * columnWidth, span.bottom - span.top);
        // 上午 / 下午 written top to bottom, one character a line.
        QString vertical;
        for (const QChar ch : span.text)
            vertical += QString(ch) + QLatin1Char('\n');
        vertical.chop(1);
        painter.setFont(sized(base, std::min(columnWidth * halfWeight * 0.55, rect.height() / 3.0)));
        painter.drawText(rect, Qt::AlignCenter, vertical);
    }

    // Lines: rows across (the band's lines too), columns down except through the band.
    gridLines(painter, std::max(0.5, unit * 0.12));
    for (const auto& [ly, across] : lines)
        painter.drawLine(QPointF(across || !halves ? left : left + halfWeight * columnWidth, ly), QPointF(right, ly));
    const double bottom = rowTop;
    std::vector<double> columns;
    if (halves)
        columns.push_back(left + halfWeight * columnWidth);
    for (int d = 0; d <= page.days; ++d)
        columns.push_back(dayLeft + d * columnWidth);
    for (double x : columns) {
        // The line between 上午/下午 and the period names starts under the header.
        double from = halves && x < dayLeft - 0.5 ? top + headerHeight : top;
        double rowY = top + headerHeight;
        for (const PrintPage::Row& row : page.rows) {
            const double height = row.isBreak() ? rowHeight * 0.45 : rowHeight;
            if (row.isBreak()) {
                painter.drawLine(QPointF(x, from), QPointF(x, rowY));
                from = rowY + height;
            }
            rowY += height;
        }
        painter.drawLine(QPointF(x, from), QPointF(x, bottom));
    }
    QPen frame(kFrame);
    frame.setWidthF(std::max(1.0, unit * 0.3));
    painter.setPen(frame);
    painter.drawRect(QRectF(left, top, right - left, bottom - top));
    painter.restore();
}

OverviewMetrics OverviewForWidth(const OverviewTable& table, double width)
{
    OverviewMetrics m;
    m.column = width / (table.days * table.periods + 2.2);
    m.row = m.column * 0.95;
    m.title = std::max(m.column * 1.6, 1.0);
    m.header = m.row * 1.1;
    return m;
}

void PaintOverview(QPainter& painter, const OverviewTable& table, int first, int last, const QRectF& area,
                   const OverviewMetrics& m)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont base = baseFontFor(painter);
    const double left = area.left();
    const double slots = table.days * table.periods;
    const double right = left + m.nameColumn() + slots * m.column;
    double top = area.top();
    painter.setPen(Qt::black);
    const QString heading = table.term.isEmpty() ? table.title : table.title + QStringLiteral("　") + table.term;
    fitText(painter, QRectF(left, top, right - left, m.title), heading, base, m.title * 0.6, true);
    top += m.title;

    const double half = m.header / 2;
    const double slotLeft = left + m.nameColumn();
    painter.fillRect(QRectF(left, top, right - left, m.header), kHeaderFill);
    fitText(painter, QRectF(left, top, m.nameColumn(), m.header), table.nameHeader, base, m.row * 0.4, true);
    for (int d = 0; d < table.days; ++d) {
        const double x = slotLeft + d * table.periods * m.column;
        fitText(painter, QRectF(x, top, table.periods * m.column, half), table.dayNames[d], base, half * 0.7, true);
        for (int p = 0; p < table.periods; ++p)
            fitText(painter, QRectF(x + p * m.column, top + half, m.column, half), QString::number(p + 1), base,
                    half * 0.65);
    }
    double y = top + m.header;
    const double mainPixels = std::min(m.row * 0.38, m.column * 0.3);
    for (int r = first; r < last; ++r) {
        painter.setPen(Qt::black);
        fitText(painter, QRectF(left, y, m.nameColumn(), m.row), table.rowNames[r], base, m.row * 0.42);
        for (int d = 0; d < table.days; ++d)
            for (int p = 0; p < table.periods; ++p)
                paintCell(painter, QRectF(slotLeft + (d * table.periods + p) * m.column, y, m.column, m.row),
                          table.cell(r, d, p), base, mainPixels);
        y += m.row;
    }
    gridLines(painter, std::max(0.3, m.column * 0.02));
    painter.drawLine(QPointF(slotLeft, top + half), QPointF(right, top + half));
    for (double ly = top + m.header, i = first; i <= last; ++i, ly += m.row)
        painter.drawLine(QPointF(left, ly), QPointF(right, ly));
    for (int s = 0; s <= slots; ++s) {
        const bool dayLine = table.periods > 0 && s % table.periods == 0;
        QPen pen(dayLine ? kFrame : kLine);
        pen.setWidthF(std::max(0.3, m.column * (dayLine ? 0.04 : 0.02)));
        painter.setPen(pen);
        const double x = slotLeft + s * m.column;
        painter.drawLine(QPointF(x, dayLine ? top : top + half), QPointF(x, y));
    }
    QPen frame(kFrame);
    frame.setWidthF(std::max(0.5, m.column * 0.05));
    painter.setPen(frame);
    painter.drawRect(QRectF(left, top, right - left, y - top));
    painter.restore();
}

} // namespace PagePainter
