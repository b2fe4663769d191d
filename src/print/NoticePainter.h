#pragma once

#include "base/OutputProgress.h"
#include "base/SchoolDetails.h"
#include "view/daily/DailyNotice.h"

#include <QImage>
#include <QRectF>

class QPainter;

// The 代课单 of a day on paper, in a PDF or as a picture, in the look of the
// class and teacher pages (their font, lines and header fill): the school and
// the date on top, then one row per lesson (period, class, subject, the
// absent teacher, what was chosen, who covers, notes), a choice that no
// longer fits marked "⚠" in red, a lesson with nothing chosen in grey.
namespace NoticePainter {

// Rows of one A4 page.
constexpr int kRowsPerPage = 24;

int PageCount(const DailyNotice& notice);
// Page `page` filling `area` (device coordinates of the painter).
void PaintPage(QPainter& painter, const DailyNotice& notice, const SchoolDetails& school, int page,
               const QRectF& area, bool forPdf = false);
// All rows in one picture 1080 pixels across, for a phone.
QImage Picture(const DailyNotice& notice, const SchoolDetails& school);

// Writes the notice as a PDF (a name ending .pdf, A4 upright) or a PNG (any
// other name; ".png" is added when missing): into a part file beside the
// target, renamed over it once whole; a failure names the file and the reason.
OutputResult Write(const DailyNotice& notice, const SchoolDetails& school, const QString& path);

} // namespace NoticePainter
