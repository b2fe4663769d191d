#pragma once

#include "view/daily/DailyIndex.h"
#include "view/daily/DayList.h"
#include "view/daily/DayTimetable.h"

#include <map>
#include <memory>
#include <vector>

// One way to give an affected lesson.
struct Suggestion
{
    // Why a substitute comes where it does: same subject, a teacher of the
    // class, anyone free.
    enum class Group { SameSubject, SameClass, AnyoneFree };

    CoverKind kind = CoverKind::Substitute;
    // Substitute:
    QString teacher;
    Group group = Group::AnyoneFree;
    int monthCovers = 0; // substitutions in the month up to the lesson's date
    int dayLessons = 0;  // lessons that day, covers included
    // Swap: the class's lesson given in this lesson's place; the absent
    // teacher gives theirs at that date and period instead.
    QDate swapDate;
    int swapPeriod = -1;
    QString swapSubject;
    QString swapTeacher;

    // "张三", "调课：星期三 第2节 数学（李四）", "自习".
    QString text() const;
};

// The suggestions for one affected lesson, best first: substitutes, then
// swaps, then self-study.
struct LessonSuggestions
{
    AffectedLesson lesson;
    std::vector<Suggestion> suggestions;
};

// Ranks who and what can give the lessons of absent teachers.
//
// A substitute is a teacher of the timetable free in that period on that date:
// not teaching (covers of the date counted), not away, not beyond a daily
// limit of 教师课时限制. Those teaching the lesson's subject come first, then
// the class's other teachers, then anyone; within each, fewer substitutions
// in the month so far first, then fewer lessons that day, then the name.
//
// A swap exchanges the lesson with another lesson of the same class that day
// or that week (Monday to Sunday), for those dates only: that lesson's
// teacher must be present and free in this period, and the absent teacher
// present and free in that one. Lessons already changed and combined lessons
// are not swapped. Same day first, then the nearest days.
class SubstituteFinder
{
public:
    explicit SubstituteFinder(const DailyData& data);

    const DailyIndex& index() const { return m_index; }

    DayList dayList(const QDate& date) const { return buildDayList(m_data, m_index, date); }
    // The day's list, each lesson with its suggestions.
    std::vector<LessonSuggestions> forDate(const QDate& date) const;
    LessonSuggestions forLesson(const AffectedLesson& lesson) const;

private:
    const DayTimetable& dayOf(const QDate& date) const;
    void addSwaps(const AffectedLesson& lesson, const DayTimetable& here, std::vector<Suggestion>& out) const;

    const DailyData& m_data;
    DailyIndex m_index;
    mutable std::map<QDate, std::unique_ptr<DayTimetable>> m_days; // with every cover
};
