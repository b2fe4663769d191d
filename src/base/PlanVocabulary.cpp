#include "base/PlanVocabulary.h"

namespace Plan {

QString WeekLimitRefusal(int days, int periods)
{
    if (days < 0 || days > kMaxDays)
        return QStringLiteral("周工作计划的工作天数为%1，应在1到7天之间，不能排课！").arg(days);
    if (periods < 0 || periods > kMaxPeriods)
        return QStringLiteral("周工作计划的每天节次为%1，应在1到9节之间，不能排课！").arg(periods);
    return QString();
}

int SubjectNumber(const QStringList& subjectNames, const QString& name)
{
    for (int i = 0; i < kSubjectSlots && i < subjectNames.size(); ++i)
        if (subjectNames[i] == name)
            return i + 1;
    return -1;
}

} // namespace Plan
