#pragma once

#include "view/daily/DailyRecords.h"

#include <QStringList>

// A small school for the daily-change tests: 5 days × 4 periods, three
// classes, term from Monday 2026-03-02 for 4 weeks.
//
//            Monday (day 0)                       Tuesday (day 1)          Wednesday (day 2)
//  初一(1)班  语文/张 数学/李 英语/陈 数学/李       数学/李 语文/张 - -       语文/张 - - -
//  初一(2)班  数学/周 语文/王 -       -            -       -       - -       -
//  初二(1)班  音乐/赵 语文/郑 体育/钱 -            体育/冯 -       - -       - - - 体育/蒋
inline const QString kClassA = QStringLiteral("初一(1)班");
inline const QString kClassB = QStringLiteral("初一(2)班");
inline const QString kClassC = QStringLiteral("初二(1)班");

inline void setDay(TimetableData& t, int c, int day, const QStringList& lessons)
{
    for (int p = 0; p < lessons.size(); ++p) {
        if (lessons[p] == QLatin1String("-"))
            continue;
        const QStringList parts = lessons[p].split(QLatin1Char('/'));
        t.setLesson(c, day, p, parts[0], parts[1]);
    }
}

inline TimetableData smallSchool()
{
    TimetableData t;
    const QStringList subjects{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"),
                               QStringLiteral("体育"), QStringLiteral("音乐")};
    for (int i = 0; i < Plan::kSubjectSlots; ++i)
        t.subjectNames[i] = i < subjects.size() ? subjects[i] : QStringLiteral("H");
    t.resetGrids(5, 4, {kClassA, kClassB, kClassC});
    setDay(t, 0, 0, {QStringLiteral("语文/张"), QStringLiteral("数学/李"), QStringLiteral("英语/陈"), QStringLiteral("数学/李")});
    setDay(t, 1, 0, {QStringLiteral("数学/周"), QStringLiteral("语文/王")});
    setDay(t, 2, 0, {QStringLiteral("音乐/赵"), QStringLiteral("语文/郑"), QStringLiteral("体育/钱")});
    setDay(t, 0, 1, {QStringLiteral("数学/李"), QStringLiteral("语文/张")});
    setDay(t, 2, 1, {QStringLiteral("体育/冯")});
    setDay(t, 0, 2, {QStringLiteral("语文/张")});
    setDay(t, 2, 2, {QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("体育/蒋")});
    return t;
}

inline TermCalendar springTerm()
{
    TermCalendar calendar;
    calendar.firstDay = QDate(2026, 3, 2);
    calendar.weeks = 4;
    return calendar;
}

inline Cover coverOf(const QDate& date, int period, const QString& className, const QString& absent, CoverKind kind,
                     const QString& subject, const QString& teacher)
{
    Cover cover;
    cover.date = date;
    cover.period = period;
    cover.className = className;
    cover.absentTeacher = absent;
    cover.kind = kind;
    cover.subject = subject;
    cover.teacher = teacher;
    return cover;
}
