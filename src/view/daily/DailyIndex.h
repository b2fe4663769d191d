#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

class TimetableData;

// The saved timetable seen from the teachers, built once for the daily work:
// every teacher by a small number, the classes each teaches in each slot
// (several for a combined lesson), the subjects and the classes each teaches.
class DailyIndex
{
public:
    explicit DailyIndex(const TimetableData& timetable);

    int teacherCount() const { return static_cast<int>(m_names.size()); }
    // Teachers in the order they first appear in the timetable.
    const QStringList& teachers() const { return m_names; }
    const QString& teacherName(int t) const { return m_names[t]; }
    // -1 for a name the timetable does not have (or "H").
    int teacherId(const QString& name) const { return m_ids.value(name, -1); }

    // Classes teacher t teaches in slot (day, period) of the term's week.
    const std::vector<int>& classesAt(int t, int day, int period) const
    {
        return m_slots[static_cast<size_t>(t) * m_slotCount + static_cast<size_t>(day * m_periodCount + period)];
    }
    bool teachesSubject(int t, const QString& subject) const { return m_subjects[t].contains(subject); }
    bool teachesClass(int t, int classIndex) const;
    // Lessons of teacher t in the term's week (a combined lesson once).
    int weeklyLessons(int t) const { return m_weekly[t]; }

private:
    int m_periodCount = 0;
    int m_slotCount = 0;
    QStringList m_names;
    QHash<QString, int> m_ids;
    std::vector<std::vector<int>> m_slots; // teacher-major, then slot
    std::vector<QSet<QString>> m_subjects;
    std::vector<std::vector<int>> m_classes; // ascending
    std::vector<int> m_weekly;
};
