#include "dialogs/plan/SchoolDetailsLogic.h"

#include "base/PlanVocabulary.h"
#include "dialogs/plan/PlanTables.h"
#include "store/SchoolStore.h"

void SchoolDetailsLogic::load()
{
    details = SchoolStore::Load();
    const PlanTables::Week week = PlanTables::readWeek();
    periods = week.found ? week.periods : Plan::kMaxPeriods;
}

QString SchoolDetailsLogic::refusal() const
{
    if (details.morningPeriods < 0 || details.morningPeriods > periods)
        return QStringLiteral("上午节数应在 0 到 %1 之间（每天 %1 节）。").arg(periods);
    return QString();
}

QString SchoolDetailsLogic::save()
{
    const QString refused = refusal();
    if (!refused.isEmpty())
        return refused;
    details.name = details.name.trimmed();
    details.term = details.term.trimmed();
    SchoolStore::Save(details);
    return QString();
}
