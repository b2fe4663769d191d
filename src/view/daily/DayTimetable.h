#pragma once

#include "view/daily/DailyRecords.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class DailyIndex;

// How a lesson of a date differs from the term's timetable.
enum class DayChange {
    None,       // as in the term's timetable
    Uncovered,  // its teacher is away and nothing is chosen yet
    Substitute, // another teacher takes it (代课)
    SwappedIn,  // a lesson brought here by a swap for these dates (调课)
    SelfStudy,  // 自习
};

// One class and period of a date: what happens there and what the term's
// timetable has there.
struct DayCell
{
    QString subject = QStringLiteral("H"); // "自习" for self-study
    QString teacher = QStringLiteral("H"); // who teaches; "H" for none
    QString termSubject = QStringLiteral("H");
    QString termTeacher = QStringLiteral("H");
    DayChange change = DayChange::None;
    int cover = -1; // the choice behind a change (index into DailyData::covers)
};

// The timetable of one date: the lessons of the weekday the calendar gives
// it, with the day's covers applied and marked. A date without lessons has
// no cells (day() is -1). Plain data the views colour.
class DayTimetable
{
public:
    // skipCover: one choice left out (to find what else is possible for
    // its lesson); -1 for none.
    DayTimetable(const DailyData& data, const DailyIndex& index, const QDate& date, int skipCover = -1);

    const QDate& date() const { return m_date; }
    int day() const { return m_day; }
    bool hasLessons() const { return m_day >= 0; }
    int classCount() const { return m_classCount; }
    int periodCount() const { return m_periodCount; }
    const DayCell& cell(int c, int p) const { return m_cells[static_cast<size_t>(c * m_periodCount + p)]; }

    // Per teacher of the index: bit p set when teaching (busy) or away
    // (absent) in period p of this date.
    std::uint16_t busy(int t) const { return m_busy.empty() ? 0 : m_busy[t]; }
    std::uint16_t absent(int t) const { return m_absent.empty() ? 0 : m_absent[t]; }
    // Lessons the teacher gives on this date, covers included.
    int lessons(int t) const;

    // A teacher's day: per period the classes (joined with "、") and subject,
    // with the change, for the teacher view of a date.
    struct TeacherLesson
    {
        int period = 0;
        QStringList classes;
        QString subject;
        DayChange change = DayChange::None;
        bool away = false; // the teacher's own lesson, given by someone else or nobody
        // Given: the term's teacher and subject of the cell taken over;
        // away: who gives the cell now and what ("H" for nobody).
        QString otherTeacher;
        QString otherSubject;
    };
    std::vector<TeacherLesson> teacherDay(const QString& teacher) const;

private:
    void applyCover(const DailyData& data, int coverIndex);

    QDate m_date;
    int m_day = -1;
    int m_classCount = 0;
    int m_periodCount = 0;
    std::vector<DayCell> m_cells;
    std::vector<std::uint16_t> m_busy;
    std::vector<std::uint16_t> m_absent;
    const TimetableData* m_timetable = nullptr;
    const DailyIndex* m_index = nullptr;
};
