#include "view/daily/SubstituteFinder.h"

#include "base/Naming.h"
#include "store/TextRules.h"

#include <algorithm>
#include <tuple>

QString Suggestion::text() const
{
    switch (kind) {
    case CoverKind::Substitute:
        return teacher;
    case CoverKind::Swap:
        return QStringLiteral("调课：%1 %2 %3 %4（%5）")
            .arg(TermCalendar::dateText(swapDate), DayName(swapDate.dayOfWeek() - 1), PeriodName(swapPeriod),
                 swapSubject, swapTeacher);
    case CoverKind::SelfStudy:
        return QStringLiteral("自习");
    }
    return {};
}

SubstituteFinder::SubstituteFinder(const DailyData& data) : m_data(data), m_index(data.timetable) {}

const DayTimetable& SubstituteFinder::dayOf(const QDate& date) const
{
    std::unique_ptr<DayTimetable>& day = m_days[date];
    if (!day)
        day = std::make_unique<DayTimetable>(m_data, m_index, date);
    return *day;
}

std::vector<LessonSuggestions> SubstituteFinder::forDate(const QDate& date) const
{
    std::vector<LessonSuggestions> all;
    const DayList list = dayList(date);
    all.reserve(list.lessons.size());
    for (const AffectedLesson& lesson : list.lessons)
        all.push_back(forLesson(lesson));
    return all;
}

LessonSuggestions SubstituteFinder::forLesson(const AffectedLesson& lesson) const
{
    LessonSuggestions result;
    result.lesson = lesson;
    // The lesson's own choice is left out, so that it can be chosen again or changed.
    const DayTimetable here(m_data, m_index, lesson.date, lesson.cover);
    if (!here.hasLessons())
        return result;
    const std::uint16_t bit = static_cast<std::uint16_t>(1u << lesson.period);
    const int absent = m_index.teacherId(lesson.teacher);
    std::vector<int> classes;
    for (const QString& name : lesson.classes)
        classes.push_back(m_data.timetable.ClassIndex(name));

    // The month's substitutions, counted once per teacher.
    std::map<QString, int> month;
    for (int i = 0; i < static_cast<int>(m_data.covers.size()); ++i) {
        const Cover& cover = m_data.covers[static_cast<size_t>(i)];
        if (i != lesson.cover && cover.kind == CoverKind::Substitute && cover.date.year() == lesson.date.year()
            && cover.date.month() == lesson.date.month() && cover.date <= lesson.date)
            ++month[cover.substitute];
    }

    std::vector<Suggestion> substitutes;
    for (int t = 0; t < m_index.teacherCount(); ++t) {
        if (t == absent || (here.busy(t) & bit) || (here.absent(t) & bit))
            continue;
        const QString& name = m_index.teacherName(t);
        const int lessons = here.lessons(t);
        const auto limit = m_data.dailyLimits.find(name);
        if (limit != m_data.dailyLimits.end() && lessons + 1 > limit->second)
            continue;
        Suggestion s;
        s.kind = CoverKind::Substitute;
        s.teacher = name;
        s.dayLessons = lessons;
        const auto covered = month.find(name);
        s.monthCovers = covered == month.end() ? 0 : covered->second;
        if (m_index.teachesSubject(t, lesson.subject))
            s.group = Suggestion::Group::SameSubject;
        else if (std::any_of(classes.begin(), classes.end(), [&](int c) { return c >= 0 && m_index.teachesClass(t, c); }))
            s.group = Suggestion::Group::SameClass;
        else
            s.group = Suggestion::Group::AnyoneFree;
        substitutes.push_back(s);
    }
    std::sort(substitutes.begin(), substitutes.end(), [](const Suggestion& a, const Suggestion& b) {
        return std::tie(a.group, a.monthCovers, a.dayLessons, a.teacher)
            < std::tie(b.group, b.monthCovers, b.dayLessons, b.teacher);
    });
    result.suggestions = std::move(substitutes);
    if (classes.size() == 1 && classes.front() >= 0)
        addSwaps(lesson, here, result.suggestions);
    Suggestion selfStudy;
    selfStudy.kind = CoverKind::SelfStudy;
    result.suggestions.push_back(selfStudy);
    return result;
}

void SubstituteFinder::addSwaps(const AffectedLesson& lesson, const DayTimetable& here,
                                std::vector<Suggestion>& out) const
{
    const int c = m_data.timetable.ClassIndex(lesson.classes.front());
    const int absent = m_index.teacherId(lesson.teacher);
    const std::uint16_t bit = static_cast<std::uint16_t>(1u << lesson.period);
    std::vector<std::pair<qint64, Suggestion>> swaps; // distance, suggestion
    const QDate monday = lesson.date.addDays(1 - lesson.date.dayOfWeek());
    for (int k = 0; k < 7; ++k) {
        const QDate date = monday.addDays(k);
        const bool sameDay = date == lesson.date;
        const DayTimetable& other = sameDay ? here : dayOf(date);
        if (!other.hasLessons())
            continue;
        for (int p = 0; p < other.periodCount(); ++p) {
            if (sameDay && p == lesson.period)
                continue;
            const DayCell& cell = other.cell(c, p);
            if (cell.change != DayChange::None || TextRules::isEmpty(cell.teacher) || cell.teacher == lesson.teacher)
                continue;
            const int teacher = m_index.teacherId(cell.teacher);
            if (teacher < 0 || m_index.classesAt(teacher, other.day(), p).size() != 1)
                continue;
            // Its teacher comes to this period, the absent teacher goes to that one.
            if ((here.busy(teacher) & bit) || (here.absent(teacher) & bit))
                continue;
            const std::uint16_t thatBit = static_cast<std::uint16_t>(1u << p);
            if (absent < 0 || (other.busy(absent) & thatBit) || (other.absent(absent) & thatBit))
                continue;
            Suggestion s;
            s.kind = CoverKind::Swap;
            s.swapDate = date;
            s.swapPeriod = p;
            s.swapSubject = cell.subject;
            s.swapTeacher = cell.teacher;
            const qint64 distance = std::abs(lesson.date.daysTo(date)) * 2 + (date < lesson.date ? 1 : 0);
            swaps.emplace_back(distance * 16 + p, s);
        }
    }
    std::stable_sort(swaps.begin(), swaps.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& swap : swaps)
        out.push_back(swap.second);
}
