#include "view/daily/DailyIndex.h"

#include "store/TextRules.h"
#include "view/TimetableData.h"

#include <QSet>

#include <algorithm>

DailyIndex::DailyIndex(const TimetableData& timetable)
    : m_periodCount(timetable.periodCount), m_slotCount(timetable.slotCount())
{
    for (int c = 0; c < timetable.classCount; ++c)
        for (int d = 0; d < timetable.dayCount; ++d)
            for (int p = 0; p < timetable.periodCount; ++p) {
                const QString& name = timetable.teacher(c, d, p);
                if (TextRules::isEmpty(name) || name.isEmpty())
                    continue;
                auto found = m_ids.constFind(name);
                int t = 0;
                if (found == m_ids.constEnd()) {
                    t = static_cast<int>(m_names.size());
                    m_ids.insert(name, t);
                    m_names << name;
                    m_slots.resize(m_slots.size() + static_cast<size_t>(m_slotCount));
                    m_subjects.emplace_back();
                    m_classes.emplace_back();
                    m_weekly.push_back(0);
                } else {
                    t = *found;
                }
                std::vector<int>& slot = m_slots[static_cast<size_t>(t) * m_slotCount + timetable.slotColumn(d, p)];
                if (slot.empty())
                    ++m_weekly[t];
                slot.push_back(c);
                const QString& subject = timetable.subject(c, d, p);
                if (!TextRules::isEmpty(subject))
                    m_subjects[t].insert(subject);
                std::vector<int>& classes = m_classes[t];
                if (classes.empty() || classes.back() != c)
                    classes.push_back(c); // classes are visited in order
            }
}

bool DailyIndex::teachesClass(int t, int classIndex) const
{
    const std::vector<int>& classes = m_classes[t];
    return std::binary_search(classes.begin(), classes.end(), classIndex);
}
