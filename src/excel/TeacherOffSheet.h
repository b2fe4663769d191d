#pragma once

#include "base/RuleRows.h"
#include "excel/SheetCells.h"

#include <QString>
#include <QStringList>

#include <vector>

// The optional second worksheet of a teacher-assignment workbook: when each
// teacher cannot teach. Row 1 holds headers: column A anything ("教师"), then
// day names ("星期一" … "星期日", "周一" …) in any columns. Each further row
// names a teacher in column A; a day's cell lists what is off that day:
// "全天" (or "0"), "上午", "下午", or periods "1,2" (separated by commas,
// "、" or blanks); an empty cell is none. A row that cannot be read (an
// unknown teacher, a cell of other text, a period outside 1–9, a cell longer
// than a cell may be) is left out whole and named in `notes`, and so is a
// header column that names no day. A sheet whose first row names no day is
// not such a sheet (a workbook may keep anything else there).
struct TeacherOffSheet
{
    std::vector<RuleRows::TeacherOffRow> rows; // 星期 as "1".."7"
    QStringList notes;
    // The first row names a day: the sheet holds times off.
    bool isTimesOff = false;

    // `teachers`: the names of the assignment imported with it.
    static TeacherOffSheet Parse(const SheetCells& cells, const QStringList& teachers);
};
