#include "dialogs/plan/DialogLook.h"

#include "store/StoreError.h"

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
    for (int c = 0; c < static_cast<int>(widths.size()) && c < columnCount(); ++c)
        setColumnWidth(c, widths[static_cast<size_t>(c)]);
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

void ReportList::widenToFit()
{
    const QFontMetrics metrics(font());
    const QFontMetrics headerMetrics(horizontalHeader()->font());
    const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 10;
    for (int c = 0; c < columnCount(); ++c) {
        const QTableWidgetItem* header = horizontalHeaderItem(c);
        int needed = header ? headerMetrics.horizontalAdvance(header->text()) + padding : 0;
        for (int r = 0; r < rowCount(); ++r)
            needed = std::max(needed, metrics.horizontalAdvance(text(r, c)) + padding);
        if (needed > columnWidth(c))
            setColumnWidth(c, needed);
    }
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
