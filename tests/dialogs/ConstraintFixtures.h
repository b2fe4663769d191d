#pragma once

#include "store/PlanStore.h"

#include <QStringList>

#include <vector>

// A small school for the constraint dialogs: a week, subjects and classes
// with their teachers (26 texts per class).
inline QStringList assignmentRow(const QString& grade, const QString& klass, const QStringList& teachers)
{
    QStringList row{grade, klass};
    row << teachers;
    while (row.size() < 26)
        row << QStringLiteral("H");
    return row;
}

inline void writeSchool(int days, int periods, const QStringList& subjects, const std::vector<QStringList>& classes)
{
    PlanStore::saveWeek(days, periods);
    QStringList slots = subjects;
    while (slots.size() < 24)
        slots << QStringLiteral("H");
    PlanStore::saveSubjects(slots);
    PlanStore::saveAssignments(classes);
}

// Three classes; 数学 by 甲 in classes 1 and 2, by 乙 in class 3; 语文 by 丙 everywhere.
inline std::vector<QStringList> threeClasses()
{
    return {
        assignmentRow(QStringLiteral("七年级"), QStringLiteral("1班"), {"丙", "甲"}),
        assignmentRow(QStringLiteral("七年级"), QStringLiteral("2班"), {"丙", "甲"}),
        assignmentRow(QStringLiteral("七年级"), QStringLiteral("3班"), {"丙", "乙"}),
    };
}

// 24 rows of one class's zones, every slot "9" except the given ones.
inline std::vector<QStringList> zoneBlock(const QString& klass, const std::vector<std::pair<int, QStringList>>& slots)
{
    std::vector<QStringList> rows;
    for (int s = 0; s < 24; ++s) {
        QStringList row{klass};
        QStringList days(7, QStringLiteral("9"));
        for (const auto& [slot, zone] : slots)
            if (slot == s)
                days = zone;
        row << days;
        rows.push_back(row);
    }
    return rows;
}
