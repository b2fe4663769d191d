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
