#pragma once

#include "base/Failure.h"

class TimetableData;

// Reading and writing the saved timetable: 课表 and 课表教师 (one row per class,
// 63 slot columns "11" .. "79"). 固定科目 and 合班设置 are read with it; the
// constraint dialogs own them, so a save changes 固定科目 only where a fixed
// lesson was moved by hand and never touches 合班设置. Works on the shared
// connection; a database failure throws StoreError, to be caught at the
// command's edge.
class TimetableStore
{
public:
    // Fills the timetable from 周工作计划, 课表, 课表教师, 任教科目, 固定科目 and
    // 合班设置, in that order, and marks it saved. Rows after the first "H" key
    // are not read; fixed lessons and combined groups naming a class or subject
    // the timetable does not have are dropped. A week beyond 7 days of 9
    // periods is refused (the saved layout has no columns for it) and leaves
    // an empty timetable.
    static Status LoadSavedTimetable(TimetableData& data);

    // Rewrites 课表 and 课表教师 from the timetable and writes the fixed
    // lessons moved by hand since the load, the run or the last save
    // (fixedMoves) into the rows of 固定科目 as they are in the file now, all
    // in one transaction; then marks the timetable saved and clears the
    // moves. A moved lesson whose row was deleted or changed meanwhile is not
    // written back; every other row, and 合班设置, stay as they are. After a
    // failure the tables are as they were, and the timetable still counts as
    // changed with its moves kept.
    static void SaveTimetable(TimetableData& data);
};
