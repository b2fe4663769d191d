#pragma once

#include "base/Failure.h"

class TimetableData;

// Reading and writing the saved timetable: 课表 and 课表教师 (one row per class,
// 63 slot columns "11" .. "79"), with 固定科目 and 合班设置 written back from
// the timetable's lists. Works on the shared connection; a database failure
// throws StoreError, to be caught at the command's edge.
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

    // Rewrites 课表, 课表教师, 固定科目 and 合班设置 from the timetable in one
    // transaction and marks it saved: after a failure all four tables are as
    // they were, and the timetable still counts as changed.
    static void SaveTimetable(TimetableData& data);
};
