#pragma once

#include <QDate>
#include <QString>

#include <map>

// The school term: its first day, its number of weeks, the days without
// lessons (holidays) and the make-up days (调休: a Saturday or a Sunday that
// follows a given weekday's timetable). Decides which weekday's lessons a date
// has. Plain data.
//
// The term's weeks run Monday to Sunday, the first one being the week of the
// first day; the term ends on the Sunday of its last week. Days before the
// first day and after that Sunday have no lessons, whatever is recorded for
// them.
class TermCalendar
{
public:
    struct SpecialDay
    {
        enum class Kind { Holiday, MakeUp };
        Kind kind = Kind::Holiday;
        int weekday = 0; // the timetable day (0 = 星期一) a make-up day follows
    };

    QDate firstDay;
    int weeks = 0;
    std::map<QDate, SpecialDay> specialDays;

    bool isSet() const { return firstDay.isValid() && weeks > 0; }
    QDate lastDay() const;
    bool inTerm(const QDate& date) const;
    // The teaching week of a date in the term, 1-based; 0 outside it.
    int weekOf(const QDate& date) const;

    // The timetable day (0-based) whose lessons the date has in a week of
    // `dayCount` days, or -1 for none: outside the term, a holiday, a day the
    // week does not have (a Saturday in a five-day week), a make-up day
    // following a day beyond the week.
    int timetableDay(const QDate& date, int dayCount) const;

    // "1".."7", "周一".."周日", "星期一".."星期天"/"星期日" to 0..6, or -1.
    static int parseWeekday(const QString& text);
    // A date written YYYY-MM-DD, invalid otherwise.
    static QDate parseDate(const QString& text);
    static QString dateText(const QDate& date) { return date.toString(Qt::ISODate); }
};
