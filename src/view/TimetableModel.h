#pragma once

#include "view/TeacherTable.h"
#include "view/TimetableData.h"
#include "view/TimetableLayout.h"
#include "view/TimetableSelection.h"

#include <optional>

class PlanningModel;

// The timetable the main window shows, adjusts by hand, saves and exports,
// without any pixels: the timetable data, plus one object for each concern of
// its display (the teacher table, the layout, the selection). The widget owns
// one and draws it; the steps that tie the concerns together live here.
class TimetableModel : public TimetableData
{
public:
    using Cell = TimetableLayout::Cell;

    TeacherTable teachers;
    TimetableLayout layout;
    TimetableSelection selection;

    // The hand-off of a run (see TimetableData); the teacher table of the old
    // grids is dropped.
    void PublishToView(const PlanningModel& plan);
    // Empty grids (see TimetableData); the teacher table is dropped.
    void resetGrids(int days, int periods, const QStringList& classNames);

    // Rebuilds the teacher table from the grids.
    void BuildTeacherTable() { teachers.BuildTeacherTable(*this); }

    // Sets the mode and its geometry (building the teacher table when it is
    // shown) and selects (0, 0, 0); swapArmed is kept.
    // screenWidth: width of the primary screen in pixels.
    void SetDisplayMode(DisplayMode mode, int screenWidth);
    // The geometry of the current mode, without touching the selection.
    void UpdateGeometry(int screenWidth) { layout.UpdateGeometry(*this, teachers.teacherCount(), screenWidth); }

    std::optional<Cell> MasterCellAt(int x, int y, int scrollX, int scrollY) const
    {
        return layout.MasterCellAt(*this, x, y, scrollX, scrollY);
    }
    int TeacherRowAt(int y, int scrollY) const { return layout.TeacherRowAt(y, scrollY); }
    bool IsMovableSlot(int d, int p) const { return selection.IsMovableSlot(*this, d, p); }

    // Left click in the master table (with or without adjustment): selects the
    // cell and arms the swap. Returns true when the selection changed (repaint);
    // clicks outside the cells change nothing.
    bool SelectMasterCell(int x, int y, int scrollX, int scrollY);
    // Left click in the teacher table: selects the teacher row. Clicks on the
    // header lines change nothing (false). swapArmed is not touched.
    bool SelectTeacherRow(int y, int scrollY);

    // The names of the rows shown: the classes of the master table, the
    // teachers of the teacher table (empty on the home screen).
    QStringList rowNames() const;
    // Selects a row found by name: a class keeps the selected day and period
    // (the first slot when there is none) without arming a swap; a teacher row
    // is selected as a click selects it.
    void SelectRow(int row);
};
