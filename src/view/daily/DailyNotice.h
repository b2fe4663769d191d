#pragma once

#include "view/daily/DailyRecords.h"

#include <QDate>
#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <vector>

class DailyIndex;

// What is handed out: the 代课单 of a day (who covers what, for whom, where)
// and each teacher's changes for the coming days. Plain rows; the painter
// and the command-line tool lay them out.
struct NoticeRow
{
    int period = 0; // 0-based
    QString classes; // joined with "、"; also where the lesson is held
    QString subject;
    QString absentTeacher;
    QString reason;
    QString kind;    // "代课", "调课", "自习", or "待安排" when nothing is chosen
    QString byWhom;  // the substitute, or the swap ("李四（数学）⇄ 03-11 第2节"), or empty
    QString problem; // why the choice no longer fits, or empty
};

struct DailyNotice
{
    QDate date;
    int day = -1; // timetable day; -1: no lessons on this date
    std::vector<NoticeRow> rows;

    static DailyNotice build(const DailyData& data, const DailyIndex& index, const QDate& date);
    // Title: "代课单 2026-03-02 星期一".
    QString title() const;
    // Column heads of the rows, in the order of cells().
    static QStringList heads();
    static QStringList cells(const NoticeRow& row);
};

// One change of a teacher's day.
struct TeacherChange
{
    QDate date;
    int period = 0;
    QString classes;
    QString subject;
    QString text; // "代课：为张三上 初一(1)班 语文", "调课：…", "请假：…由李四代课"
};

// A teacher's changes from `from` for `days` days (covers given, lessons
// swapped, their own lessons given by others), by date and period.
std::vector<TeacherChange> teacherChanges(const DailyData& data, const DailyIndex& index, const QString& teacher,
                                          const QDate& from, int days);
QString teacherChangesText(const QString& teacher, const std::vector<TeacherChange>& changes);
QJsonArray teacherChangesJson(const std::vector<TeacherChange>& changes);
