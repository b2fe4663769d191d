#pragma once

#include "base/PlanVocabulary.h"
#include "view/FixedMoveLog.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

class PlanningModel;

// The timetable itself, without any display: the week, the classes, the subject
// names, the two text grids and the fixed lessons and combined groups that go
// with them. What the saved timetable, the JSON writer and the export take.
//
// Layouts (S = dayCount × periodCount):
//   subjectGrid, teacherGrid: S + 1 entries per class c from c·(S+1): the class
//     name, then the slot (d, p) at 1 + d·periodCount + p; "H" is a free slot.
//   fixedLessons: groups of 4 (class index, day index, period index, subject number).
//   combinedClasses: groups of 6 (subject number, five class indexes, -1 empty).
// Reach into them through the accessors below.
//
// fixedMoves records, by name, every fixed lesson moved through
// setFixedLesson or setFixedLessons since the timetable was loaded, handed
// over by a run or saved: the save writes those moves, and only those, to
// 固定科目.
//
// A change counter tells whether the timetable shown differs from the saved
// one: every change made through this class (a lesson set, a fixed lesson
// moved, a run handed over) counts; loading and saving (TimetableStore) mark
// the current state as saved. Code that writes the lists directly calls
// touch().
class TimetableData
{
public:
    // The week and the classes.
    int classCount = 0;
    int dayCount = 0;
    int periodCount = 0;

    // Lists.
    QStringList subjectNames = QStringList(Plan::kSubjectSlots, QString()); // entry n-1 names subject n
    std::vector<int> fixedLessons;
    std::vector<int> combinedClasses;
    QStringList subjectGrid;
    QStringList teacherGrid;
    FixedMoveLog fixedMoves; // hand moves of fixed lessons not yet in 固定科目

    // ---- Shape and accessors ------------------------------------------------

    // S: slots of one class in the grids.
    int slotCount() const { return dayCount * periodCount; }
    // Entries of one class in the grids (S + 1).
    int classStride() const { return slotCount() + 1; }

    // Slot column j of (day, period).
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
    void setLesson(int c, int d, int p, const QString& subjectName, const QString& teacherName);

    // Builds empty grids: classes named by classNames, every slot "H".
    // Lists and subject names are left alone.
    void resetGrids(int days, int periods, const QStringList& classNames);

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
    // Moves fixed lesson i (a swap by hand): recorded in fixedMoves.
    void setFixedLesson(int i, const FixedLesson& lesson);
    // Puts back a whole list of the same fixed lessons (undo and redo of a
    // swap); the groups that differ are recorded as moves in fixedMoves.
    void setFixedLessons(const std::vector<int>& lessons);
    // The 固定科目 row of a fixed lesson, or nothing when its class or
    // subject names no row or subject of this timetable.
    std::optional<FixedMoveLog::Row> fixedLessonRow(const FixedLesson& lesson) const;
    void appendFixedLesson(const FixedLesson& lesson);

    // combinedClasses.
    int combinedGroupCount() const { return static_cast<int>(combinedClasses.size()) / Plan::kCombinedGroup; }
    int combinedSubject(int g) const { return combinedClasses[static_cast<size_t>(g * Plan::kCombinedGroup)]; }
    // Member k (0..4) of group g: a class index or -1.
    int combinedMember(int g, int k) const
    {
        return combinedClasses[static_cast<size_t>(g * Plan::kCombinedGroup + 1 + k)];
    }
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

    // How a master-table cell is marked, in the drawing's order of precedence
    // (fixed over combined over conflict). Free cells are Normal.
    enum class CellMark { Normal, Conflict, Combined, Fixed };
    CellMark MarkOf(int c, int d, int p) const;

    // The hand-off at the end of a scheduling run: the planning model's week,
    // classes, subject names, fixed lessons, combined classes and text grids
    // replace this timetable's. Groups with a subject outside 1..24 or a class
    // index that is not a row are left out. The fixed lessons are the file's
    // as the run read them: no move is left to write. Counts as a change.
    void PublishToView(const PlanningModel& plan);

    // ---- Changes ---------------------------------------------------------------

    // Goes up by one with every change.
    std::uint64_t revision() const { return m_revision; }
    // True when the timetable differs from the one last loaded or saved.
    bool isModified() const { return m_revision != m_savedRevision; }
    // The current state is the saved one (after a load or a save).
    void markSaved() { m_savedRevision = m_revision; }
    // Records a change made to the lists directly.
    void touch() { ++m_revision; }

private:
    int gridIndex(int c, int d, int p) const { return c * classStride() + 1 + slotColumn(d, p); }

    std::uint64_t m_revision = 0;
    std::uint64_t m_savedRevision = 0;
};
