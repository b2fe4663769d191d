#include "print/NoticePainter.h"

#include "base/Naming.h"
#include "print/PagePainter.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace NoticePainter {
namespace {

const QColor kLine(150, 150, 150);
const QColor kFrame(60, 60, 60);
const QColor kHeaderFill(232, 238, 245);
const QColor kDetail(85, 85, 85);
const QColor kWarning(170, 30, 30);
const QColor kPending(120, 120, 120);

// Shares of the width, one per column of DailyNotice::heads().
const double kColumns[] = {0.08, 0.15, 0.09, 0.11, 0.08, 0.31, 0.18};

// Rows above the table: the title, the date line and a gap.
constexpr double kHeadRows = 3.2;

// One line in `rect`, stepped down until it fits, elided when even the
// smallest size does not; a notice's rows are tighter than a page's cells.
void fitText(QPainter& painter, const QRectF& rect, const QString& text, const QFont& base, double pixels,
             bool bold = false, int flags = Qt::AlignCenter)
{
    PagePainter::fitText(painter, rect, text, base, pixels, bold, flags, PagePainter::TextShrink{0.9, 0.5});
}

QString titleOf(const SchoolDetails& school)
{
    return school.name.isEmpty() ? QStringLiteral("代课单") : QStringLiteral("%1 代课单").arg(school.name);
}

QString dateLine(const DailyNotice& notice, const SchoolDetails& school)
{
    QString line = QStringLiteral("%1 %2").arg(TermCalendar::dateText(notice.date), DayName(notice.date.dayOfWeek() - 1));
    if (notice.day >= 0 && notice.day != notice.date.dayOfWeek() - 1)
        line += QStringLiteral("（调休，上%1的课）").arg(DayName(notice.day));
    if (notice.day < 0)
        line += QStringLiteral("（没有课）");
    if (!school.term.isEmpty())
        line = school.term + QStringLiteral("  ") + line;
    return line;
}

// The head and rows [first, last) from the top of `area`, each row `rowHeight` high.
void paintRows(QPainter& painter, const DailyNotice& notice, const SchoolDetails& school, int first, int last,
               const QRectF& area, double rowHeight, const QFont& base, bool withHead)
{
    const double text = rowHeight * 0.5;
    double y = area.top();
    if (withHead) {
        painter.setPen(Qt::black);
        fitText(painter, QRectF(area.left(), y, area.width(), rowHeight * 1.5), titleOf(school), base, text * 1.8, true);
        y += rowHeight * 1.5;
        painter.setPen(kDetail);
        fitText(painter, QRectF(area.left(), y, area.width(), rowHeight), dateLine(notice, school), base, text);
        y += rowHeight * (kHeadRows - 1.5);
    }
    std::vector<double> xs{area.left()};
    for (double share : kColumns)
        xs.push_back(xs.back() + share * area.width());
    const QStringList heads = DailyNotice::heads();

    painter.fillRect(QRectF(area.left(), y, area.width(), rowHeight), kHeaderFill);
    painter.setPen(Qt::black);
    for (int k = 0; k < heads.size(); ++k)
        fitText(painter, QRectF(xs[k], y, xs[k + 1] - xs[k], rowHeight).adjusted(3, 0, -3, 0), heads[k], base, text, true);
    const double top = y;
    y += rowHeight;
    if (notice.rows.empty()) {
        painter.setPen(kDetail);
        fitText(painter, QRectF(area.left(), y, area.width(), rowHeight), QStringLiteral("这一天没有需要安排的课。"), base, text);
        y += rowHeight;
    }
    for (int i = first; i < last; ++i) {
        const NoticeRow& row = notice.rows[static_cast<size_t>(i)];
        const QStringList cells = DailyNotice::cells(row);
        for (int k = 0; k < cells.size(); ++k) {
            QColor colour = Qt::black;
            if (k == 6 && !row.problem.isEmpty())
                colour = kWarning;
            else if (row.kind == QStringLiteral("待安排") && (k == 4 || k == 5))
                colour = kPending;
            else if (k == 6)
                colour = kDetail;
            painter.setPen(colour);
            const int flags = k >= 5 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
            fitText(painter, QRectF(xs[k], y, xs[k + 1] - xs[k], rowHeight).adjusted(4, 0, -4, 0), cells[k], base,
                    text, k == 5, flags);
        }
        y += rowHeight;
    }
    // Lines: rows, columns, then the frame.
    painter.setPen(QPen(kLine, std::max(1.0, rowHeight / 60)));
    for (double line = top + rowHeight; line < y - 0.5; line += rowHeight)
        painter.drawLine(QPointF(area.left(), line), QPointF(area.right(), line));
    for (size_t k = 1; k + 1 < xs.size(); ++k)
        painter.drawLine(QPointF(xs[k], top), QPointF(xs[k], y));
    painter.setPen(QPen(kFrame, std::max(1.0, rowHeight / 30)));
    painter.drawRect(QRectF(area.left(), top, area.width(), y - top));
}

Failure fileFailure(const QString& path, const QString& reason)
{
    return Failure::file(QStringLiteral("无法写入“%1”：%2。").arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

int PageCount(const DailyNotice& notice)
{
    return std::max(1, static_cast<int>((notice.rows.size() + kRowsPerPage - 1) / kRowsPerPage));
}

void PaintPage(QPainter& painter, const DailyNotice& notice, const SchoolDetails& school, int page, const QRectF& area,
               bool forPdf)
{
    const double rowHeight = area.height() / (kRowsPerPage + 1 + kHeadRows + 1);
    const int first = page * kRowsPerPage;
    const int last = std::min(static_cast<int>(notice.rows.size()), first + kRowsPerPage);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintRows(painter, notice, school, first, last, area, rowHeight, PagePainter::BaseFont(forPdf), page == 0);
    painter.restore();
}

QImage Picture(const DailyNotice& notice, const SchoolDetails& school)
{
    constexpr int kWidth = 1080;
    constexpr double kMargin = 36;
    constexpr double kRow = 64;
    const int rows = std::max(1, static_cast<int>(notice.rows.size()));
    const int height = static_cast<int>(std::ceil(2 * kMargin + kRow * (kHeadRows + 1 + rows)));
    QImage image(kWidth, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    paintRows(painter, notice, school, 0, static_cast<int>(notice.rows.size()),
              QRectF(kMargin, kMargin, kWidth - 2 * kMargin, height - 2 * kMargin), kRow, PagePainter::BaseFont(false),
              true);
    painter.end();
    return image;
}

OutputResult Write(const DailyNotice& notice, const SchoolDetails& school, const QString& chosenPath)
{
    OutputResult result;
    const bool pdf = chosenPath.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    const QString path = pdf || chosenPath.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
        ? chosenPath
        : chosenPath + QStringLiteral(".png");
    const QFileInfo target(path);
    if (QFileInfo(chosenPath).fileName().trimmed().isEmpty() || target.isDir()) {
        result.status = fileFailure(chosenPath, QStringLiteral("请给出文件名"));
        return result;
    }
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir()) {
        result.status = fileFailure(path, QStringLiteral("文件夹“%1”不存在").arg(QDir::toNativeSeparators(folder.absoluteFilePath())));
        return result;
    }
    if (!folder.isWritable()) {
        result.status = fileFailure(path, QStringLiteral("没有在文件夹“%1”中写入的权限").arg(QDir::toNativeSeparators(folder.absoluteFilePath())));
        return result;
    }
    QTemporaryFile part(QDir(folder.absoluteFilePath()).filePath(QStringLiteral(".vorlat-XXXXXX") + (pdf ? QStringLiteral(".pdf") : QStringLiteral(".png"))));
    if (!part.open()) {
        result.status = fileFailure(path, QStringLiteral("无法在文件夹中创建文件（%1）").arg(part.errorString()));
        return result;
    }
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    bool written = false;
    if (pdf) {
        QPdfWriter writer(&part);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Vorlat"));
        writer.setTitle(notice.title());
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                                         QPageLayout::Millimeter));
        QPainter painter;
        written = painter.begin(&writer);
        const int pages = PageCount(notice);
        for (int page = 0; written && page < pages; ++page) {
            if (page > 0)
                written = writer.newPage();
            PaintPage(painter, notice, school, page, QRectF(0, 0, writer.width(), writer.height()), true);
        }
        if (painter.isActive())
            written = painter.end() && written;
    } else {
        written = Picture(notice, school).save(&part, "PNG");
    }
    if (!written || !part.flush() || part.error() != QFileDevice::NoError) {
        result.status = fileFailure(path, QStringLiteral("写入时出错（%1）").arg(part.errorString()));
        return result;
    }
    part.close();
    if (std::rename(QFile::encodeName(part.fileName()).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        result.status = fileFailure(path, QStringLiteral("无法替换文件（%1）").arg(QString::fromLocal8Bit(std::strerror(errno))));
        return result;
    }
    part.setAutoRemove(false);
    result.written << target.absoluteFilePath();
    return result;
}

} // namespace NoticePainter
