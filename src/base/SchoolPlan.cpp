#include "base/SchoolPlan.h"

#include "base/Naming.h"

int SchoolPlan::SubjectNumber(const QString& name) const
{
    return Plan::SubjectNumber(subjectNames, name);
}

int SchoolPlan::ClassIndex(const QString& name) const
{
    return Plan::ClassIndex(classCount, [this](int c) -> const QString& { return className(c); }, name);
}

int SchoolPlan::gradeCount(int c, int s) const
{
    return plan(GradeIndex(gradeName(c)), s);
}

int SchoolPlan::FindCombinedGroup(int c, int s) const
{
    const int groups = combinedGroupCount();
    for (int g = 0; g < groups; ++g) {
        if (combinedSubject(g) != s)
            continue;
        for (int k = 0; k < Plan::kCombinedMembers; ++k)
            if (combinedMember(g, k) == c)
                return g;
    }
    return -1;
}

bool SchoolPlan::IsFixedLesson(int c, int d, int p, int s) const
{
    const int count = fixedLessonCount();
    for (int i = 0; i < count; ++i)
        if (fixedField(i, 0) == c && fixedField(i, 1) == d && fixedField(i, 2) == p && fixedField(i, 3) == s)
            return true;
    return false;
}
