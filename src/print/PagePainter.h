#pragma once

#include "view/PrintLayout.h"

#include <QFont>
#include <QRectF>

class QPainter;

// Draws the pages of PrintLayout with a QPainter into any device. Sizes are
// taken from the area given, so a page looks the same on paper, in a PDF and
// in a picture.
namespace PagePainter {

// The family printed texts use: a Chinese font of the system, the one whose
// characters a PDF maps back correctly when `forPdf`.
QFont BaseFont(bool forPdf);

// The share of a line's height a text may take, and the smallest size it is
// stepped down to, as a share of the size asked for.
struct TextShrink
{
    double heightShare = 0.95;
    double smallestShare = 0.45;
};
// The font of `base` at `pixels` (at least 1).
QFont sized(const QFont& base, double pixels, bool bold = false);
// The text in one line of `rect`, in a font of at most `pixels` stepped down
// until it fits the width; elided when even the smallest size does not.
void fitText(QPainter& painter, const QRectF& rect, const QString& text, const QFont& base, double pixels,
             bool bold = false, int flags = Qt::AlignCenter, const TextShrink& shrink = {});

// A class's or teacher's page filling `area`.
void PaintPage(QPainter& painter, const PrintPage& page, const QRectF& area);

// How an overview is cut into rows: the width of a slot column and the
// height of a row, everything else follows from them.
struct OverviewMetrics
{
    double column = 0;
    double row = 0;
    double title = 0;  // title and term band
    double header = 0; // the day and period header rows together
    double nameColumn() const { return 2.2 * column; }
};
// Metrics that fill `width` with the table's columns.
OverviewMetrics OverviewForWidth(const OverviewTable& table, double width);
// Rows [first, last) of an overview, title and header on top, in `area`.
void PaintOverview(QPainter& painter, const OverviewTable& table, int first, int last, const QRectF& area,
                   const OverviewMetrics& metrics);

} // namespace PagePainter
