#include "view/daily/CoverCounts.h"

#include "store/TextRules.h"
#include "view/daily/DailyIndex.h"
#include "view/daily/DayList.h"

#include <QHash>

#include <algorithm>

CoverCounts CoverCounts::count(const DailyData& data, const DailyIndex& index, int year, int month)
{
    CoverCounts counts;
    counts.year = year;
    counts.month = month;
    QHash<QString, int> rowOf;
    for (const QString& teacher : index.teachers()) {
        rowOf.insert(teacher, static_cast<int>(counts.rows.size()));
        counts.rows.push_back({teacher, 0, 0, 0});
    }
    std::vector<CoverCountRow> others;
    auto row = [&](const QString& teacher) -> CoverCountRow& {
        auto found = rowOf.constFind(teacher);
        if (found != rowOf.constEnd())
            return *found >= 0 ? counts.rows[static_cast<size_t>(*found)] : others[static_cast<size_t>(-*found - 1)];
        others.push_back({teacher, 0, 0, 0});
        rowOf.insert(teacher, -static_cast<int>(others.size()));
        return others.back();
    };

    const QDate first(year, month, 1);
    if (!first.isValid())
        return counts;
    const auto inMonth = [&](const QDate& date) { return date.year() == year && date.month() == month; };

    for (const Cover& cover : data.covers) {
        if (!inMonth(cover.date))
            continue;
        if (cover.kind == CoverKind::Substitute && !TextRules::isEmpty(cover.substitute))
            ++row(cover.substitute).covered;
        if (TextRules::isEmpty(cover.absentTeacher))
            continue;
        if (cover.kind == CoverKind::Swap)
            ++row(cover.absentTeacher).swapped;
        else
            ++row(cover.absentTeacher).missed;
    }

    // Lessons of the month's absences with nothing chosen yet.
    const bool anyAbsence = std::any_of(data.absences.begin(), data.absences.end(), [&](const Absence& a) {
        return a.from <= first.addDays(first.daysInMonth() - 1) && a.to >= first;
    });
    if (anyAbsence)
        for (QDate date = first; inMonth(date); date = date.addDays(1))
            for (const AffectedLesson& lesson : buildDayList(data, index, date).lessons)
                if (lesson.cover < 0)
                    ++row(lesson.teacher).missed;

    std::sort(others.begin(), others.end(), [](const CoverCountRow& a, const CoverCountRow& b) {
        return a.teacher < b.teacher;
    });
    counts.rows.insert(counts.rows.end(), others.begin(), others.end());
    return counts;
}
