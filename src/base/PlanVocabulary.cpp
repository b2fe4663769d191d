#include "base/PlanVocabulary.h"

namespace Plan {

int SubjectNumber(const QStringList& subjectNames, const QString& name)
{
    for (int i = 0; i < kSubjectSlots && i < subjectNames.size(); ++i)
        if (subjectNames[i] == name)
            return i + 1;
    return -1;
}

} // namespace Plan
