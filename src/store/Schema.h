#pragma once

#include "base/PlanVocabulary.h"

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

inline const QString kWeekTable = QStringLiteral("周工作计划");
inline const QString kSubjectsTable = QStringLiteral("任教科目");
inline const QString kAssignmentsTable = QStringLiteral("教师分工");
inline const QString kWeeklyPlanTable = QStringLiteral("周课时计划");
inline const QString kCombinedTable = QStringLiteral("合班设置");
inline const QString kFixedTable = QStringLiteral("固定科目");
inline const QString kSubjectZonesTable = QStringLiteral("科目要排节次");
inline const QString kTeacherZonesTable = QStringLiteral("教师要排节次");
inline const QString kTimetableTable = QStringLiteral("课表");
inline const QString kTimetableTeachersTable = QStringLiteral("课表教师");

// Tables beside the ten: school details and the scheduling rules. Like the ten,
// column 0 is "编号" and every other column holds text.
inline const QString kSchoolTable = QStringLiteral("学校信息");
inline const QString kTeacherOffTable = QStringLiteral("教师不排课");
inline const QString kTeacherLimitsTable = QStringLiteral("教师课时限制");
inline const QString kVenueCapsTable = QStringLiteral("场地限制");
inline const QString kDoubleLessonsTable = QStringLiteral("连堂设置");
// Daily changes: the term calendar, its holidays and make-up days, absences
// and the covers chosen for them (dates as YYYY-MM-DD, periods 1-based).
inline const QString kTermTable = QStringLiteral("校历");
inline const QString kSpecialDaysTable = QStringLiteral("校历调整");
inline const QString kAbsencesTable = QStringLiteral("教师请假");
inline const QString kCoversTable = QStringLiteral("代课安排");


// All ten tables in a fixed order.
const std::vector<TableSpec>& tables();

// The tables beside the ten. An older file lacks them: a writing opening
// creates the missing ones, a reading one leaves the file as it is and the
// readers take a missing table as an empty one (`Database::hasTable`).
const std::vector<TableSpec>& addedTables();

// A table of either list by name.
const TableSpec& table(const QString& name);

// The grade names of the weekly plan rows 1..12.
const QStringList& gradeRowNames();

// Slot column name of (day, period), both 0-based: "11" .. "79".
QString slotColumn(int day, int period);

// An identifier between double quotes, as SQLite needs for digit names.
QString quoted(const QString& identifier);

} // namespace Schema
