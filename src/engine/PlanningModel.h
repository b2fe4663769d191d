#pragma once

#include "base/PlanVocabulary.h"

#include <QString>
#include <QStringList>

#include <vector>

// The school's teaching plan in memory, as the scheduling run works on it.
// Flat lists keep their fixed-size groups; the accessors below are the one
// place that knows the index rules.
class PlanningModel
{
public:
    static constexpr int kPlanStride = 1 + Plan::kSubjectSlots; // weekly total, lessons of subjects 1..24
    static constexpr int kZoneGroup = 1 + Plan::kMaxDays;       // class name, zones of days 0..6
    static constexpr int kZoneStride = Plan::kSubjectSlots * kZoneGroup; // 192 per class

    // Scalars.
    int classCount = 0;
    int dayCount = 0;
    int periodCount = 0;

    // Lists.
    QStringList subjectNames = QStringList(Plan::kSubjectSlots); // slot n-1 names subject n
    QStringList teacherAssignments;  // groups of 26 per class
    std::vector<int> weeklyPlan;     // groups of 25 per grade row
    std::vector<int> remainingLessons; // groups of 25 per class
    std::vector<int> fixedLessons;   // groups of 4: class, day, period, subject
    std::vector<int> combinedClasses; // groups of 6: subject, five classes (-1 empty)
    QStringList subjectZones;        // groups of 192 per class
    QStringList teacherZones;
    QStringList allowedPeriods;
    std::vector<int> lessonGrid;     // classCount x dayCount x periodCount, 0 = free
    std::vector<int> earlyPeriodBuffer;
    std::vector<int> classChain;
    std::vector<int> subjectOrder;
    QStringList subjectGrid;         // groups of 1 + dayCount x periodCount per class
    QStringList teacherGrid;

    // Display state.
    int showTimetable = 0;
    int showTeacherTable = 0;
    int adjustMode = 0;

    // Index rules.
    int cellIndex(int c, int d, int p) const { return (c * dayCount + d) * periodCount + p; }
    int& cell(int c, int d, int p) { return lessonGrid[static_cast<size_t>(cellIndex(c, d, p))]; }
    int cell(int c, int d, int p) const { return lessonGrid[static_cast<size_t>(cellIndex(c, d, p))]; }
    int& buf(int c, int d, int p) { return earlyPeriodBuffer[static_cast<size_t>(cellIndex(c, d, p))]; }
    int buf(int c, int d, int p) const { return earlyPeriodBuffer[static_cast<size_t>(cellIndex(c, d, p))]; }
    int& rem(int c, int s) { return remainingLessons[static_cast<size_t>(kPlanStride * c + s)]; }
    int rem(int c, int s) const { return remainingLessons[static_cast<size_t>(kPlanStride * c + s)]; }
    // Teacher of subject s in class c; s = 0 gives the class name.
    const QString& teacher(int c, int s) const { return teacherAssignments[Plan::kAssignmentTexts * c + 1 + s]; }
    const QString& gradeName(int c) const { return teacherAssignments[Plan::kAssignmentTexts * c]; }
    const QString& className(int c) const { return teacherAssignments[Plan::kAssignmentTexts * c + 1]; }
    static int zoneIndex(int c, int s, int d) { return (Plan::kSubjectSlots * c + s - 1) * kZoneGroup + 1 + d; }
    const QString& zone(int c, int s, int d) const { return allowedPeriods[zoneIndex(c, s, d)]; }
    int plan(int gradeRow, int s) const { return weeklyPlan[static_cast<size_t>(kPlanStride * gradeRow + s)]; }
    int fixedLessonCount() const { return static_cast<int>(fixedLessons.size() / 4); }
    int combinedGroupCount() const { return static_cast<int>(combinedClasses.size() / 6); }
    // Field k (0..3) of fixed lesson i.
    int fixedField(int i, int k) const { return fixedLessons[static_cast<size_t>(Plan::kFixedGroup * i + k)]; }
    int combinedSubject(int g) const { return combinedClasses[static_cast<size_t>(Plan::kCombinedGroup * g)]; }
    // Member k (0..4) of combined group g; -1 for an empty place.
    int combinedMember(int g, int k) const { return combinedClasses[static_cast<size_t>(Plan::kCombinedGroup * g + 1 + k)]; }
    // Weekly lessons of subject s for class c's grade (s = 0: the weekly total).
    // Valid once the run has found a plan row for every class.
    int gradeCount(int c, int s) const;

    // Lookups.
    // First subject slot equal to the name, as 1..24; -1 if none.
    int SubjectNumber(const QString& name) const;
    // First class (0..classCount-1) whose name equals the name; -1 if none.
    int ClassIndex(const QString& name) const;

    // First combined group whose subject is s and which lists class c among its
    // members; -1 if none.
    int FindCombinedGroup(int c, int s) const;
    // True when fixedLessons holds exactly the group (c, d, p, s).
    bool IsFixedLesson(int c, int d, int p, int s) const;

    // Reads 固定科目, 科目要排节次, 教师要排节次 and 合班设置 (in this order) into
    // fixedLessons, subjectZones, teacherZones and combinedClasses. Rows that name
    // an unknown class or subject, or a day or period outside the week, are
    // dropped. Needs LoadPlan and classCount. Throws StoreError on a database
    // failure.
    void LoadConstraints();
    // allowedPeriods = subject zone intersected with teacher zone, per class,
    // subject and day (both zones one after the other when they share nothing).
    void BuildAllowedPeriods();

    // Reads 周工作计划, 任教科目, 教师分工 and 周课时计划 from the open database.
    // Returns an empty text when the plan was read, or the message that
    // refuses a plan outside the model's limits (more than 7 days or 9
    // periods, a subject after the 24th). Throws StoreError on a database
    // failure.
    QString LoadPlan();
};
