#pragma once

#include "base/SchoolPlan.h"

#include <QString>
#include <QStringList>

#include <vector>

// Read-side views of a SchoolPlan: the lists the plan dialogs and the
// command-line tool show, computed once here. Each takes the plan as
// PlanReader leaves it and copies what it shows, so a view stays valid after
// the plan changes.
namespace PlanViews {

// The week.
struct Week
{
    int days = 0;
    int periods = 0;
};
Week WeekOf(const SchoolPlan& plan);

// A subject position that is in use.
struct Subject
{
    int number = 0; // 1..24
    QString name;
};
// The named positions, in order: every slot that is neither "H" nor empty
// (a gap of "H" does not end the list).
std::vector<Subject> SubjectsInUse(const SchoolPlan& plan);

// One class of the teacher assignment.
struct AssignmentRow
{
    QString grade;
    QString className;
    QStringList teachers; // of subjects 1..24, "H" for none
    // The grade is not one of the weekly plan's rows.
    bool unknownGrade = false;
};
std::vector<AssignmentRow> Assignment(const SchoolPlan& plan);

// One grade row of the weekly plan.
struct WeeklyPlanRow
{
    int gradeRow = 0;  // 0..11 (or beyond, for extra rows)
    QString gradeName; // "一年级" .. "高三年级"; the row number for extra rows
    int total = 0;
    std::vector<int> counts; // lessons of subjects 1..24
};
// The grade rows in use, ascending: a row with a non-zero weekly total, or
// the row of a grade some class belongs to.
std::vector<int> GradeRowsInUse(const SchoolPlan& plan);
std::vector<WeeklyPlanRow> WeeklyPlanInUse(const SchoolPlan& plan);

// A fixed lesson by name, day and period 0-based.
struct FixedLessonRow
{
    QString className;
    int day = 0;
    int period = 0;
    QString subject;
};
std::vector<FixedLessonRow> FixedLessons(const SchoolPlan& plan);

// A combined group by name: the subject and its member classes (empty places left out).
struct CombinedGroupRow
{
    QString subject;
    QStringList members;
};
std::vector<CombinedGroupRow> CombinedGroups(const SchoolPlan& plan);

// One row of a zone table: a class's allowed periods of one subject per day.
struct ZoneRow
{
    QString className;
    int subject = 0;    // 1..24
    QStringList days;   // 7 zone texts, "0".."8" digits
};
// The rows of subjects in use, class by class.
std::vector<ZoneRow> SubjectZones(const SchoolPlan& plan);
std::vector<ZoneRow> TeacherZones(const SchoolPlan& plan);

} // namespace PlanViews
