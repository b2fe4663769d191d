#pragma once

#include "base/PlanVocabulary.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class PlanningModel;

// The timetable the main window shows, adjusts by hand, saves and exports:
// the grid model of CVorlatView without any pixels. The widget owns one and
// draws it; every rule that needs no painter lives here.
//
// Layouts (S = dayCount × periodCount):
//   subjectGrid, teacherGrid: S + 1 entries per class c from c·(S+1): the class
//     name, then the slot (d, p) at 1 + d·periodCount + p; "H" is a free slot.
//   teacherTable: S + 2 entries per teacher t from t·(S+2): the name, the
//     weekly lesson count ("%d"), then the slot (d, p) at 2 + d·periodCount + p
//     holding "class subject" or "H".
//   fixedLessons: groups of 4 (class index, day index, period index, subject number).
//   combinedClasses: groups of 6 (subject number, five class indexes, -1 empty).
// Reach into them through the accessors below.
class TimetableModel
{
public:

    TimetableModel();

    // Display flags (0 or 1 each), passed in by SetDisplayMode.
    int showTimetable = 0;
    int showTeacherTable = 0;
    int adjustMode = 0;

    // The week and the classes.
    int classCount = 0;
    int dayCount = 0;
    int periodCount = 0;

    // Geometry in pixels.
    int cellWidth = 45;
    int cellHeight = 25;
    int contentHeight = 0;
    int contentWidth = 0;

    // Selection: class row (master table) or teacher row (teacher table); -1 = none.
    int selectedClass = -1;
    int selectedDay = -1;
    int selectedPeriod = -1;
    int swapArmed = 0; // 1 after a left-click selected a master-table cell

    // Lists.
    QStringList subjectNames = QStringList(Plan::kSubjectSlots, QString()); // entry n-1 names subject n
    std::vector<int> fixedLessons;
    std::vector<int> combinedClasses;
    QStringList subjectGrid;
    QStringList teacherGrid;
    QStringList teacherTable;

    // ---- Shape and accessors ------------------------------------------------

    // S: slots of one class in the grids.
    int slotCount() const { return dayCount * periodCount; }
    // Entries of one class in the grids (S + 1) and of one teacher in teacherTable (S + 2).
    int classStride() const { return slotCount() + 1; }
    int teacherStride() const { return slotCount() + 2; }

    // Slot column j of (day, period) and back.
    int slotColumn(int day, int period) const { return day * periodCount + period; }
    bool isCell(int c, int d, int p) const
    {
        return c >= 0 && c < classCount && d >= 0 && d < dayCount && p >= 0 && p < periodCount;
    }

    // The class name that counts (subjectGrid) and the one carried by teacherGrid.
    const QString& className(int c) const { return subjectGrid[c * classStride()]; }
    const QString& teacherGridClassName(int c) const { return teacherGrid[c * classStride()]; }
    const QString& subject(int c, int d, int p) const { return subjectGrid[gridIndex(c, d, p)]; }
    const QString& teacher(int c, int d, int p) const { return teacherGrid[gridIndex(c, d, p)]; }
    void setLesson(int c, int d, int p, const QString& subjectName, const QString& teacherName)
    {
        subjectGrid[gridIndex(c, d, p)] = subjectName;
        teacherGrid[gridIndex(c, d, p)] = teacherName;
    }

    // Builds empty grids: classes named by classNames, every slot "H".
    // Lists and subject names are left alone.
    void resetGrids(int days, int periods, const QStringList& classNames);

    // teacherTable, valid after the last BuildTeacherTable.
    int teacherCount() const { return static_cast<int>(teacherTable.size()) / teacherStride(); }
    const QString& teacherName(int t) const { return teacherTable[t * teacherStride()]; }
    const QString& teacherWeeklyCount(int t) const { return teacherTable[t * teacherStride() + 1]; }
    const QString& teacherSlot(int t, int d, int p) const
    {
        return teacherTable[t * teacherStride() + 2 + slotColumn(d, p)];
    }

    // fixedLessons.
    struct FixedLesson
    {
        int classIndex = 0;
        int day = 0;
        int period = 0;
        int subject = 0;
    };
    int fixedLessonCount() const { return static_cast<int>(fixedLessons.size()) / Plan::kFixedGroup; }
    FixedLesson fixedLesson(int i) const;
    void setFixedLesson(int i, const FixedLesson& lesson);
    void appendFixedLesson(const FixedLesson& lesson);

    // combinedClasses.
    int combinedGroupCount() const { return static_cast<int>(combinedClasses.size()) / Plan::kCombinedGroup; }
    int combinedSubject(int g) const { return combinedClasses[static_cast<size_t>(g * Plan::kCombinedGroup)]; }
    // Member k (0..4) of group g: a class index or -1.
    int combinedMember(int g, int k) const { return combinedClasses[static_cast<size_t>(g * Plan::kCombinedGroup + 1 + k)]; }
    void appendCombinedGroup(int subjectNumber, const std::vector<int>& members);

    // Slot code of (day, period), both 0-based: "11" .. "79", the slot column
    // names of the saved timetable.
    static QString SlotCode(int day, int period);
    // Position of (day, period) within a saved 64-entry row (class name first).
    static int SavedSlotPosition(int day, int period) { return 1 + Plan::kMaxPeriods * day + period; }

    // ---- Queries -------------------------------------------------------------

    // 1..24 for the first equal entry of subjectNames, -1 if none.
    int SubjectNumber(const QString& name) const;
    // First class row whose name equals the name, -1 if none.
    int ClassIndex(const QString& name) const;
    // First other class whose teacher at (day, period) is this teacher (never "H"), -1 if none.
    int FindTeacherClash(const QString& teacherName, int excludedClass, int day, int period) const;
    bool IsCombinedLesson(int classIndex, int subjectNumber) const;
    // Group number of the first fixed lesson equal to all four values, -1 if none.
    int FindFixedLesson(int classIndex, int day, int period, int subjectNumber) const;
    // Rebuilds teacherTable from the grids. A grid without teachers gives an empty table.
    void BuildTeacherTable();

    // How a master-table cell is marked, in the drawing's order of precedence
    // (fixed over combined over conflict). Free cells are Normal.
    enum class CellMark { Normal, Conflict, Combined, Fixed };
    CellMark MarkOf(int c, int d, int p) const;
    // In adjustment mode: can the selected lesson move to (d, p) of its own row
    // without booking either teacher twice? False without a valid selection.
    bool IsMovableSlot(int d, int p) const;

    // ---- Filling the model ---------------------------------------------------

    // The hand-off at the end of a scheduling run: the planning model's week,
    // classes, subject names, fixed lessons, combined classes and text grids
    // replace this model's. Groups with a subject outside 1..24 or a class
    // index that is not a row are left out.
    void PublishToView(const PlanningModel& plan);

    // Reads the saved timetable from the open database (周工作计划, 课表, 课表教师,
    // 任教科目, 固定科目, 合班设置). Throws StoreError.
    void LoadSavedTimetable();
    // Writes 课表, 课表教师, 固定科目 and 合班设置 in one transaction. Changes
    // nothing in the model. Throws StoreError; the tables are then unchanged.
    void SaveTimetable() const;

    // ---- Display modes and geometry -----------------------------------------

    // Stores the flags, sets the geometry for the display (building the teacher
    // table when it is shown) and selects (0, 0, 0); swapArmed is kept.
    // screenWidth: width of the primary screen in pixels.
    void SetDisplayMode(int showTimetableFlag, int showTeacherTableFlag, int adjustModeFlag, int screenWidth);
    // The geometry of the current flags, without touching the selection.
    void UpdateGeometry(int screenWidth);

    // ---- Points and cells ----------------------------------------------------

    struct Cell
    {
        int classIndex = -1;
        int day = -1;
        int period = -1;
        bool operator==(const Cell&) const = default;
    };
    // Master table: the cell under the client point (x, y) with the view
    // scrolled to (scrollX, scrollY), or nothing outside the cells (headers,
    // class-name column, beyond the last class or slot).
    std::optional<Cell> MasterCellAt(int x, int y, int scrollX, int scrollY) const;
    // Teacher table: the row under the point, (y + scrollY) / cellHeight − 2;
    // -1 and -2 are the header lines, rows past the last teacher are returned as they are.
    int TeacherRowAt(int y, int scrollY) const;

    // Left click in the master table (with or without adjustment): selects the
    // cell and arms the swap. Returns true when the selection changed (repaint);
    // clicks outside the cells change nothing.
    bool SelectMasterCell(int x, int y, int scrollX, int scrollY);
    // Left click in the teacher table: selects the teacher row. Clicks on the
    // header lines change nothing (false). swapArmed is not touched.
    bool SelectTeacherRow(int y, int scrollY);

private:
    int gridIndex(int c, int d, int p) const { return c * classStride() + 1 + slotColumn(d, p); }
};
