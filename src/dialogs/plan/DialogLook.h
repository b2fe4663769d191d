#pragma once

#include <QFont>
#include <QIcon>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QTableWidget>
#include <QDialog>
#include <QElapsedTimer>

#include "dialogs/plan/NameSearch.h"

#include <functional>

#include <vector>

class QDialog;
class QWidget;

// Keeps a window on the screen: x and y are pulled back to 0, and the right
// and bottom edges back onto the screen edge, in this order, so a window
// wider than the screen ends with a negative x.
QPoint placeOnScreen(const QRect& proposed, const QSize& screen);

// Dialog units to pixels through the average character size of a font, as
// dialog templates are laid out: x * baseX / 4, y * baseY / 8.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }
    int x(int dlu) const;
    int y(int dlu) const;
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;
    // A pixel rectangle laid out for the classic dialog font (base units
    // 6 x 13), scaled to this font, so that what is drawn in pixels keeps its
    // place among the controls.
    QRect scaledPixels(const QRect& designed) const;

private:
    int m_baseX = 6;
    int m_baseY = 13;
};

// The icon of every planning dialog (the program's icon 128).
QIcon dialogIcon();

// Sets the icon and the placement rule on a planning dialog, and fixes its
// client size from dialog units.
void applyDialogLook(QDialog& dialog, const DialogUnits& units, int widthDlu, int heightDlu);

// The widths of a list's columns: each as wide as its texts need (never
// narrower than designed), as long as all fit in the visible width. When they
// do not, the widened columns share what the designed widths leave free, so
// a long name is shortened rather than pushing the next column out of view;
// a list that scrolls sideways anyway lets no column take more than half of
// the visible width.
std::vector<int> fitColumnWidths(const std::vector<int>& designed, const std::vector<int>& needed, int available);

// A report list as the planning dialogs show them: grid lines, full-row
// selection, the text background RGB(180,180,100), centred columns of the
// given pixel widths, no row numbers and no in-place editing. A text wider
// than its column ends in "…" and shows whole as the cell's tooltip. No focus
// frame is drawn (the marks and the selected row show where the user is).
// rowClicked is emitted for every left click, with row -1 below the last row.
class ReportList : public QTableWidget
{
    Q_OBJECT

public:
    static QColor textBackground() { return QColor(180, 180, 100); }
    // Rows that cannot be changed: a paler background and grey text.
    static QColor lockedBackground() { return QColor(222, 222, 205); }

    ReportList(const QStringList& headers, const std::vector<int>& widths, QWidget* parent = nullptr);

    // Replaces all rows; a missing text is an empty cell.
    void setRows(const std::vector<QStringList>& rows);
    void setText(int row, int column, const QString& text);
    QString text(int row, int column) const;
    void setHeaderText(int column, const QString& text);
    // Fits the columns to their texts and the visible width
    // (fitColumnWidths) and gives every shortened text its tooltip.
    void widenToFit();
    // Shows a row as one that cannot be changed (or as a normal one again).
    void setRowLocked(int row, bool locked);
    // Centre of a cell in viewport coordinates (for tests and the editor).
    QPoint cellCentre(int row, int column) const;
    // The width the texts of a column need.
    int neededWidth(int column) const;
    // Typing part of a name goes to the first row whose first column
    // contains it (NameSearch); keys typed in quick succession add up.
    void keyboardSearch(const QString& search) override;

Q_SIGNALS:
    void rowClicked(int row, int column);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateToolTip(QTableWidgetItem* cell) const;

    std::vector<int> m_designedWidths;
    NameSearch m_search;
    QElapsedTimer m_searchClock;
};

// The base of the planning dialogs: the look above, a refusal found while
// loading (shown instead of the dialog by exec()), and a guarded save that
// shows the store's message and keeps the dialog open on a failure.
class PlanDialog : public QDialog
{
    Q_OBJECT

public:
    PlanDialog(QWidget* parent, const QString& caption, int widthDlu, int heightDlu);

    const DialogUnits& units() const { return m_units; }
    // Text of a message shown by this dialog (also for the refusal on open).
    const QString& openRefusal() const { return m_openRefusal; }

    // Shows the refusal and returns Rejected when loading failed.
    int exec() override;

protected:
    // Runs a load step; a StoreError or a refusal text becomes the open refusal.
    void load(const std::function<QString()>& step);
    // Runs a save; true when it wrote. On a StoreError the store's message is
    // shown and the dialog stays as it is.
    bool save(const std::function<void()>& step);
    void showMessage(const QString& text);
    // Places a child at dialog units x, y, w, h.
    void place(QWidget* child, int x, int y, int w, int h);

private:
    DialogUnits m_units;
    QString m_openRefusal;
};
