#include "engine/TimetableSmoother.h"

#include "engine/PlanningModel.h"
#include "base/ZoneText.h"

#include <algorithm>
#include <utility>
#include <vector>

TimetableSmoother::TimetableSmoother(PlanningModel& model)
    : m_model(model)
    , m_teachers(model)
{
}

bool TimetableSmoother::maySwap(int c, int d, int p, int a, int q, int b) const
{
    return !m_model.IsFixedLesson(c, d, p, a) && !m_model.IsFixedLesson(c, d, q, b)
        && m_model.FindCombinedGroup(c, a) == -1 && m_model.FindCombinedGroup(c, b) == -1;
}

template <typename Lesson>
bool TimetableSmoother::clashes(int c, int p, int s, Lesson lesson) const
{
    const int teacher = m_teachers.id(c, s);
    if (teacher == TeacherIndex::kNoTeacher)
        return false;
    for (int other : m_teachers.classesOf(teacher)) {
        if (other == c)
            continue;
        const int theirs = lesson(other, p);
        if (theirs != 0 && m_teachers.id(other, theirs) == teacher)
            return true;
    }
    return false;
}

bool TimetableSmoother::HasTeacherClash(int c, int d, int p, int s) const
{
    return clashes(c, p, s, [&](int other, int q) { return m_model.cell(other, d, q); });
}

bool TimetableSmoother::HasBufferClash(int c, int d, int p, int s) const
{
    return clashes(c, p, s, [&](int other, int q) { return buf(other, d, q); });
}

void TimetableSmoother::SmoothEarlyPeriods()
{
    if (m_model.periodCount < 2)
        return;
    m_earlyPeriodBuffer.assign(m_model.lessonGrid.size(), 0);

    // The same subject in an early period on consecutive days: swap the later day's two.
    for (int c = 0; c < m_model.classCount; ++c)
        for (int d = 1; d < m_model.dayCount; ++d) {
            int& first = m_model.cell(c, d, 0);
            int& second = m_model.cell(c, d, 1);
            if ((m_model.cell(c, d - 1, 0) == first || m_model.cell(c, d - 1, 1) == second)
                && maySwap(c, d, 0, first, 1, second))
                std::swap(first, second);
        }

    // Day by day, along the teacher chain: a class whose early lesson meets a
    // teacher already booked by a class before it has its two early lessons swapped.
    for (int d = 0; d < m_model.dayCount; ++d) {
        buf(0, d, 0) = m_model.cell(0, d, 0);
        buf(0, d, 1) = m_model.cell(0, d, 1);
        OrderClassesByTeacherChain(d);
        for (int k = 1; k < m_model.classCount; ++k) {
            const int c = m_classChain[static_cast<size_t>(k)];
            const int a = m_model.cell(c, d, 0);
            const int b = m_model.cell(c, d, 1);
            const bool swap = (HasBufferClash(c, d, 0, a) || HasBufferClash(c, d, 1, b)) && maySwap(c, d, 0, a, 1, b);
            buf(c, d, 0) = swap ? b : a;
            buf(c, d, 1) = swap ? a : b;
        }
    }

    for (int c = 0; c < m_model.classCount; ++c)
        for (int d = 0; d < m_model.dayCount; ++d)
            for (int p = 0; p < 2; ++p)
                m_model.cell(c, d, p) = buf(c, d, p);
}

void TimetableSmoother::OrderClassesByTeacherChain(int d)
{
    // The two markers can never equal a teacher id, which are all 0 or more.
    constexpr int kNoCurrent = -1; // no current teacher
    constexpr int kTaken = -2;     // class already in the chain

    const int classCount = m_model.classCount;
    std::vector<int> early(2 * static_cast<size_t>(classCount));
    for (int c = 0; c < classCount; ++c) {
        early[2 * static_cast<size_t>(c)] = m_teachers.id(c, m_model.cell(c, d, 0));
        early[2 * static_cast<size_t>(c) + 1] = m_teachers.id(c, m_model.cell(c, d, 1));
    }

    std::vector<int>& chain = m_classChain;
    chain.clear();
    int current = kNoCurrent;
    while (static_cast<int>(chain.size()) < classCount) {
        if (current == kNoCurrent)
            for (int c = 0; c < classCount; ++c)
                if (early[2 * static_cast<size_t>(c)] != kTaken) {
                    current = early[2 * static_cast<size_t>(c)];
                    break;
                }
        int next = kNoCurrent;
        for (int c = 0; c < classCount; ++c) {
            int& first = early[2 * static_cast<size_t>(c)];
            int& second = early[2 * static_cast<size_t>(c) + 1];
            if (first == current || second == current) {
                chain.push_back(c);
                next = first == current ? second : first;
                first = kTaken;
                second = kTaken;
            }
        }
        current = next;
    }
}

void TimetableSmoother::ResolveTeacherClashes(int periodLimit)
{
    if (periodLimit <= 3)
        return;
    periodLimit = std::min(periodLimit, m_model.periodCount);
    for (int c = 0; c < m_model.classCount; ++c)
        for (int d = 0; d < m_model.dayCount; ++d)
            for (int j = 2; j < periodLimit; ++j) {
                const int s = m_model.cell(c, d, j);
                if (s == 0 || !HasTeacherClash(c, d, j, s) || m_model.IsFixedLesson(c, d, j, s)
                    || m_model.FindCombinedGroup(c, s) != -1)
                    continue;
                for (int i = 2; i < periodLimit; ++i) {
                    const int t = m_model.cell(c, d, i);
                    if (t != 0 && !m_model.IsFixedLesson(c, d, i, t) && m_model.FindCombinedGroup(c, t) == -1
                        && !HasTeacherClash(c, d, j, t) && !HasTeacherClash(c, d, i, s)
                        && ZoneText::contains(m_model.zone(c, s, d), i)
                        && ZoneText::contains(m_model.zone(c, t, d), j)) {
                        m_model.cell(c, d, j) = t;
                        m_model.cell(c, d, i) = s;
                        break;
                    }
                }
            }
}
