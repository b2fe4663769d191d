#include "view/daily/DayList.h"

#include "store/TextRules.h"
#include "view/daily/DailyIndex.h"

#include <algorithm>

namespace {

// The lessons of one absence on one date (day is the timetable day, >= 0).
void addLessons(const DailyData& data, const DailyIndex& index, const Absence& absence, const QDate& date, int day,
                std::vector<AffectedLesson>& lessons)
{
    const int teacher = index.teacherId(absence.teacher);
    if (teacher < 0)
        return;
    const TimetableData& t = data.timetable;
    for (int p = 0; p < t.periodCount; ++p) {
        if (!absence.coversPeriod(date, p))
            continue;
        const std::vector<int>& classes = index.classesAt(teacher, day, p);
        if (classes.empty())
            continue;
        const bool known = std::any_of(lessons.begin(), lessons.end(), [&](const AffectedLesson& l) {
            return l.date == date && l.period == p && l.teacher == absence.teacher;
        });
        if (known) // two absences of the teacher overlapping
            continue;
        AffectedLesson lesson;
        lesson.date = date;
        lesson.day = day;
        lesson.period = p;
        for (int c : classes)
            lesson.classes << t.className(c);
        lesson.subject = t.subject(classes.front(), day, p);
        lesson.teacher = absence.teacher;
        lesson.reason = absence.reason;
        lessons.push_back(lesson);
    }
}

} // namespace

const AffectedLesson* DayList::find(int period, const QString& className) const
{
    for (const AffectedLesson& lesson : lessons)
        if (lesson.period == period && lesson.classes.contains(className))
            return &lesson;
    return nullptr;
}

QString coverProblem(const DailyData& data, const Cover& cover)
{
    const TimetableData& t = data.timetable;
    const int c = t.ClassIndex(cover.className);
    if (c < 0)
        return QStringLiteral("课表中已没有班级%1").arg(cover.className);
    const int day = data.calendar.timetableDay(cover.date, t.dayCount);
    if (day < 0)
        return QStringLiteral("这一天已没有课");
    if (cover.period < 0 || cover.period >= t.periodCount || t.subject(c, day, cover.period) != cover.subject
        || t.teacher(c, day, cover.period) != cover.teacher)
        return QStringLiteral("课表已改变：安排时这节是%1（%2）").arg(cover.subject, cover.teacher);
    if (cover.kind != CoverKind::Swap)
        return {};
    const int swapDay = data.calendar.timetableDay(cover.swapDate, t.dayCount);
    if (swapDay < 0)
        return QStringLiteral("调换的那一天已没有课");
    if (cover.swapPeriod < 0 || cover.swapPeriod >= t.periodCount
        || t.subject(c, swapDay, cover.swapPeriod) != cover.swapSubject
        || t.teacher(c, swapDay, cover.swapPeriod) != cover.swapTeacher)
        return QStringLiteral("课表已改变：调换的那节原是%1（%2）").arg(cover.swapSubject, cover.swapTeacher);
    return {};
}

DayList buildDayList(const DailyData& data, const DailyIndex& index, const QDate& date)
{
    DayList list;
    list.date = date;
    list.day = data.calendar.timetableDay(date, data.timetable.dayCount);
    if (list.day >= 0)
        for (const Absence& absence : data.absences) {
            if (!absence.covers(date))
                continue;
            if (index.teacherId(absence.teacher) < 0)
                list.absenceNotes << QStringLiteral("课表中已没有%1的课，这次请假（%2 至 %3）不涉及任何课")
                                         .arg(absence.teacher, TermCalendar::dateText(absence.from),
                                              TermCalendar::dateText(absence.to));
            addLessons(data, index, absence, date, list.day, list.lessons);
        }
    std::sort(list.lessons.begin(), list.lessons.end(), [&](const AffectedLesson& a, const AffectedLesson& b) {
        if (a.period != b.period)
            return a.period < b.period;
        return data.timetable.ClassIndex(a.classes.front()) < data.timetable.ClassIndex(b.classes.front());
    });

    for (int i = 0; i < static_cast<int>(data.covers.size()); ++i) {
        const Cover& cover = data.covers[static_cast<size_t>(i)];
        if (cover.date != date)
            continue;
        AffectedLesson* lesson = nullptr;
        for (AffectedLesson& l : list.lessons)
            if (l.period == cover.period && l.classes.contains(cover.className)) {
                lesson = &l;
                break;
            }
        QString problem = coverProblem(data, cover);
        if (lesson && lesson->cover < 0 && lesson->teacher == cover.absentTeacher) {
            lesson->cover = i;
            lesson->problem = problem;
            continue;
        }
        if (problem.isEmpty())
            problem = QStringLiteral("%1已没有请假记录涉及这节课").arg(cover.absentTeacher);
        list.unmatched.push_back({i, problem});
    }
    return list;
}

std::vector<AffectedLesson> absenceLessons(const DailyData& data, const DailyIndex& index, const Absence& absence)
{
    std::vector<AffectedLesson> lessons;
    if (!absence.from.isValid() || !absence.to.isValid())
        return lessons;
    for (QDate date = absence.from; date <= absence.to; date = date.addDays(1)) {
        const int day = data.calendar.timetableDay(date, data.timetable.dayCount);
        if (day >= 0)
            addLessons(data, index, absence, date, day, lessons);
        if (absence.from.daysTo(date) > 366) // a range beyond a year is cut there
            break;
    }
    return lessons;
}
