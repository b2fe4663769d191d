#pragma once

#include <QString>
#include <QStringList>

class TimetableData;

// The teacher table: one row per teacher built from a timetable's grids.
//
// Layout (S = dayCount × periodCount): S + 2 entries per teacher t from
// t·(S+2): the name, the weekly lesson count ("%d"), then the slot (d, p) at
// 2 + d·periodCount + p holding "class subject" or "H".
class TeacherTable
{
public:
    QStringList teacherTable;

    // Rebuilds the table from the grids. A grid without teachers gives an empty table.
    void BuildTeacherTable(const TimetableData& data);
    void clear() { teacherTable.clear(); }

    int teacherCount() const { return m_stride > 0 ? static_cast<int>(teacherTable.size()) / m_stride : 0; }
    const QString& teacherName(int t) const { return teacherTable[t * m_stride]; }
    const QString& teacherWeeklyCount(int t) const { return teacherTable[t * m_stride + 1]; }
    const QString& teacherSlot(int t, int d, int p) const { return teacherTable[t * m_stride + 2 + d * m_periods + p]; }

private:
    int m_stride = 2;  // S + 2 of the last build
    int m_periods = 0; // periodCount of the last build
};
