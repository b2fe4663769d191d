#pragma once

#include "base/PlanVocabulary.h"
#include "base/SchoolRules.h"

#include <QString>
#include <QStringList>

#include <vector>

// A school's teaching plan and its constraints in memory: what the planning
// database holds, as the scheduling run and the dialogs read it. Plain data,
// no database: a run can take a copy to a worker thread.
//
// Flat lists keep their fixed-size groups; the accessors below are the one
// place that knows the index rules.
class SchoolPlan
{
public:
    static constexpr int kPlanStride = 1 + Plan::kSubjectSlots; // weekly total, lessons of subjects 1..24
    static constexpr int kZoneGroup = 1 + Plan::kMaxDays;       // class name, zones of days 0..6
    static constexpr int kZoneStride = Plan::kSubjectSlots * kZoneGroup; // 192 per class

    // The week and the classes.
    int classCount = 0;
    int dayCount = 0;
    int periodCount = 0;

    QStringList subjectNames = QStringList(Plan::kSubjectSlots); // slot n-1 names subject n
    QStringList teacherAssignments;  // groups of 26 per class
    std::vector<int> weeklyPlan;     // groups of 25 per grade row
    std::vector<int> fixedLessons;   // groups of 4: class, day, period, subject
    std::vector<int> combinedClasses; // groups of 6: subject, five classes (-1 empty)
    QStringList subjectZones;        // groups of 192 per class
    QStringList teacherZones;
    SchoolRules rules;               // empty when the file holds none

    // Teacher of subject s in class c; s = 0 gives the class name.
    const QString& teacher(int c, int s) const { return teacherAssignments[Plan::kAssignmentTexts * c + 1 + s]; }
    const QString& gradeName(int c) const { return teacherAssignments[Plan::kAssignmentTexts * c]; }
    const QString& className(int c) const { return teacherAssignments[Plan::kAssignmentTexts * c + 1]; }
    static int zoneIndex(int c, int s, int d) { return (Plan::kSubjectSlots * c + s - 1) * kZoneGroup + 1 + d; }
    int plan(int gradeRow, int s) const { return weeklyPlan[static_cast<size_t>(kPlanStride * gradeRow + s)]; }
    int gradeRowCount() const { return static_cast<int>(weeklyPlan.size() / kPlanStride); }
    int fixedLessonCount() const { return static_cast<int>(fixedLessons.size() / Plan::kFixedGroup); }
    int combinedGroupCount() const { return static_cast<int>(combinedClasses.size() / Plan::kCombinedGroup); }
    // Field k (0..3) of fixed lesson i.
    int fixedField(int i, int k) const { return fixedLessons[static_cast<size_t>(Plan::kFixedGroup * i + k)]; }
    int combinedSubject(int g) const { return combinedClasses[static_cast<size_t>(Plan::kCombinedGroup * g)]; }
    // Member k (0..4) of combined group g; -1 for an empty place.
    int combinedMember(int g, int k) const
    {
        return combinedClasses[static_cast<size_t>(Plan::kCombinedGroup * g + 1 + k)];
    }
    // Weekly lessons of subject s for class c's grade (s = 0: the weekly total).
    // Valid once every class has a plan row for its grade.
    int gradeCount(int c, int s) const;

    // First subject slot equal to the name, as 1..24; -1 if none.
    int SubjectNumber(const QString& name) const;
    // First class (0..classCount-1) whose name equals the name; -1 if none.
    int ClassIndex(const QString& name) const;

    // First combined group whose subject is s and which lists class c among its
    // members; -1 if none.
    int FindCombinedGroup(int c, int s) const;
    // True when fixedLessons holds exactly the group (c, d, p, s).
    bool IsFixedLesson(int c, int d, int p, int s) const;
};
