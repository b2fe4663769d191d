#pragma once

#include "view/daily/DailyRecords.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

class DailyIndex;

// A lesson of the saved timetable that an absence touches on a date: one per
// period, with every class of a combined lesson.
struct AffectedLesson
{
    QDate date;
    int day = -1;    // timetable day the date follows
    int period = 0;  // 0-based
    QStringList classes; // in class order; the first names the choice
    QString subject;
    QString teacher; // the absent teacher
    QString reason;  // of the absence
    int cover = -1;  // the choice made for it (index into DailyData::covers), -1: none yet
    QString problem; // why that choice no longer fits; empty when it does
};

// A choice that fits no lesson of the day's list any more (its absence was
// removed, the lesson moved): kept in the file and shown with the reason.
struct UnmatchedCover
{
    int cover = -1;
    QString problem;
};

// The day's list: every lesson the absences touch on a date, with the choice
// made for it, and what no longer fits.
struct DayList
{
    QDate date;
    int day = -1; // -1: no lessons on this date
    std::vector<AffectedLesson> lessons; // by period, then class
    std::vector<UnmatchedCover> unmatched;
    QStringList absenceNotes; // absences of the date that touch nothing they could

    // The lesson of a class in a period, or nullptr.
    const AffectedLesson* find(int period, const QString& className) const;
};

// Builds the day's list from the saved timetable, the calendar, the absences
// and the covers.
DayList buildDayList(const DailyData& data, const DailyIndex& index, const QDate& date);

// Why a choice no longer fits the saved timetable and the calendar (the cells
// it was made on hold something else now, its date or the swapped one has no
// lessons any more); empty when it fits. Does not look at the absences.
QString coverProblem(const DailyData& data, const Cover& cover);

// The lessons an absence touches, date by date, over its whole range.
std::vector<AffectedLesson> absenceLessons(const DailyData& data, const DailyIndex& index, const Absence& absence);
