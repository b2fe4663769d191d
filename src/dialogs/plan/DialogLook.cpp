#include "dialogs/plan/DialogLook.h"

#include "store/StoreError.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

QPoint placeOnScreen(const QRect& proposed, const QSize& screen)
{
    int x = proposed.x();
    int y = proposed.y();
    if (x < 0)
        x = 0;
    if (x + proposed.width() > screen.width())
        x = screen.width() - proposed.width();
    if (y < 0)
        y = 0;
    if (y + proposed.height() > screen.height())
        y = screen.height() - proposed.height();
    return QPoint(x, y);
}

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    m_baseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    m_baseY = metrics.height();
}

static int mulDiv(int value, int numerator, int denominator)
{
    // Rounded like the platform's MulDiv.
    const long long product = static_cast<long long>(value) * numerator;
    return static_cast<int>(product >= 0 ? (product + denominator / 2) / denominator
                                         : (product - denominator / 2) / denominator);
}

int DialogUnits::x(int dlu) const
{
    return mulDiv(dlu, m_baseX, 4);
}

int DialogUnits::y(int dlu) const
{
    return mulDiv(dlu, m_baseY, 8);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    return QRect(x(left), y(top), x(width), y(height));
}

QSize DialogUnits::size(int width, int height) const
{
    return QSize(x(width), y(height));
}

QRect DialogUnits::scaledPixels(const QRect& designed) const
{
    return QRect(mulDiv(designed.x(), m_baseX, 6), mulDiv(designed.y(), m_baseY, 13),
                 mulDiv(designed.width(), m_baseX, 6), mulDiv(designed.height(), m_baseY, 13));
}

// The program's icon, painted: a small week grid with two chosen cells. One
// function, so the finished artwork can take its place.
QIcon dialogIcon()
{
    static const QIcon icon = [] {
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath frame;
        frame.addRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
        painter.fillPath(frame, QColor(60, 110, 170));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const QColor colour = (r == c) ? QColor(0, 230, 0) : QColor(240, 240, 240);
                painter.fillRect(QRect(10 + c * 16, 12 + r * 15, 13, 12), colour);
            }
        return QIcon(pixmap);
    }();
    return icon;
}

namespace {

// Applies the placement rule after every move of the window it watches.
class PlacementGuard : public QObject
{
public:
    explicit PlacementGuard(QWidget* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && (event->type() == QEvent::Move || event->type() == QEvent::Show)) {
            const QScreen* screen = QGuiApplication::primaryScreen();
            if (screen) {
                const QRect frame = m_window->frameGeometry();
                const QPoint wanted = placeOnScreen(frame, screen->size());
                if (wanted != frame.topLeft())
                    m_window->move(wanted);
            }
        }
        return false;
    }

private:
    QWidget* m_window;
};

} // namespace

void applyDialogLook(QDialog& dialog, const DialogUnits& units, int widthDlu, int heightDlu)
{
    dialog.setWindowIcon(dialogIcon());
    dialog.setFixedSize(units.size(widthDlu, heightDlu));
    dialog.installEventFilter(new PlacementGuard(&dialog));
}

std::vector<int> fitColumnWidths(const std::vector<int>& designed, const std::vector<int>& needed, int available)
{
    const size_t count = designed.size();
    std::vector<int> widths(count);
    long long wanted = 0;
    long long base = 0;
    for (size_t c = 0; c < count; ++c) {
        const int need = c < needed.size() ? needed[c] : 0;
        widths[c] = std::max(designed[c], need);
        wanted += widths[c];
        base += designed[c];
    }
    if (wanted <= available)
        return widths;
    if (base > available) {
        // Scrolls sideways anyway: only keep one column from filling the view.
        for (size_t c = 0; c < count; ++c)
            widths[c] = std::max(designed[c], std::min(widths[c], available / 2));
        return widths;
    }
    // Share what the designed widths leave free, the narrowest wish first.
    std::vector<size_t> wishing;
    for (size_t c = 0; c < count; ++c)
        if (widths[c] > designed[c])
            wishing.push_back(c);
    std::sort(wishing.begin(), wishing.end(), [&](size_t a, size_t b) {
        return widths[a] - designed[a] < widths[b] - designed[b];
    });
    long long free = available - base;
    for (size_t i = 0; i < wishing.size(); ++i) {
        const size_t c = wishing[i];
        const long long share = free / static_cast<long long>(wishing.size() - i);
        const int grant = static_cast<int>(std::min<long long>(widths[c] - designed[c], share));
        widths[c] = designed[c] + grant;
        free -= grant;
    }
    return widths;
}

namespace {

// Draws the cells without the focus frame, which on a list of marks looks
// like a second selection.
class ReportListDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

} // namespace

ReportList::ReportList(const QStringList& headers, const std::vector<int>& widths, QWidget* parent)
    : QTableWidget(0, static_cast<int>(headers.size()), parent)
{
    setHorizontalHeaderLabels(headers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(false);
    m_designedWidths.assign(static_cast<size_t>(columnCount()), 100);
    for (int c = 0; c < static_cast<int>(widths.size()) && c < columnCount(); ++c)
        m_designedWidths[static_cast<size_t>(c)] = widths[static_cast<size_t>(c)];
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, m_designedWidths[static_cast<size_t>(c)]);
    setItemDelegate(new ReportListDelegate(this));
    setTextElideMode(Qt::ElideRight);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    QPalette look = palette();
    look.setColor(QPalette::Base, textBackground());
    look.setColor(QPalette::AlternateBase, textBackground());
    setPalette(look);
    widenToFit();
}

static int textPadding(const QWidget* widget)
{
    return 2 * widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 10;
}

int ReportList::neededWidth(int column) const
{
    const QFontMetrics metrics(font());
    const QFontMetrics headerMetrics(horizontalHeader()->font());
    const int padding = textPadding(this);
    const QTableWidgetItem* header = horizontalHeaderItem(column);
    int needed = header ? headerMetrics.horizontalAdvance(header->text()) + padding : 0;
    for (int r = 0; r < rowCount(); ++r)
        needed = std::max(needed, metrics.horizontalAdvance(text(r, column)) + padding);
    return needed;
}

void ReportList::widenToFit()
{
    std::vector<int> needed;
    for (int c = 0; c < columnCount(); ++c)
        needed.push_back(neededWidth(c));
    // The visible width, leaving room for a vertical scroll bar.
    const int available = width() - 2 * frameWidth() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const std::vector<int> widths = fitColumnWidths(m_designedWidths, needed, available);
    for (int c = 0; c < columnCount(); ++c)
        if (columnWidth(c) != widths[static_cast<size_t>(c)])
            setColumnWidth(c, widths[static_cast<size_t>(c)]);
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            if (QTableWidgetItem* cell = item(r, c))
                updateToolTip(cell);
}

void ReportList::updateToolTip(QTableWidgetItem* cell) const
{
    const bool cut = fontMetrics().horizontalAdvance(cell->text()) + textPadding(this) > columnWidth(cell->column());
    const QString tip = cut ? cell->text() : QString();
    if (cell->toolTip() != tip)
        cell->setToolTip(tip);
}

void ReportList::setRowLocked(int row, bool locked)
{
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* cell = item(row, c);
        if (!cell)
            continue;
        cell->setFlags(locked ? Qt::ItemIsSelectable : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cell->setBackground(locked ? QBrush(lockedBackground()) : QBrush());
    }
}

void ReportList::keyboardSearch(const QString& search)
{
    const bool fresh = !m_searchClock.isValid() || m_searchClock.elapsed() > QApplication::keyboardInputInterval();
    m_searchClock.start();
    m_search.type(search, fresh);
    QStringList names;
    for (int r = 0; r < rowCount(); ++r)
        names << text(r, 0);
    const int row = m_search.find(names, currentRow());
    if (row < 0)
        return;
    setCurrentCell(row, 0);
    scrollTo(model()->index(row, 0));
}

void ReportList::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    widenToFit();
}

void ReportList::setRows(const std::vector<QStringList>& rows)
{
    setRowCount(0);
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setText(r, c, c < rows[static_cast<size_t>(r)].size() ? rows[static_cast<size_t>(r)][c] : QString());
    widenToFit();
}

void ReportList::setText(int row, int column, const QString& text)
{
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setTextAlignment(Qt::AlignCenter);
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row, column, cell);
    }
    cell->setText(text);
    updateToolTip(cell);
}

QString ReportList::text(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void ReportList::setHeaderText(int column, const QString& text)
{
    QTableWidgetItem* header = horizontalHeaderItem(column);
    if (!header) {
        header = new QTableWidgetItem;
        setHorizontalHeaderItem(column, header);
    }
    header->setText(text);
    widenToFit();
}

QPoint ReportList::cellCentre(int row, int column) const
{
    return visualRect(model()->index(row, column)).center();
}

void ReportList::mousePressEvent(QMouseEvent* event)
{
    QTableWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    Q_EMIT rowClicked(index.isValid() ? index.row() : -1, index.isValid() ? index.column() : -1);
}

PlanDialog::PlanDialog(QWidget* parent, const QString& caption, int widthDlu, int heightDlu)
    : QDialog(parent), m_units(font())
{
    setWindowTitle(caption);
    applyDialogLook(*this, m_units, widthDlu, heightDlu);
}

int PlanDialog::exec()
{
    if (!m_openRefusal.isEmpty()) {
        showMessage(m_openRefusal);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void PlanDialog::load(const std::function<QString()>& step)
{
    if (!m_openRefusal.isEmpty())
        return;
    try {
        m_openRefusal = step();
    } catch (const StoreError& error) {
        m_openRefusal = error.message();
    }
}

bool PlanDialog::save(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const StoreError& error) {
        showMessage(error.message());
        return false;
    }
}

void PlanDialog::showMessage(const QString& text)
{
    QMessageBox::warning(this, windowTitle(), text);
}

void PlanDialog::place(QWidget* child, int x, int y, int w, int h)
{
    child->setGeometry(m_units.rect(x, y, w, h));
}
