#include "print/PrintDocument.h"

#include "print/PagePainter.h"
#include "view/TimetableData.h"

#include <QMarginsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The printable part of A4 with 10 mm margins, in millimetres.
constexpr double kMargin = 10.0;
constexpr double kLong = 297.0 - 2 * kMargin;
constexpr double kShort = 210.0 - 2 * kMargin;

// Pictures: a page 1080 pixels across when upright, a margin around it.
constexpr int kPictureShort = 1080;
constexpr int kPictureLong = 1527;
constexpr double kPictureMargin = 0.03;
// An overview picture: the width of a slot column, in pixels.
constexpr double kOverviewColumn = 48.0;

} // namespace

PrintDocument PrintDocument::Classes(const TimetableData& data, const SchoolDetails& school,
                                     const std::vector<int>& classes)
{
    PrintDocument document;
    if (classes.empty()) {
        for (int c = 0; c < data.classCount; ++c)
            document.m_pages.push_back(PrintLayout::ClassPage(data, c, school));
    } else {
        for (int c : classes)
            if (c >= 0 && c < data.classCount)
                document.m_pages.push_back(PrintLayout::ClassPage(data, c, school));
    }
    return document;
}

PrintDocument PrintDocument::Teachers(const TimetableData& data, const SchoolDetails& school,
                                      const QStringList& teachers)
{
    PrintDocument document;
    document.m_pages = PrintLayout::TeacherPages(data, teachers.isEmpty() ? PrintLayout::TeacherNames(data) : teachers,
                                                 school);
    return document;
}

PrintDocument PrintDocument::MasterOverview(const TimetableData& data, const SchoolDetails& school)
{
    PrintDocument document;
    document.m_overview = true;
    document.m_table = PrintLayout::MasterOverview(data, school);
    document.fitRows();
    return document;
}

PrintDocument PrintDocument::TeacherOverview(const TimetableData& data, const SchoolDetails& school)
{
    PrintDocument document;
    document.m_overview = true;
    document.m_table = PrintLayout::TeacherOverview(data, school);
    document.fitRows();
    return document;
}

void PrintDocument::fitRows()
{
    const PagePainter::OverviewMetrics m = PagePainter::OverviewForWidth(m_table, kLong);
    m_rowsPerPage = std::max(1, static_cast<int>(std::floor((kShort - m.title - m.header) / m.row)));
}

int PrintDocument::pageCount() const
{
    if (m_overview)
        return std::max(1, (m_table.rowCount() + m_rowsPerPage - 1) / m_rowsPerPage);
    return static_cast<int>(m_pages.size());
}

bool PrintDocument::landscape() const
{
    if (m_overview)
        return true;
    return !m_pages.empty() && m_pages.front().landscape;
}

QPageLayout PrintDocument::pageLayout() const
{
    return QPageLayout(QPageSize(QPageSize::A4), landscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(kMargin, kMargin, kMargin, kMargin), QPageLayout::Millimeter);
}

void PrintDocument::paintPage(QPainter& painter, int page, const QRectF& area) const
{
    if (page < 0 || page >= pageCount())
        return;
    if (!m_overview) {
        PagePainter::PaintPage(painter, m_pages[static_cast<size_t>(page)], area);
        return;
    }
    const int first = page * m_rowsPerPage;
    const int last = std::min(m_table.rowCount(), first + m_rowsPerPage);
    PagePainter::OverviewMetrics m = PagePainter::OverviewForWidth(m_table, area.width());
    // A page shorter than A4's proportions (other margins) shrinks the table to keep its rows.
    const double needed = m.title + m.header + m.row * (last - first);
    if (needed > area.height() && needed > 0) {
        const double scale = area.height() / needed;
        m.column *= scale;
        m.row *= scale;
        m.title *= scale;
        m.header *= scale;
    }
    PagePainter::PaintOverview(painter, m_table, first, last, area, m);
}

bool PrintDocument::paintAll(QPagedPaintDevice& device, const OutputProgress& progress) const
{
    device.setPageLayout(pageLayout());
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const int pages = pageCount();
    for (int i = 0; i < pages; ++i) {
        if (progress.cancelled()) {
            painter.end();
            return false;
        }
        if (i > 0)
            device.newPage();
        paintPage(painter, i, QRectF(0, 0, device.width(), device.height()));
        progress.report(i + 1, pages);
    }
    return painter.end();
}

int PrintDocument::pictureCount() const
{
    return m_overview ? 1 : static_cast<int>(m_pages.size());
}

QString PrintDocument::pictureName(int i) const
{
    if (m_overview)
        return m_table.nameHeader == QStringLiteral("教师") ? QStringLiteral("教师总课表") : QStringLiteral("总课表");
    return m_pages[static_cast<size_t>(i)].name;
}

QSize PrintDocument::pictureSize(int i) const
{
    if (m_overview) {
        PagePainter::OverviewMetrics m;
        m.column = kOverviewColumn;
        m.row = kOverviewColumn * 0.95;
        m.title = kOverviewColumn * 1.6;
        m.header = m.row * 1.1;
        const double width = m.nameColumn() + m_table.days * m_table.periods * m.column;
        const double height = m.title + m.header + m.row * m_table.rowCount();
        const double margin = kOverviewColumn * 0.5;
        return QSize(static_cast<int>(std::ceil(width + 2 * margin)), static_cast<int>(std::ceil(height + 2 * margin)));
    }
    return m_pages[static_cast<size_t>(i)].landscape ? QSize(kPictureLong, kPictureShort)
                                                     : QSize(kPictureShort, kPictureLong);
}

QImage PrintDocument::picture(int i, QImage::Format format) const
{
    const QSize size = pictureSize(i);
    QImage image(size, format);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPicture(painter, i, size);
    painter.end();
    return image;
}

void PrintDocument::paintPicture(QPainter& painter, int i, const QSize& size) const
{
    if (m_overview) {
        const double margin = kOverviewColumn * 0.5;
        PagePainter::OverviewMetrics m;
        m.column = kOverviewColumn;
        m.row = kOverviewColumn * 0.95;
        m.title = kOverviewColumn * 1.6;
        m.header = m.row * 1.1;
        PagePainter::PaintOverview(painter, m_table, 0, m_table.rowCount(),
                                   QRectF(margin, margin, size.width() - 2 * margin, size.height() - 2 * margin), m);
    } else {
        const double margin = std::min(size.width(), size.height()) * kPictureMargin;
        PagePainter::PaintPage(painter, m_pages[static_cast<size_t>(i)],
                               QRectF(margin, margin, size.width() - 2 * margin, size.height() - 2 * margin));
    }
}
