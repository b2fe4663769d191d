#include "view/TeacherTable.h"

#include "store/TextRules.h"
#include "view/TimetableData.h"

#include <QHash>

#include <vector>

void TeacherTable::BuildTeacherTable(const TimetableData& data)
{
    const int slots = data.slotCount();
    const int stride = slots + 2;
    m_stride = stride;
    m_periods = data.periodCount;

    // 1. Distinct teachers in order of first appearance, class by class, slot by slot.
    QStringList names;
    QHash<QString, int> rowOf;
    for (int c = 0; c < data.classCount; ++c)
        for (int d = 0; d < data.dayCount; ++d)
            for (int p = 0; p < data.periodCount; ++p) {
                const QString& name = data.teacher(c, d, p);
                if (TextRules::isEmpty(name) || rowOf.contains(name))
                    continue;
                rowOf.insert(name, static_cast<int>(names.size()));
                names << name;
            }

    // 2. One row per teacher: name, count place, S free slots.
    teacherTable.clear();
    teacherTable.reserve(names.size() * stride);
    for (const QString& name : names) {
        teacherTable << name;
        for (int i = 0; i <= slots; ++i)
            teacherTable << TextRules::emptyMarker();
    }

    // 3. and 4. Count every booking (a combined lesson counts once per class) and
    // fill the slots; a later class overwrites an earlier one in the same slot.
    std::vector<int> counts(static_cast<size_t>(names.size()), 0);
    for (int c = 0; c < data.classCount; ++c)
        for (int d = 0; d < data.dayCount; ++d)
            for (int p = 0; p < data.periodCount; ++p) {
                const QString& name = data.teacher(c, d, p);
                if (TextRules::isEmpty(name))
                    continue;
                const int t = rowOf.value(name);
                ++counts[static_cast<size_t>(t)];
                teacherTable[t * stride + 2 + data.slotColumn(d, p)] = data.className(c) + QLatin1Char(' ') + data.subject(c, d, p);
            }
    for (int t = 0; t < static_cast<int>(names.size()); ++t)
        teacherTable[t * stride + 1] = TextRules::fromInt(counts[static_cast<size_t>(t)]);
}
