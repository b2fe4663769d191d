#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The scheduling rules beside the plan: when teachers cannot teach, how much
// they may teach, how many classes share a venue, and double lessons. As the
// plan, plain data that a run can take to a worker thread; names are kept as
// stored and matched by the run. Days and periods are 0-based here.
struct SchoolRules
{
    // A teacher who cannot teach on `day`, periods firstPeriod..lastPeriod
    // (a whole day or half day is stored as its period range).
    struct TeacherOff
    {
        QString teacher;
        int day = 0;
        int firstPeriod = 0;
        int lastPeriod = 0;
    };

    // Limits of one teacher; 0 means no limit.
    struct TeacherLimit
    {
        QString teacher;
        int perDay = 0;      // lessons a day
        int daysPerWeek = 0; // working days a week
        int inARow = 0;      // lessons in a row
    };

    // At most `cap` classes at once having a lesson of one of `subjects`;
    // `grade` empty means every grade (stored as "全校").
    struct VenueCap
    {
        QString venue;
        QStringList subjects;
        QString grade;
        int cap = 0;
    };

    // `perWeek` double periods of `subject` a week for the class, or for every
    // class of the grade when `className` is empty (stored as "全部");
    // perWeek 0 means the subject is never doubled.
    struct DoubleLesson
    {
        QString grade;
        QString className;
        QString subject;
        int perWeek = 0;
    };

    std::vector<TeacherOff> teacherOff;
    std::vector<TeacherLimit> teacherLimits;
    std::vector<VenueCap> venueCaps;
    std::vector<DoubleLesson> doubleLessons;
    // Periods before the 午休: a double lesson never spans it.
    int morningPeriods = 4;
    // Rows of the rule tables that could not be used (an unknown teacher, an
    // unreadable number, a cap of 0 …), each in words naming its table and row.
    // The rest of the rules hold; whoever shows the rules shows these too.
    QStringList skipped;

    bool isEmpty() const
    {
        return teacherOff.empty() && teacherLimits.empty() && venueCaps.empty() && doubleLessons.empty();
    }
};
