#pragma once

#include "view/daily/DailyRecords.h"
#include "view/daily/DayList.h"
#include "view/daily/DayTimetable.h"
#include "view/daily/SubstituteFinder.h"

#include <cstdint>
#include <QString>

#include <vector>

class DailyIndex;

// What the desktop dialogs of the daily changes show and check, as plain
// code: an absence's periods as text and back, why an absence cannot be
// recorded, the choice made from a suggestion, the state of a lesson on the
// day's list and the text and colour of a cell of the day's timetable.

// "全天" or "第1,2节".
QString absencePeriodsText(const Absence& absence);

// "1,2" (also "1，2" or "1 2") to 0-based periods, ascending and without
// repeats; empty text: all day. False with `error` set for anything else or a
// period outside 1..periodCount.
bool parseAbsencePeriods(const QString& text, int periodCount, std::vector<int>& periods, QString& error);

// Why the absence cannot be recorded against the saved timetable (no teacher,
// a teacher the timetable does not have, the end before the start, more than a
// year, a period beyond the day); empty when it can.
QString absenceRefusal(const Absence& absence, const DailyData& data, const DailyIndex& index);

// The choice recorded when the user takes `suggestion` for `lesson`: the
// lesson as the saved timetable has it, and who or what gives it.
Cover coverFor(const DailyData& data, const AffectedLesson& lesson, const Suggestion& suggestion);

// What was chosen: "代课：张三", "调课：03-04 第2节 数学（李四）", "自习".
QString coverChoiceText(const Cover& cover);

// A lesson on the day's list: what was chosen ("待安排" when nothing), and the
// warning of a choice that no longer fits ("⚠ " and the reason), never hidden.
struct LessonState
{
    QString choice;
    QString warning;
    bool arranged = false;
};
LessonState lessonState(const DailyData& data, const AffectedLesson& lesson);

// A cell of the day's timetable: subject over teacher, the term's lesson
// named when it changed; the background of its change (white when none).
QString dayCellText(const DayCell& cell);
// 0xRRGGBB (the core draws nothing).
std::uint32_t dayChangeRgb(DayChange change);
QString dayChangeName(DayChange change); // for the legend: "未安排", "代课", "调课", "自习"

// A line of the suggestions list: "张三 — 同科目，本月已代 2 节，当天 3 节",
// "调课：星期三 第2节 数学（李四）", "自习".
QString suggestionLine(const Suggestion& suggestion);
