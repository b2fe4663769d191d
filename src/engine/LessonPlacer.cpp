#include "engine/LessonPlacer.h"

#include "engine/PlanningModel.h"
#include "engine/RandomGenerator.h"
#include "base/ZoneText.h"

#include <algorithm>

namespace {

// The loads of the day filters are compared with the levels 0..8 only.
constexpr int kHighestLevel = 8;
// Subjects are ordered by zone length over the levels 0..99.
constexpr int kZoneLevels = 100;

} // namespace

LessonPlacer::LessonPlacer(PlanningModel& model, RandomGenerator& random)
    : m_model(model)
    , m_random(random)
    , m_teachers(model)
{
}

void LessonPlacer::placeLesson(int c, int d, int p, int s)
{
    m_model.cell(c, d, p) = s;
    --m_model.rem(c, s);
}

void LessonPlacer::PlaceFixedLessons()
{
    const int count = m_model.fixedLessonCount();
    for (int i = 0; i < count; ++i) {
        const int c = m_model.fixedField(i, 0);
        const int s = m_model.fixedField(i, 3);
        if (m_model.rem(c, s) != 0)
            placeLesson(c, m_model.fixedField(i, 1), m_model.fixedField(i, 2), s);
    }
}

void LessonPlacer::PlaceLessons()
{
    // First pass: the most constrained subjects first, within their zones.
    for (int c = 0; c < m_model.classCount; ++c) {
        OrderSubjectsByZone(c);
        for (int j = 0; j < Plan::kSubjectSlots; ++j) {
            const int s = m_subjectOrder[static_cast<size_t>(j)] + 1;
            const int attempts = std::min(m_model.dayCount, m_model.rem(c, s));
            for (int k = 0; k < attempts; ++k) {
                const int d = ChooseDayInZone(c, s);
                if (d == -1)
                    continue;
                const int p = ChoosePeriodInZone(c, s, d);
                if (p == -1)
                    continue;
                const int g = m_model.FindCombinedGroup(c, s);
                if (g == -1)
                    placeLesson(c, d, p, s);
                else
                    PlaceCombinedLesson(g, d, p);
            }
        }
    }

    // Second pass: whatever is left goes into any free period.
    for (int c = 0; c < m_model.classCount; ++c)
        for (int s = 1; s <= Plan::kSubjectSlots; ++s) {
            const int attempts = m_model.rem(c, s);
            for (int k = 0; k < attempts; ++k) {
                const int d = ChooseDay(c, s);
                if (d == -1)
                    break; // the class is full: every later attempt fails the same way, drawing nothing
                placeLesson(c, d, ChooseFreePeriod(c, d), s);
            }
        }
}

void LessonPlacer::OrderSubjectsByZone(int c)
{
    int lengths[Plan::kSubjectSlots];
    for (int i = 0; i < Plan::kSubjectSlots; ++i) {
        lengths[i] = 0;
        for (int d = 0; d < m_model.dayCount; ++d)
            lengths[i] += static_cast<int>(m_model.zone(c, i + 1, d).size());
    }
    m_subjectOrder.clear();
    for (int v = 0; v < kZoneLevels; ++v)
        for (int i = 0; i < Plan::kSubjectSlots; ++i)
            if (lengths[i] == v)
                m_subjectOrder.push_back(i);
    // A stored zone may repeat digits and so exceed the levels; such subjects
    // are the least constrained and come last rather than not at all.
    for (int i = 0; i < Plan::kSubjectSlots; ++i)
        if (lengths[i] >= kZoneLevels)
            m_subjectOrder.push_back(i);
}

int LessonPlacer::subjectLoad(int c, int s, int d) const
{
    int load = 0;
    for (int p = 0; p < m_model.periodCount; ++p)
        if (m_model.cell(c, d, p) == s)
            ++load;
    return load;
}

int LessonPlacer::teacherLoad(int c, int s, int d) const
{
    const int teacher = m_teachers.id(c, s);
    if (teacher == TeacherIndex::kNoTeacher)
        return 0;
    // Every cell counts by the flat lookup, a free one (0) included: its
    // "teacher" is the class name. Only the classes in which the id stands can
    // hold cells that are the teacher's.
    int load = 0;
    for (int other : m_teachers.classesOf(teacher))
        for (int p = 0; p < m_model.periodCount; ++p) {
            const int lesson = m_model.cell(other, d, p);
            if (m_teachers.id(other, lesson) == teacher)
                ++load;
        }
    return load;
}

int LessonPlacer::zoneLoad(int c, int s, int d) const
{
    int load = 0;
    for (const QChar ch : m_model.zone(c, s, d)) {
        const int p = ZoneText::periodOf(ch);
        if (p >= 0 && p < m_model.periodCount && m_model.cell(c, d, p) != 0)
            ++load;
    }
    return load;
}

int LessonPlacer::dayLoad(int c, int d) const
{
    int load = 0;
    for (int p = 0; p < m_model.periodCount; ++p)
        if (m_model.cell(c, d, p) != 0)
            ++load;
    return load;
}

bool LessonPlacer::hasFreeZonePeriod(int c, int s, int d) const
{
    for (const QChar ch : m_model.zone(c, s, d)) {
        const int p = ZoneText::periodOf(ch);
        if (p >= 0 && p < m_model.periodCount && m_model.cell(c, d, p) == 0)
            return true;
    }
    return false;
}

bool LessonPlacer::hasFreePeriod(int c, int d) const
{
    for (int p = 0; p < m_model.periodCount; ++p)
        if (m_model.cell(c, d, p) == 0)
            return true;
    return false;
}

template <typename Load>
std::vector<int> LessonPlacer::leastLoaded(const std::vector<int>& candidates, Load load)
{
    std::vector<int> loads;
    loads.reserve(candidates.size());
    for (int d : candidates)
        loads.push_back(load(d));
    std::vector<int> chosen;
    for (int v = 0; v <= kHighestLevel && chosen.empty(); ++v)
        for (size_t i = 0; i < candidates.size(); ++i)
            if (loads[i] == v)
                chosen.push_back(candidates[i]);
    return chosen;
}

int LessonPlacer::pickDay(const std::vector<int>& d1, int c, int s, bool inZone)
{
    if (d1.empty())
        return -1;
    const std::vector<int> d2 = leastLoaded(d1, [&](int d) { return subjectLoad(c, s, d); });
    const std::vector<int> d3 = leastLoaded(d2, [&](int d) { return teacherLoad(c, s, d); });
    const std::vector<int> d4 = inZone ? leastLoaded(d3, [&](int d) { return zoneLoad(c, s, d); })
                                       : leastLoaded(d3, [&](int d) { return dayLoad(c, d); });
    const std::vector<int>& from = !d4.empty() ? d4 : !d3.empty() ? d3 : !d2.empty() ? d2 : d1;
    return from[static_cast<size_t>(m_random.pick(static_cast<int>(from.size())))];
}

int LessonPlacer::ChooseDayInZone(int c, int s)
{
    std::vector<int> d1;
    for (int d = 0; d < m_model.dayCount; ++d)
        if (hasFreeZonePeriod(c, s, d))
            d1.push_back(d);
    return pickDay(d1, c, s, true);
}

int LessonPlacer::ChooseDay(int c, int s)
{
    std::vector<int> d1;
    for (int d = 0; d < m_model.dayCount; ++d)
        if (hasFreePeriod(c, d))
            d1.push_back(d);
    return pickDay(d1, c, s, false);
}

int LessonPlacer::ChoosePeriodInZone(int c, int s, int d)
{
    std::vector<int> candidates;
    for (const QChar ch : m_model.zone(c, s, d)) {
        const int p = ZoneText::periodOf(ch);
        if (p >= 0 && p < m_model.periodCount && m_model.cell(c, d, p) == 0)
            candidates.push_back(p);
    }
    if (candidates.empty())
        return -1;
    return candidates[static_cast<size_t>(m_random.pick(static_cast<int>(candidates.size())))];
}

int LessonPlacer::ChooseFreePeriod(int c, int d)
{
    std::vector<int> candidates;
    for (int p = 0; p < m_model.periodCount; ++p)
        if (m_model.cell(c, d, p) == 0)
            candidates.push_back(p);
    return candidates[static_cast<size_t>(m_random.pick(static_cast<int>(candidates.size())))];
}

void LessonPlacer::PlaceCombinedLesson(int g, int d, int p)
{
    const int s = m_model.combinedSubject(g);
    for (int k = 0; k < Plan::kCombinedMembers; ++k) {
        const int member = m_model.combinedMember(g, k);
        if (member != -1 && m_model.rem(member, s) != 0)
            placeLesson(member, d, p, s);
    }
}
