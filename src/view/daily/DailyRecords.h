#pragma once

#include "view/TimetableData.h"
#include "view/daily/TermCalendar.h"

#include <QDate>
#include <QString>

#include <map>
#include <vector>

// What the office records day by day, beside the term's timetable, which it
// never changes. Names are kept as stored (a teacher deleted from the plan
// keeps the history); periods are 0-based in memory.

// A teacher away from `from` to `to` (both included), in the listed periods
// or, when none are listed, all day.
struct Absence
{
    int id = 0; // 编号 of its row
    QString teacher;
    QDate from;
    QDate to;
    std::vector<int> periods; // 0-based, ascending; empty: every period
    QString reason;

    bool covers(const QDate& date) const { return date >= from && date <= to; }
    bool coversPeriod(const QDate& date, int period) const;
};

// How a lesson of an absent teacher is given on its date.
enum class CoverKind {
    Substitute, // another teacher takes it (代课)
    Swap,       // exchanged with another lesson of the class for these dates (调课)
    SelfStudy,  // the class studies on its own (自习)
};
QString coverKindText(CoverKind kind);            // "代课", "调课", "自习"
bool coverKindFromText(const QString& text, CoverKind& kind);

// The choice for one lesson: the date, the period and the class (the first
// class of a combined lesson). With it, what the saved timetable had in that
// cell (and in the swapped one) when it was chosen: a choice whose cells hold
// something else now no longer fits and is flagged, never dropped.
struct Cover
{
    int id = 0; // 编号 of its row
    QDate date;
    int period = 0;
    QString className;
    QString absentTeacher;
    CoverKind kind = CoverKind::Substitute;
    QString substitute; // Substitute: who takes the lesson
    QString subject;    // the lesson as chosen
    QString teacher;
    // Swap: the lesson of the same class given in this lesson's place; the
    // absent teacher's lesson goes to its date and period.
    QDate swapDate;
    int swapPeriod = -1;
    QString swapSubject;
    QString swapTeacher;
};

// Everything the daily work reads: the saved timetable, the calendar, the
// absences, the covers and the teachers' daily limits (0 or missing: none).
struct DailyData
{
    TimetableData timetable;
    TermCalendar calendar;
    std::vector<Absence> absences;
    std::vector<Cover> covers;
    std::map<QString, int> dailyLimits;
};
