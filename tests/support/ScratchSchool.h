#pragma once

// One scratch school for the tests and the benchmarks.

#include "base/PlanVocabulary.h"
#include "store/DemoSchool.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace ScratchSchool {

// Lessons per subject of the demo school's subjects, 40 in all, for three kinds of grade.
inline const std::vector<std::vector<int>> kPatterns{
    {6, 6, 6, 0, 0, 3, 3, 3, 3, 3, 2, 2, 2, 1},
    {6, 6, 5, 3, 0, 2, 3, 2, 3, 3, 2, 2, 2, 1},
    {6, 6, 6, 4, 4, 0, 3, 0, 3, 3, 1, 1, 2, 1},
};

inline constexpr int kDays = 5;
inline constexpr int kPeriods = 8;
inline constexpr int kPe = 9;
inline constexpr int kMaths = 1;
inline constexpr int kCounselling = 13;

// Classes per grade: twelve grades at most, so large schools have large grades.
inline int classesPerGrade(int classCount)
{
    return std::max(6, (classCount + 11) / 12);
}

// How many classes of a grade share one teacher of a subject.
inline int sharing(int subject)
{
    return subject < 3 ? 2 : subject < 9 ? 3 : 4;
}

// A school of any size in the open database: grades of six classes or more
// (twelve grades at most) with the demo school's subjects and lesson
// patterns, teachers shared by two to four classes, a fixed lesson or two and
// a combined group per grade, and subject and teacher zones.
inline void writeScratchSchool(int classCount)
{
    const QStringList& kSubjects = DemoSchool::subjects();
    Transaction tx(QStringLiteral("写入测试学校"));
    PlanStore::saveWeek(kDays, kPeriods);
    QStringList subjects = kSubjects;
    while (subjects.size() < Plan::kSubjectSlots)
        subjects << TextRules::emptyMarker();
    PlanStore::saveSubjects(subjects);

    const int perGrade = classesPerGrade(classCount);
    const int grades = (classCount + perGrade - 1) / perGrade;
    for (int g = 0; g < grades; ++g) {
        const std::vector<int>& counts = kPatterns[static_cast<size_t>(g) % kPatterns.size()];
        PlanStore::saveWeeklyPlanRow(g, kDays * kPeriods, counts);
    }

    std::vector<QStringList> assignments;
    QStringList names;
    for (int c = 0; c < classCount; ++c) {
        const int g = c / perGrade;
        const int k = c % perGrade;
        const std::vector<int>& counts = kPatterns[static_cast<size_t>(g) % kPatterns.size()];
        const QString name = QStringLiteral("G%1-%2班").arg(g + 1).arg(k + 1);
        names << name;
        QStringList row{Schema::gradeRowNames()[g], name};
        for (int s = 0; s < Plan::kSubjectSlots; ++s) {
            if (s >= kSubjects.size() || counts[static_cast<size_t>(s)] == 0 || (s == kCounselling && g % 2 == 1))
                row << TextRules::emptyMarker();
            else
                row << QStringLiteral("%1老师%2-%3").arg(kSubjects[s]).arg(g + 1).arg(k / sharing(s) + 1);
        }
        assignments.push_back(row);
    }
    PlanStore::saveAssignments(assignments);

    // A fixed first lesson on Monday for the first class of each grade, one on
    // Wednesday afternoon for the third.
    std::vector<QStringList> fixed;
    std::vector<QStringList> combined;
    for (int g = 0; g < grades; ++g) {
        const int first = g * perGrade;
        fixed.push_back({names[first], QStringLiteral("1"), QStringLiteral("1"), kSubjects[0]});
        if (first + 2 < classCount)
            fixed.push_back({names[first + 2], QStringLiteral("3"), QStringLiteral("7"), kSubjects[kMaths]});
        // Physical education of the last two or three classes of a grade together.
        const int last = std::min(classCount, first + perGrade) - 1;
        if (last - first >= 3) {
            QStringList row{kSubjects[kPe], names[last - 1], names[last]};
            row << (g % 2 == 0 ? names[last - 2] : TextRules::emptyMarker());
            row << TextRules::emptyMarker() << TextRules::emptyMarker();
            combined.push_back(row);
        }
    }
    PlanStore::saveFixedLessons(fixed);
    PlanStore::saveCombinedClasses(combined);

    std::vector<QStringList> subjectZones;
    std::vector<QStringList> teacherZones;
    for (int c = 0; c < classCount; ++c)
        for (int s = 0; s < Plan::kSubjectSlots; ++s) {
            QStringList subjectRow{names[c]};
            QStringList teacherRow{names[c]};
            for (int d = 0; d < Plan::kMaxDays; ++d) {
                subjectRow << (s == kPe && d < kDays ? QStringLiteral("234567") : QStringLiteral("9"));
                teacherRow << (s == kMaths && c % 4 == 0 && d == 4 ? QStringLiteral("0123") : QStringLiteral("9"));
            }
            subjectZones.push_back(subjectRow);
            teacherZones.push_back(teacherRow);
        }
    PlanStore::saveSubjectZones(subjectZones);
    PlanStore::saveTeacherZones(teacherZones);
    tx.commit();
}

// FNV-1a over a lesson grid: compares timetables by one number.
inline std::uint32_t checksum(const std::vector<int>& grid)
{
    std::uint32_t hash = 2166136261u;
    for (int value : grid) {
        hash ^= static_cast<std::uint32_t>(value);
        hash *= 16777619u;
    }
    return hash;
}

} // namespace ScratchSchool
