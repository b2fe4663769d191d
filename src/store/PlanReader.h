#pragma once

#include "base/Failure.h"
#include "base/SchoolPlan.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// Reads the school's plan and its constraints from the open planning database
// into a SchoolPlan. The one reader of these tables: the scheduling run, the
// dialogs and the saved timetable read them by the same rules. Throws
// StoreError on a database failure.
namespace PlanReader {

// Reads 周工作计划, 任教科目, 教师分工 and 周课时计划. classCount becomes the
// number of class rows read (up to the first row whose grade or class is "H").
// Refuses a plan outside the limits (more than 7 days or 9 periods, a subject
// after the 24th), with everything read nonetheless.
Status LoadPlan(SchoolPlan& plan);

// Reads 固定科目, 科目要排节次, 教师要排节次 and 合班设置 into fixedLessons,
// subjectZones, teacherZones and combinedClasses. Rows that name an unknown
// class or subject, or a day or period outside the week, are dropped. The
// scheduling rules go into `rules` (RulesReader), their unusable rows named in
// `rules.skipped`. Needs LoadPlan first.
void LoadConstraints(SchoolPlan& plan);

// LoadPlan, then LoadConstraints when the plan was not refused.
Status Load(SchoolPlan& plan);

// ---- Rules shared with the saved timetable ----------------------------------

// A name to its number: class index or subject number, -1 for an unknown name.
using NameLookup = std::function<int(const QString&)>;

// 周工作计划: every row is read, the last one counts. With no row, days and
// periods keep their values.
void ReadWeek(int& days, int& periods);

// 固定科目 up to the first row without a class, as groups of 4 (class index,
// 0-based day, 0-based period, subject number). Rows naming an unknown class or
// subject are dropped. With a week (days, periods), rows outside it are dropped
// too; without one, day and period are kept as written.
std::vector<int> ReadFixedLessons(const NameLookup& classIndex, const NameLookup& subjectNumber,
                                  std::optional<std::pair<int, int>> week);

// 合班设置 up to the first row without a subject, as groups of 6 (subject
// number, five class indexes, -1 for an empty place). A row naming an unknown
// subject or member is dropped whole.
std::vector<int> ReadCombinedClasses(const NameLookup& classIndex, const NameLookup& subjectNumber);

} // namespace PlanReader
