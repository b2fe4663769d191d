#include "view/widgets/TimetablePainter.h"

#include "base/Naming.h"
#include "view/TimetableModel.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <cmath>

namespace TimetablePainter {

QFont fittedFont(const QFont& font, const QString& s, int room)
{
    QFont fitted = font;
    const qreal wide = QFontMetricsF(font).horizontalAdvance(s);
    if (wide <= room || room <= 0)
        return fitted;
    const bool points = font.pointSizeF() > 0;
    qreal size = points ? font.pointSizeF() : font.pixelSize();
    size = std::max<qreal>(5, size * room / wide);
    // Text does not shrink in proportion to its size (glyphs snap to whole
    // pixels), so step down until the text really fits.
    for (;;) {
        if (points)
            fitted.setPointSizeF(size);
        else
            fitted.setPixelSize(int(size));
        if (size <= 5 || QFontMetricsF(fitted).horizontalAdvance(s) <= room)
            return fitted;
        size = std::max<qreal>(5, size - (points ? 0.25 : 1));
    }
}

namespace {

bool isEmpty(const QString& text) { return text == QLatin1String("H"); }
QString shown(const QString& text) { return isEmpty(text) ? QString() : text; }

// Texts drawn once and kept as small images, one per text, cell width and
// colour: a timetable repeats a few dozen names thousands of times, and laying
// out text is by far the dearest part of a paint. A name wider than its cell
// is drawn in a smaller size rather than cut.
class TextCache
{
public:
    const QImage& get(const QFont& font, qreal ratio, const QString& s, int room, const QColor& colour)
    {
        if (font != m_font || ratio != m_ratio) {
            m_font = font;
            m_ratio = ratio;
            m_texts.clear();
        }
        Key key{s, room, colour.rgba()};
        auto it = m_texts.find(key);
        if (it != m_texts.end())
            return *it;
        if (m_texts.size() > 20000)
            m_texts.clear();
        const QFont fitted = fittedFont(font, s, room);
        const QFontMetricsF metrics(fitted);
        const QSizeF size(metrics.horizontalAdvance(s), metrics.height());
        QImage image((size * ratio).toSize() + QSize(1, 1), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setFont(fitted);
        painter.setPen(colour);
        painter.drawText(QPointF(0, metrics.ascent()), s);
        painter.end();
        return *m_texts.insert(key, image);
    }

private:
    struct Key
    {
        QString text;
        int room;
        QRgb colour;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) { return qHashMulti(seed, key.text, key.room, key.colour); }

    QFont m_font;
    qreal m_ratio = 1;
    QHash<Key, QImage> m_texts;
};

TextCache& textCache()
{
    static TextCache cache;
    return cache;
}

void text(QPainter& p, const QRect& r, const QString& s, const QColor& colour)
{
    if (s.isEmpty())
        return;
    const qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QImage& image = textCache().get(p.font(), ratio, s, r.width() - 2, colour);
    const QSizeF size = image.deviceIndependentSize();
    p.drawImage(QPointF(std::round(r.left() + (r.width() - size.width()) / 2),
                        std::round(r.top() + (r.height() - size.height()) / 2)),
                image);
}

// The part of the table inside the visible rectangle: class (or teacher) rows
// and slot columns.
struct Window
{
    int firstRow = 0;
    int lastRow = -1;
    int firstColumn = 0;
    int lastColumn = -1;
};

// Rows of `rowHeight` starting after `headerRows` rows; columns of `w` after `nameColumns`.
Window windowOf(const QRect& visible, int rows, int columns, int rowHeight, int headerRows, int w, int nameColumns)
{
    Window win;
    if (rowHeight <= 0 || w <= 0)
        return win;
    win.firstRow = std::max(0, visible.top() / rowHeight - headerRows);
    win.lastRow = std::min(rows - 1, visible.bottom() / rowHeight - headerRows);
    win.firstColumn = std::max(0, visible.left() / w - nameColumns);
    win.lastColumn = std::min(columns - 1, visible.right() / w - nameColumns);
    return win;
}

// A master cell: both lines shrunk by one pixel and filled, the texts centred
// in the full lines.
void masterCell(QPainter& p, const TimetableModel& m, int c, int d, int pr, const QColor& fill,
                const QColor& subjectColour, const QColor& teacherColour)
{
    const int w = m.layout.cellWidth;
    const int l = m.layout.cellHeight;
    const int x = (m.slotColumn(d, pr) + 1) * w;
    const int y = (c + 1) * 2 * l;
    const QRect upper(x, y, w, l);
    const QRect lower(x, y + l, w, l);
    p.fillRect(upper.adjusted(1, 1, -1, -1), fill);
    p.fillRect(lower.adjusted(1, 1, -1, -1), fill);
    text(p, upper, shown(m.subject(c, d, pr)), subjectColour);
    text(p, lower, shown(m.teacher(c, d, pr)), teacherColour);
}

QColor markColour(TimetableModel::CellMark mark)
{
    switch (mark) {
    case TimetableModel::CellMark::Conflict: return Colour::Conflict;
    case TimetableModel::CellMark::Combined: return Colour::Combined;
    case TimetableModel::CellMark::Fixed: return Colour::Fixed;
    default: return Colour::Background;
    }
}

void masterGrid(QPainter& p, const TimetableModel& m)
{
    const int w = m.layout.cellWidth;
    const int l = m.layout.cellHeight;
    const int s = m.slotCount();
    const int c = m.classCount;
    p.fillRect(QRect(0, 0, (s + 1) * w, 2 * l), Colour::Header);
    p.fillRect(QRect(0, 0, w, (c + 1) * 2 * l), Colour::Header);

    p.setPen(QPen(Colour::GridLine, 1));
    for (int i = 0; i <= 2 * c + 2; ++i)
        p.drawLine(w, i * l, (s + 1) * w, i * l);
    for (int i = 1; i <= c + 1; ++i)
        p.drawLine(0, 2 * i * l, w, 2 * i * l);
    for (int i = 1; i <= s + 1; ++i)
        p.drawLine(i * w, l, i * w, (c + 1) * 2 * l);
    for (int i = 0; i <= m.dayCount; ++i)
        p.drawLine((i * m.periodCount + 1) * w, 0, (i * m.periodCount + 1) * w, 2 * l);
    p.drawLine(0, l, w, l);

    p.setPen(QPen(Colour::DayLine, 2));
    for (int i = 0; i <= m.dayCount; ++i)
        p.drawLine((i * m.periodCount + 1) * w, 2 * l, (i * m.periodCount + 1) * w, (c + 1) * 2 * l);
}

Window masterWindow(const TimetableModel& m, const QRect& visible)
{
    return windowOf(visible, m.classCount, m.slotCount(), 2 * m.layout.cellHeight, 1, m.layout.cellWidth, 1);
}

void masterHeaders(QPainter& p, const TimetableModel& m, const Window& win)
{
    const int w = m.layout.cellWidth;
    const int l = m.layout.cellHeight;
    for (int d = 0; d < m.dayCount; ++d) {
        text(p, QRect(w * (d * m.periodCount + 1), 0, w * m.periodCount, l), DayName(d), Colour::HeaderText);
        for (int pr = 0; pr < m.periodCount; ++pr)
            text(p, QRect((m.slotColumn(d, pr) + 1) * w, l, w, l), QString::number(pr + 1), Colour::HeaderText);
    }
    text(p, QRect(0, 0, w, l), QStringLiteral("星期"), Colour::HeaderText);
    text(p, QRect(0, l, w, l), QStringLiteral("班级"), Colour::HeaderText);
    for (int c = win.firstRow; c <= win.lastRow; ++c)
        text(p, QRect(0, (c + 1) * 2 * l, w, 2 * l), shown(m.className(c)), Colour::HeaderText);
}

void baseAndMarkedCells(QPainter& p, const TimetableModel& m, const Window& win,
                        const std::vector<TimetableData::CellMark>& marks)
{
    for (int c = win.firstRow; c <= win.lastRow; ++c)
        for (int j = win.firstColumn; j <= win.lastColumn; ++j) {
            const int d = j / m.periodCount;
            const int pr = j % m.periodCount;
            const auto mark = marks[static_cast<size_t>(c * m.slotCount() + j)];
            if (mark == TimetableModel::CellMark::Normal)
                masterCell(p, m, c, d, pr, Colour::Background, Colour::SubjectText, Colour::TeacherText);
            else
                masterCell(p, m, c, d, pr, markColour(mark), Colour::MarkedText, Colour::MarkedText);
        }
}

bool hasSelection(const TimetableModel& m)
{
    return m.isCell(m.selection.selectedClass, m.selection.selectedDay, m.selection.selectedPeriod);
}

// The selected cell's teacher, "H" read as the empty text.
QString selectedTeacher(const TimetableModel& m)
{
    return shown(m.teacher(m.selection.selectedClass, m.selection.selectedDay, m.selection.selectedPeriod));
}

void sameTeacherCells(QPainter& p, const TimetableModel& m, const Window& win, bool skipSelected)
{
    const QString t0 = selectedTeacher(m);
    const TimetableSelection& sel = m.selection;
    for (int c = win.firstRow; c <= win.lastRow; ++c)
        for (int j = win.firstColumn; j <= win.lastColumn; ++j) {
            const int d = j / m.periodCount;
            const int pr = j % m.periodCount;
            if (skipSelected && c == sel.selectedClass && d == sel.selectedDay && pr == sel.selectedPeriod)
                continue;
            if (m.teacher(c, d, pr) == t0)
                masterCell(p, m, c, d, pr, Colour::SameTeacher, Colour::MarkedText, Colour::MarkedText);
        }
}

void adjustmentCells(QPainter& p, const TimetableModel& m, const Window& win)
{
    const int c0 = m.selection.selectedClass;
    for (int d = 0; d < m.dayCount; ++d)
        for (int pr = 0; pr < m.periodCount; ++pr)
            if (m.IsMovableSlot(d, pr))
                masterCell(p, m, c0, d, pr, Colour::Movable, Colour::MarkedText, Colour::MarkedText);
    masterCell(p, m, c0, m.selection.selectedDay, m.selection.selectedPeriod, Colour::Selected, Colour::SelectedText,
               Colour::SelectedText);
    sameTeacherCells(p, m, win, true);
}

} // namespace

const std::vector<TimetableData::CellMark>& MarkTable::marks(const TimetableData& data)
{
    const size_t cells = static_cast<size_t>(data.classCount) * static_cast<size_t>(data.slotCount());
    if (m_data != &data || m_revision != data.revision() || m_marks.size() != cells) {
        m_data = &data;
        m_revision = data.revision();
        m_marks.resize(cells);
        size_t i = 0;
        for (int c = 0; c < data.classCount; ++c)
            for (int d = 0; d < data.dayCount; ++d)
                for (int pr = 0; pr < data.periodCount; ++pr)
                    m_marks[i++] = data.MarkOf(c, d, pr);
    }
    return m_marks;
}

void paintMaster(QPainter& p, const TimetableModel& m, const QRect& visible, MarkTable& marks)
{
    const Window win = masterWindow(m, visible);
    masterGrid(p, m);
    masterHeaders(p, m, win);
    baseAndMarkedCells(p, m, win, marks.marks(m));
    if (!hasSelection(m))
        return;
    if (m.layout.isAdjusting())
        adjustmentCells(p, m, win);
    else
        sameTeacherCells(p, m, win, false);
}

void paintTeacherTable(QPainter& p, const TimetableModel& m, const QRect& visible)
{
    const int w = m.layout.cellWidth;
    const int l = m.layout.cellHeight;
    const int s = m.slotCount();
    const int t = m.teachers.teacherCount();
    const Window win = windowOf(visible, t, s, l, 2, w, 2);

    p.fillRect(QRect(0, 0, (s + 2) * w, 2 * l), Colour::Header);
    p.fillRect(QRect(0, 0, 2 * w, (t + 2) * l), Colour::Header);
    p.setPen(QPen(Colour::GridLine, 1));
    for (int i = 0; i <= t + 2; ++i)
        p.drawLine(0, i * l, (s + 2) * w, i * l);
    for (int i = 1; i <= s + 2; ++i)
        p.drawLine(i * w, l, i * w, (t + 2) * l);
    p.setPen(QPen(Colour::DayLine, 2));
    for (int i = 0; i <= m.dayCount; ++i)
        p.drawLine((i * m.periodCount + 2) * w, 2 * l, (i * m.periodCount + 2) * w, (t + 2) * l);

    for (int d = 0; d < m.dayCount; ++d) {
        text(p, QRect(w * (d * m.periodCount + 2), 0, w * m.periodCount, l), DayName(d), Colour::HeaderText);
        for (int pr = 0; pr < m.periodCount; ++pr)
            text(p, QRect((m.slotColumn(d, pr) + 2) * w, l, w, l), QString::number(pr + 1), Colour::HeaderText);
    }
    text(p, QRect(0, 0, 2 * w, l), QStringLiteral("星期"), Colour::HeaderText);
    text(p, QRect(0, l, w, l), QStringLiteral("教师"), Colour::HeaderText);
    text(p, QRect(w, l, w, l), QStringLiteral("周课时"), Colour::HeaderText);
    for (int i = win.firstRow; i <= win.lastRow; ++i) {
        text(p, QRect(0, (i + 2) * l, w, l), shown(m.teachers.teacherName(i)), Colour::HeaderText);
        text(p, QRect(w, (i + 2) * l, w, l), shown(m.teachers.teacherWeeklyCount(i)), Colour::HeaderText);
    }

    // The slot texts stay visible with no teacher row selected; the selected
    // row is highlighted.
    for (int i = win.firstRow; i <= win.lastRow; ++i) {
        const bool selected = i == m.selection.selectedClass;
        for (int j = win.firstColumn; j <= win.lastColumn; ++j) {
            const int d = j / m.periodCount;
            const int pr = j % m.periodCount;
            const QRect cell((j + 2) * w, (i + 2) * l, w, l);
            p.fillRect(cell.adjusted(1, 1, -1, -1), selected ? Colour::SameTeacher : Colour::Background);
            text(p, cell, shown(m.teachers.teacherSlot(i, d, pr)), selected ? Colour::MarkedText : Colour::SubjectText);
        }
    }
}

void paint(QPainter& p, const TimetableModel& m, const QRect& visible, MarkTable& marks)
{
    if (!m.layout.showsTimetable())
        return;
    if (m.layout.showsTeacherTable())
        paintTeacherTable(p, m, visible);
    else
        paintMaster(p, m, visible, marks);
}

} // namespace TimetablePainter
