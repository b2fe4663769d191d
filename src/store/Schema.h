#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The ten tables of the planning database, their columns in physical order.
// Column 0 of every table is the row id "编号"; all other columns hold text.
struct TableSpec
{
    QString name;
    QStringList columns; // without "编号"
};

namespace Schema {

inline const QString kRowId = QStringLiteral("编号");

inline const QString kWeek = QStringLiteral("周工作计划");
inline const QString kSubjects = QStringLiteral("任教科目");
inline const QString kAssignments = QStringLiteral("教师分工");
inline const QString kWeeklyPlan = QStringLiteral("周课时计划");
inline const QString kCombined = QStringLiteral("合班设置");
inline const QString kFixed = QStringLiteral("固定科目");
inline const QString kSubjectZones = QStringLiteral("科目要排节次");
inline const QString kTeacherZones = QStringLiteral("教师要排节次");
inline const QString kTimetable = QStringLiteral("课表");
inline const QString kTimetableTeachers = QStringLiteral("课表教师");

constexpr int kSubjectSlots = 24;
constexpr int kGradeRows = 12;
constexpr int kMaxDays = 7;
constexpr int kMaxPeriods = 9;

// All ten tables in a fixed order.
const std::vector<TableSpec>& tables();
const TableSpec& table(const QString& name);

// The grade names of the weekly plan rows 1..12.
const QStringList& gradeRowNames();

// Slot column name of (day, period), both 0-based: "11" .. "79".
QString slotColumn(int day, int period);

// An identifier between double quotes, as SQLite needs for digit names.
QString quoted(const QString& identifier);

} // namespace Schema
