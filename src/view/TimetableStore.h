#pragma once

class TimetableModel;

// Reading and writing the saved timetable: 课表 and 课表教师 (one row per class,
// 63 slot columns "11" .. "79"), with 固定科目 and 合班设置 written back from
// the model's lists. Works on the shared connection; throws StoreError.
class TimetableStore
{
public:
    // Fills the model from 周工作计划, 课表, 课表教师, 任教科目, 固定科目 and
    // 合班设置, in that order. Rows after the first "H" key are not read; fixed
    // lessons and combined groups naming a class or subject the timetable does
    // not have are dropped.
    static void load(TimetableModel& model);

    // Rewrites 课表, 课表教师, 固定科目 and 合班设置 from the model in one
    // transaction: after a failure all four tables are as they were.
    static void save(const TimetableModel& model);
};
