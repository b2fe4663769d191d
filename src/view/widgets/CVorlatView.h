#pragma once

#include "view/PrintChoice.h"
#include "view/TimetableModel.h"
#include "view/widgets/HomeScreen.h"
#include "view/widgets/TimetablePainter.h"

#include <QAbstractScrollArea>
#include <QUndoStack>

class PlanningModel;

// The main window's view: the home screen while no timetable is shown, the
// master table, the adjustment mode or the teacher table otherwise. It owns
// the timetable shown and loads the saved one while it is constructed.
class CVorlatView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit CVorlatView(QWidget* parent = nullptr);

    TimetableModel& model() { return m_model; }
    const TimetableModel& model() const { return m_model; }
    const HomeScreen& home() const { return m_home; }
    // The store's message when the saved timetable could not be read, else empty.
    const QString& loadError() const { return m_loadError; }

    // Switches the display (home, master, adjustment, teacher table).
    void SetDisplayMode(int showTimetable, int showTeacherTable, int adjustMode);
    // A finished scheduling run replaces the timetable shown, as one undo
    // step: undo brings back the timetable it replaced, hand swaps and all.
    void PublishToView(const PlanningModel& plan);
    // Writes the timetable; on failure shows the store's message and returns false.
    bool SaveTimetable();

    // The timetable shown differs from the saved one.
    // The undo history's clean state is the timetable last loaded or saved.
    bool isModified() const { return !m_undo.isClean(); }
    QUndoStack& undoStack() { return m_undo; }

    // The subject grid as the last run, optimisation or load left it: the
    // cells that differ from it were changed by hand since.
    const QStringList& baseline() const { return m_baseline; }
    // An optimised timetable replaces the shown one as one undo step; undo
    // brings back the grids, the fixed lessons and the baseline. The first
    // step is done here (QUndoStack::push).
    void replaceTimetable(const TimetableData& result, const QString& undoText);

    // Goes to the row whose name contains `text` (a class of the master
    // table, a teacher of the teacher table): from the selected row on, or,
    // with `next`, from the row after it; selects it and scrolls it into view
    // under the header band. False when no row matches (nothing changes).
    bool FindRow(const QString& text, bool next);

    // Width of the primary screen, which sets the master table's column width.
    static int screenWidth();

Q_SIGNALS:
    // A home-screen click asks for a dialog or the scheduling run.
    void homeAction(HomeScreen::Action action);
    void modifiedChanged(bool modified);
    // A right click on a class's name (master table) or a teacher's row
    // (teacher table) asks for that class's or teacher's own page.
    void nameMenuRequested(const PrintChoice::Named& named, const QPoint& globalPos);
    // Two lessons of a class were exchanged by hand.
    void swapped(int classIndex, int day0, int period0, int day1, int period1);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();
    // The home picture is painted for the viewport, and its areas are placed on it alike.
    QSize homeSize() const { return viewport()->size(); }
    void notifyModified();
    void warmNextPicture();
    // Right click in adjustment mode: the swap with its questions, as one undo step.
    void RightClickSwap(QPoint pos, int scrollX, int scrollY);
    // After an undo or redo.
    void timetableChanged();

    TimetableModel m_model;
    QStringList m_baseline;
    HomeScreen m_home;
    QString m_loadError;
    QUndoStack m_undo;
    bool m_lastModified = false;
    TimetablePainter::MarkTable m_marks; // the cells' marks, per change of the timetable
    QSize m_warmedSize;  // the size the home pictures are being painted for
    int m_warmNext = 0;
};
