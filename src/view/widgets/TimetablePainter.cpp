#include "view/widgets/TimetablePainter.h"

#include "base/Naming.h"
#include "view/TimetableModel.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStaticText>

namespace TimetablePainter {

namespace {

bool isEmpty(const QString& text) { return text == QLatin1String("H"); }
QString shown(const QString& text) { return isEmpty(text) ? QString() : text; }

// Laid-out texts, kept between paints: a timetable repeats a few dozen
// names thousands of times. A name wider than its cell is laid out in a
// smaller size rather than cut.
struct LaidOut
{
    QStaticText text;
    QFont font;
    QSizeF size;
};

class TextCache
{
public:
    const LaidOut& get(const QFont& font, const QString& s, int room)
    {
        if (font != m_font) {
            m_font = font;
            m_texts.clear();
        }
        const QString key = s + QChar(0x1f) + QString::number(room);
        auto it = m_texts.find(key);
        if (it != m_texts.end())
            return *it;
        if (m_texts.size() > 20000)
            m_texts.clear();
        LaidOut laid;
        laid.font = font;
        const int wide = QFontMetrics(font).horizontalAdvance(s);
        if (wide > room && room > 0) {
            const qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize();
            const qreal fitted = std::max<qreal>(5, size * room / wide);
            if (font.pointSizeF() > 0)
                laid.font.setPointSizeF(fitted);
            else
                laid.font.setPixelSize(int(fitted));
        }
        laid.text = QStaticText(s);
        laid.text.setTextFormat(Qt::PlainText);
        laid.text.prepare(QTransform(), laid.font);
        laid.size = laid.text.size();
        return *m_texts.insert(key, laid);
    }

private:
    QFont m_font;
    QHash<QString, LaidOut> m_texts;
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
    const LaidOut& laid = textCache().get(p.font(), s, r.width() - 2);
    p.setPen(colour);
    const QPointF at(r.left() + (r.width() - laid.size.width()) / 2, r.top() + (r.height() - laid.size.height()) / 2);
    if (laid.font == p.font()) {
        p.drawStaticText(at, laid.text);
        return;
    }
    const QFont normal = p.font();
    p.setFont(laid.font);
    p.drawStaticText(at, laid.text);
    p.setFont(normal);
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

void baseAndMarkedCells(QPainter& p, const TimetableModel& m, const Window& win)
{
    for (int c = win.firstRow; c <= win.lastRow; ++c)
        for (int j = win.firstColumn; j <= win.lastColumn; ++j) {
            const int d = j / m.periodCount;
            const int pr = j % m.periodCount;
            const auto mark = m.MarkOf(c, d, pr);
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

void paintMaster(QPainter& p, const TimetableModel& m, const QRect& visible)
{
    const Window win = masterWindow(m, visible);
    masterGrid(p, m);
    masterHeaders(p, m, win);
    baseAndMarkedCells(p, m, win);
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

void paint(QPainter& p, const TimetableModel& m, const QRect& visible)
{
    if (!m.layout.showsTimetable())
        return;
    if (m.layout.showsTeacherTable())
        paintTeacherTable(p, m, visible);
    else
        paintMaster(p, m, visible);
}

} // namespace TimetablePainter
