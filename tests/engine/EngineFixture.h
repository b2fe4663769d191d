#pragma once

#include "engine/PlanningModel.h"
#include "base/ZoneText.h"
#include "store/TextRules.h"

#include <QString>

#include <initializer_list>

// A planning model built in memory, as the run leaves it before placement:
// classes "C0", "C1", …, no teachers ("H"), no lessons, every zone the whole
// day, an empty grid.
inline PlanningModel makeModel(int classCount, int dayCount, int periodCount)
{
    PlanningModel m;
    m.classCount = classCount;
    m.dayCount = dayCount;
    m.periodCount = periodCount;
    for (int n = 0; n < Plan::kSubjectSlots; ++n)
        m.subjectNames[n] = QStringLiteral("S%1").arg(n + 1);
    const QString whole = ZoneText::defaultZone(periodCount);
    for (int c = 0; c < classCount; ++c) {
        m.teacherAssignments << QStringLiteral("七年级") << QStringLiteral("C%1").arg(c);
        for (int s = 1; s <= Plan::kSubjectSlots; ++s)
            m.teacherAssignments << TextRules::emptyMarker();
        for (int s = 1; s <= Plan::kSubjectSlots; ++s) {
            m.allowedPeriods << QStringLiteral("C%1").arg(c);
            for (int d = 0; d < 7; ++d)
                m.allowedPeriods << whole;
        }
    }
    m.subjectZones = m.allowedPeriods;
    m.teacherZones = m.allowedPeriods;
    m.remainingLessons.assign(static_cast<size_t>(classCount) * PlanningModel::kPlanStride, 0);
    m.lessonGrid.assign(static_cast<size_t>(classCount) * dayCount * periodCount, 0);
    return m;
}

inline void setTeacher(PlanningModel& m, int c, int s, const QString& name)
{
    m.teacherAssignments[Plan::kAssignmentTexts * c + 1 + s] = name;
}

inline void setZone(PlanningModel& m, int c, int s, int d, const QString& zone)
{
    m.allowedPeriods[PlanningModel::zoneIndex(c, s, d)] = zone;
}

inline void setZoneAllDays(PlanningModel& m, int c, int s, const QString& zone)
{
    for (int d = 0; d < 7; ++d)
        setZone(m, c, s, d, zone);
}

// One day of a class, periods from 0.
inline void setDay(PlanningModel& m, int c, int d, std::initializer_list<int> subjects)
{
    int p = 0;
    for (int s : subjects)
        m.cell(c, d, p++) = s;
}

inline void addFixed(PlanningModel& m, int c, int d, int p, int s)
{
    m.fixedLessons.insert(m.fixedLessons.end(), {c, d, p, s});
}

inline void addCombined(PlanningModel& m, int s, std::initializer_list<int> members)
{
    m.combinedClasses.push_back(s);
    int k = 0;
    for (int c : members) {
        m.combinedClasses.push_back(c);
        ++k;
    }
    for (; k < Plan::kCombinedMembers; ++k)
        m.combinedClasses.push_back(-1);
}
