#pragma once

#include "base/OutputProgress.h"
#include "view/PrintLayout.h"

#include <QImage>
#include <QPageLayout>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;
class QPainter;
class TimetableData;

// Timetables to hand out, ready for any paint device: a page per class, a
// page per teacher, or an overview (总课表, 教师总课表) spread over as many A4
// pages as its rows need. The same document prints (QPrinter), writes a PDF
// (QPdfWriter) or makes pictures (QImage).
//
// Built from the timetable and the school's details; holds copies, so it may
// be painted on a worker thread while the timetable changes.
class PrintDocument
{
public:
    // Pages of the classes given by index (all classes when empty).
    static PrintDocument Classes(const TimetableData& data, const SchoolDetails& school,
                                 const std::vector<int>& classes = {});
    // Pages of the teachers given by name (all, in the teacher table's order, when empty).
    static PrintDocument Teachers(const TimetableData& data, const SchoolDetails& school,
                                  const QStringList& teachers = {});
    static PrintDocument MasterOverview(const TimetableData& data, const SchoolDetails& school);
    static PrintDocument TeacherOverview(const TimetableData& data, const SchoolDetails& school);

    bool isOverview() const { return m_overview; }

    // ---- Paper (A4) ----------------------------------------------------------

    int pageCount() const;
    // Across for an overview, and for pages whose week fits A4 across better.
    bool landscape() const;
    // A4 upright or across, with the margins every page keeps.
    QPageLayout pageLayout() const;
    // Paints page i into `area` (device coordinates of the painter).
    void paintPage(QPainter& painter, int page, const QRectF& area) const;
    // Every page into a paged device (a QPrinter, a QPdfWriter): sets its page
    // layout, starts a new page between pages. Cancelled: returns false.
    bool paintAll(QPagedPaintDevice& device, const OutputProgress& progress = {}) const;

    // ---- Pictures ---------------------------------------------------------------

    // One picture per class or teacher page; an overview is one picture of all its rows.
    int pictureCount() const;
    // The class's or teacher's name ("总课表" / "教师总课表" for an overview):
    // what the picture's file is named after.
    QString pictureName(int i) const;
    // Sized for a phone: a page 1080 pixels across when upright (1527 when across).
    QSize pictureSize(int i) const;
    // The picture on white, in colour or, for a small quick PNG, in grey.
    QImage picture(int i, QImage::Format format = QImage::Format_RGB32) const;
    // Paints picture i into a painter on a device of `size` (filled white first).
    void paintPicture(QPainter& painter, int i, const QSize& size) const;

    // The pages themselves (empty for an overview).
    const std::vector<PrintPage>& pages() const { return m_pages; }

private:
    void fitRows();

    bool m_overview = false;
    std::vector<PrintPage> m_pages;
    OverviewTable m_table;
    int m_rowsPerPage = 1;
};
