#pragma once

#include <QString>
#include <QStringList>

// The shape of a school's plan, shared by the database, the run, the timetable
// shown and the spreadsheets: each limit and marker is defined here once.
namespace Plan {

// Subject numbers run 1..24; slot n - 1 of a subject list names subject n.
constexpr int kSubjectSlots = 24;
// Texts per class in a teacher assignment: grade, class, teachers of subjects 1..24.
constexpr int kAssignmentTexts = 2 + kSubjectSlots;
// Rows of the weekly plan, one per grade.
constexpr int kGradeRows = 12;
// The longest week: 7 days of 9 periods.
constexpr int kMaxDays = 7;
constexpr int kMaxPeriods = 9;
// A fixed lesson: class, day, period, subject.
constexpr int kFixedGroup = 4;
// A combined group: subject, then five member classes (-1 for an empty place).
constexpr int kCombinedMembers = 5;
constexpr int kCombinedGroup = 1 + kCombinedMembers;

// The one-letter empty marker: an unset teacher, class or subject, a free slot,
// the key of a row that is not in use.
inline QString emptyMarker() { return QStringLiteral("H"); }
inline bool isEmpty(const QString& text) { return text == QLatin1String("H"); }

// The refusal of a week outside 1..7 days of 1..9 periods (0 is left to the
// caller's own check of an incomplete plan); empty for a week within them.
QString WeekLimitRefusal(int days, int periods);

// 1..24 for the first slot of subjectNames equal to the name, -1 if none.
int SubjectNumber(const QStringList& subjectNames, const QString& name);

// The first class c in 0..classCount-1 whose nameOf(c) equals the name, -1 if none.
template <typename NameOf>
int ClassIndex(int classCount, NameOf nameOf, const QString& name)
{
    for (int c = 0; c < classCount; ++c)
        if (nameOf(c) == name)
            return c;
    return -1;
}

} // namespace Plan
