#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Writers of the planning tables. Each runs in a Transaction, joining the
// caller's when one is open, so a dialog's "保存" that writes several tables
// either writes them all or none.
namespace PlanStore {

// 周工作计划: the row every reader uses, the last one; row 1 is added to an
// empty table.
void saveWeek(int days, int periods);
// 任教科目 rows 1..24, one name per row ("H" for an unused position).
void saveSubjects(const QStringList& names);
// 教师分工: one row per class, 26 texts each (grade, class, teachers of subjects 1..24).
void saveAssignments(const std::vector<QStringList>& rows);
// 周课时计划 row gradeRow + 1: the weekly total and the counts of subjects 1..24.
void saveWeeklyPlanRow(int gradeRow, int total, const std::vector<int>& counts);
// 固定科目: class, day "1".., period "1".., subject.
void saveFixedLessons(const std::vector<QStringList>& rows);
// 合班设置: subject, five members ("H" for an empty place).
void saveCombinedClasses(const std::vector<QStringList>& rows);
// 科目要排节次 / 教师要排节次: class, zones of days 1..7; 24 rows per class.
void saveSubjectZones(const std::vector<QStringList>& rows);
void saveTeacherZones(const std::vector<QStringList>& rows);

} // namespace PlanStore
