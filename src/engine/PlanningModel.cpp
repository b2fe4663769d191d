#include "engine/PlanningModel.h"

#include "base/ZoneText.h"

void PlanningModel::BuildAllowedPeriods()
{
    allowedPeriods.clear();
    allowedPeriods.reserve(static_cast<qsizetype>(classCount) * kZoneStride);
    for (int c = 0; c < classCount; ++c)
        for (int j = 0; j < Plan::kSubjectSlots; ++j) {
            const qsizetype base = (static_cast<qsizetype>(Plan::kSubjectSlots) * c + j) * kZoneGroup;
            allowedPeriods << subjectZones[base];
            for (int d = 1; d < kZoneGroup; ++d)
                allowedPeriods << ZoneText::intersect(subjectZones[base + d], teacherZones[base + d], periodCount);
        }
}
