// Daily changes on a saved timetable: the suggestions for a teacher's whole
// week of absence, and a month's counts.
//
//   DailyBench SCHOOL.db [ROUNDS]
//
// The file is only read (a saved timetable: vorlat-cli solve --save). The
// calendar, the absences and the covers are made in memory: the busiest
// teacher away a whole week for the suggestions; for the counts, absences of
// one to three days spread over the month (a fixed seed), each lesson given
// to its first suggestion.
#include "store/Database.h"
#include "view/daily/CoverCounts.h"
#include "view/daily/DailyStore.h"
#include "view/daily/SubstituteFinder.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: DailyBench SCHOOL.db [ROUNDS]\n");
        return 2;
    }
    const int rounds = std::max(1, args.value(1, QStringLiteral("7")).toInt());
    Database::open(args.first(), Database::Opening::ReadOnly);

    QElapsedTimer timer;
    timer.start();
    DailyData data;
    if (!DailyStore::Load(data).ok() || data.timetable.classCount == 0) {
        std::fprintf(stderr, "no saved timetable\n");
        return 1;
    }
    const double loadMs = timer.nsecsElapsed() / 1e6;
    data.calendar.firstDay = QDate(2026, 3, 2);
    data.calendar.weeks = 18;
    data.calendar.specialDays[QDate(2026, 3, 20)] = {TermCalendar::SpecialDay::Kind::Holiday, 0};
    data.absences.clear();
    data.covers.clear();

    DailyIndex index(data.timetable);
    int busiest = 0;
    for (int t = 1; t < index.teacherCount(); ++t)
        if (index.weeklyLessons(t) > index.weeklyLessons(busiest))
            busiest = t;
    Absence week;
    week.teacher = index.teacherName(busiest);
    week.from = QDate(2026, 3, 9);
    week.to = QDate(2026, 3, 13);
    data.absences.push_back(week);

    std::vector<double> suggestMs;
    size_t lessons = 0;
    size_t offered = 0;
    for (int r = 0; r < rounds; ++r) {
        timer.restart();
        const SubstituteFinder finder(data);
        lessons = 0;
        offered = 0;
        for (QDate date = week.from; date <= week.to; date = date.addDays(1))
            for (const LessonSuggestions& lesson : finder.forDate(date)) {
                ++lessons;
                offered += lesson.suggestions.size();
            }
        suggestMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("school: %d classes, %d teachers, loaded in %.1f ms\n", data.timetable.classCount, index.teacherCount(),
                loadMs);
    std::printf("suggestions: %s away 5 days, %zu lessons, %zu suggestions: median %.1f ms, best %.1f ms\n",
                qPrintable(week.teacher), lessons, offered, median(suggestMs),
                *std::min_element(suggestMs.begin(), suggestMs.end()));

    // A month of absences and covers.
    data.absences.clear();
    std::mt19937 random(7);
    for (int k = 0; k < index.teacherCount() / 4; ++k) {
        Absence a;
        a.id = k + 1;
        a.teacher = index.teacherName(static_cast<int>(random() % index.teacherCount()));
        a.from = QDate(2026, 3, 2 + static_cast<int>(random() % 26));
        a.to = a.from.addDays(static_cast<int>(random() % 3));
        data.absences.push_back(a);
    }
    for (QDate date(2026, 3, 1); date.month() == 3; date = date.addDays(1)) {
        const SubstituteFinder finder(data);
        for (const LessonSuggestions& lesson : finder.forDate(date)) {
            if (random() % 5 == 0)
                continue; // left unarranged
            const Suggestion& first = lesson.suggestions.front();
            Cover cover;
            cover.date = date;
            cover.period = lesson.lesson.period;
            cover.className = lesson.lesson.classes.front();
            cover.absentTeacher = lesson.lesson.teacher;
            cover.kind = first.kind;
            cover.substitute = first.teacher;
            cover.subject = lesson.lesson.subject;
            cover.teacher = lesson.lesson.teacher;
            cover.swapDate = first.swapDate;
            cover.swapPeriod = first.swapPeriod;
            cover.swapSubject = first.swapSubject;
            cover.swapTeacher = first.swapTeacher;
            data.covers.push_back(cover);
        }
    }
    std::vector<double> countMs;
    CoverCounts counts;
    for (int r = 0; r < rounds; ++r) {
        timer.restart();
        const DailyIndex fresh(data.timetable);
        counts = CoverCounts::count(data, fresh, 2026, 3);
        countMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    int covered = 0;
    int missed = 0;
    for (const CoverCountRow& row : counts.rows) {
        covered += row.covered;
        missed += row.missed;
    }
    std::printf("counts: %zu teachers, %zu absences, %zu covers (%d covered, %d missed): median %.1f ms, best %.1f ms\n",
                counts.rows.size(), data.absences.size(), data.covers.size(), covered, missed, median(countMs),
                *std::min_element(countMs.begin(), countMs.end()));
    return 0;
}
