#include "DailyFixture.h"
#include "TestSupport.h"

#include "store/PlanStore.h"
#include "view/TimetableStore.h"
#include "view/daily/CoverCounts.h"
#include "view/daily/DailyIndex.h"
#include "view/daily/DailyNotice.h"
#include "view/daily/DailyStore.h"
#include "view/daily/DayList.h"
#include "view/daily/DayTimetable.h"
#include "view/daily/SubstituteFinder.h"

#include <QtTest>

namespace {

QStringList suggestionTexts(const LessonSuggestions& lesson)
{
    QStringList texts;
    for (const Suggestion& s : lesson.suggestions)
        texts << s.text();
    return texts;
}

// The small school saved in the scratch database, with its calendar.
void saveSmallSchool(const TimetableData& school)
{
    PlanStore::saveWeek(school.dayCount, school.periodCount);
    PlanStore::saveSubjects(school.subjectNames);
    TimetableData copy = school;
    TimetableStore::SaveTimetable(copy);
    DailyStore::SaveCalendar(springTerm());
}

DailyData loaded()
{
    DailyData data;
    const Status status = DailyStore::Load(data);
    if (!status.ok())
        qFatal("the saved timetable did not load");
    return data;
}

} // namespace

class DailyChangesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void calendarGivesTheWeekdayOfADate_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("day");
        QTest::newRow("the first day, a Wednesday") << QDate(2026, 3, 4) << 2;
        QTest::newRow("before the first day, same week") << QDate(2026, 3, 3) << -1;
        QTest::newRow("an ordinary Friday") << QDate(2026, 3, 13) << 4;
        QTest::newRow("a holiday") << QDate(2026, 3, 16) << -1;
        QTest::newRow("a Saturday of a five-day week") << QDate(2026, 3, 14) << -1;
        QTest::newRow("a Sunday following Monday (调休)") << QDate(2026, 3, 15) << 0;
        QTest::newRow("a make-up day following a day the week lacks") << QDate(2026, 3, 21) << -1;
        QTest::newRow("the last Sunday of the term") << QDate(2026, 3, 29) << -1;
        QTest::newRow("the Monday after the term") << QDate(2026, 3, 30) << -1;
        QTest::newRow("a make-up day after the term") << QDate(2026, 4, 4) << -1;
    }
    void calendarGivesTheWeekdayOfADate()
    {
        QFETCH(QDate, date);
        QFETCH(int, day);
        // Stored and read back, so that the table keeps what the mapping needs.
        ScratchDatabase db;
        TermCalendar calendar;
        calendar.firstDay = QDate(2026, 3, 4);
        calendar.weeks = 4; // to Sunday 2026-03-29
        using Kind = TermCalendar::SpecialDay::Kind;
        calendar.specialDays[QDate(2026, 3, 16)] = {Kind::Holiday, 0};
        calendar.specialDays[QDate(2026, 3, 15)] = {Kind::MakeUp, 0};
        calendar.specialDays[QDate(2026, 3, 21)] = {Kind::MakeUp, 5};
        calendar.specialDays[QDate(2026, 4, 4)] = {Kind::MakeUp, 1};
        DailyStore::SaveCalendar(calendar);
        QCOMPARE(DailyStore::ReadCalendar().timetableDay(date, 5), day);
    }

    // Free, busy, away and already covering; same subject, then the class's
    // teachers, then anyone; the month's substitutions, then the day's
    // lessons; a daily limit reached; swaps; self-study last.
    void suggestionsComeBestFirst()
    {
        DailyData data;
        data.timetable = smallSchool();
        data.calendar = springTerm();
        const QDate monday(2026, 3, 9);
        Absence zhang;
        zhang.teacher = QStringLiteral("张");
        zhang.from = zhang.to = monday;
        Absence zhou = zhang;
        zhou.teacher = QStringLiteral("周");
        zhou.periods = {0};
        data.absences = {zhang, zhou};
        // 吴 covers 周's lesson in the same period; 王 covered once earlier this month.
        Cover wu = coverOf(monday, 0, kClassB, QStringLiteral("周"), CoverKind::Substitute, QStringLiteral("数学"),
                           QStringLiteral("周"));
        wu.substitute = QStringLiteral("冯");
        Cover wang = coverOf(QDate(2026, 3, 3), 2, kClassC, QStringLiteral("钱"), CoverKind::Substitute,
                             QStringLiteral("体育"), QStringLiteral("钱"));
        wang.substitute = QStringLiteral("王");
        Cover lastMonth = wang;
        lastMonth.date = QDate(2026, 2, 27);
        lastMonth.substitute = QStringLiteral("郑");
        data.covers = {wu, wang, lastMonth, lastMonth};
        data.dailyLimits[QStringLiteral("钱")] = 1; // has one lesson that Monday
        data.dailyLimits[QStringLiteral("李")] = 3; // two lessons that Monday: one more is allowed

        const SubstituteFinder finder(data);
        const std::vector<LessonSuggestions> day = finder.forDate(monday);
        // 张's lesson and 周's, in class order.
        QCOMPARE(day.size(), size_t(2));
        const LessonSuggestions& first = day[0];
        QCOMPARE(first.lesson.classes, QStringList{kClassA});
        QCOMPARE(first.lesson.subject, QStringLiteral("语文"));
        // 赵 teaches then, 周 is away, 冯 covers 周's lesson, 钱 has reached his limit.
        QCOMPARE(suggestionTexts(first),
                 (QStringList{QStringLiteral("郑"), QStringLiteral("王"), QStringLiteral("陈"), QStringLiteral("李"),
                              QStringLiteral("蒋"), QStringLiteral("调课：2026-03-10 星期二 第1节 数学（李）"),
                              QStringLiteral("自习")}));
        QCOMPARE(first.suggestions[0].group, Suggestion::Group::SameSubject);
        QCOMPARE(first.suggestions[1].monthCovers, 1);
        QCOMPARE(first.suggestions[2].group, Suggestion::Group::SameClass);
        QCOMPARE(first.suggestions[2].dayLessons, 1);
        QCOMPARE(first.suggestions[3].dayLessons, 2);
        QCOMPARE(first.suggestions[4].group, Suggestion::Group::AnyoneFree);

        // 周's lesson keeps 冯 among its choices: a lesson's own cover does not make him busy.
        const LessonSuggestions& zhouLesson = day[1];
        QCOMPARE(zhouLesson.lesson.teacher, QStringLiteral("周"));
        QCOMPARE(zhouLesson.lesson.cover, 0);
        QVERIFY(suggestionTexts(zhouLesson).contains(QStringLiteral("冯")));
        QVERIFY(!suggestionTexts(zhouLesson).contains(QStringLiteral("张")));
    }

    // A combined lesson is one lesson: one choice gives it to all its classes
    // and counts once.
    void aCombinedLessonIsOneLesson()
    {
        DailyData data;
        data.timetable = smallSchool();
        data.timetable.setLesson(0, 3, 0, QStringLiteral("体育"), QStringLiteral("钱"));
        data.timetable.setLesson(1, 3, 0, QStringLiteral("体育"), QStringLiteral("钱"));
        data.calendar = springTerm();
        const QDate thursday(2026, 3, 12);
        Absence qian;
        qian.teacher = QStringLiteral("钱");
        qian.from = qian.to = thursday;
        data.absences = {qian};
        {
            const SubstituteFinder finder(data);
            const std::vector<LessonSuggestions> day = finder.forDate(thursday);
            QCOMPARE(day.size(), size_t(1));
            QCOMPARE(day[0].lesson.classes, (QStringList{kClassA, kClassB}));
            QVERIFY(std::none_of(day[0].suggestions.begin(), day[0].suggestions.end(),
                                 [](const Suggestion& s) { return s.kind == CoverKind::Swap; }));
        }
        Cover cover = coverOf(thursday, 0, kClassA, QStringLiteral("钱"), CoverKind::Substitute, QStringLiteral("体育"),
                              QStringLiteral("钱"));
        cover.substitute = QStringLiteral("冯");
        data.covers = {cover};
        const DailyIndex index(data.timetable);
        const DayTimetable day(data, index, thursday);
        QCOMPARE(day.cell(0, 0).teacher, QStringLiteral("冯"));
        QCOMPARE(day.cell(1, 0).teacher, QStringLiteral("冯"));
        QCOMPARE(day.cell(1, 0).change, DayChange::Substitute);
        QCOMPARE(day.lessons(index.teacherId(QStringLiteral("冯"))), 1);
        const CoverCounts counts = CoverCounts::count(data, index, 2026, 3);
        for (const CoverCountRow& row : counts.rows) {
            if (row.teacher == QStringLiteral("冯"))
                QCOMPARE(row.covered, 1);
            if (row.teacher == QStringLiteral("钱"))
                QCOMPARE(row.missed, 1);
        }
    }

    // A swap changes the two dates only: the term's timetable stays as saved.
    void aSwapChangesTheDatesNotTheTerm()
    {
        ScratchDatabase db;
        const TimetableData school = smallSchool();
        saveSmallSchool(school);
        const QDate monday(2026, 3, 9);
        Absence zhang;
        zhang.teacher = QStringLiteral("张");
        zhang.from = zhang.to = monday;
        DailyStore::AddAbsence(zhang);

        DailyData data = loaded();
        SubstituteFinder finder(data);
        const LessonSuggestions lesson = finder.forDate(monday).front();
        const auto swap = std::find_if(lesson.suggestions.begin(), lesson.suggestions.end(),
                                       [](const Suggestion& s) { return s.kind == CoverKind::Swap; });
        QVERIFY(swap != lesson.suggestions.end());
        Cover cover = coverOf(monday, 0, kClassA, QStringLiteral("张"), CoverKind::Swap, QStringLiteral("语文"),
                              QStringLiteral("张"));
        cover.swapDate = swap->swapDate;
        cover.swapPeriod = swap->swapPeriod;
        cover.swapSubject = swap->swapSubject;
        cover.swapTeacher = swap->swapTeacher;
        DailyStore::SetCover(cover);

        data = loaded();
        QCOMPARE(data.timetable.subjectGrid, school.subjectGrid);
        QCOMPARE(data.timetable.teacherGrid, school.teacherGrid);
        const DailyIndex index(data.timetable);
        const DayTimetable onMonday(data, index, monday);
        QCOMPARE(onMonday.cell(0, 0).subject, QStringLiteral("数学"));
        QCOMPARE(onMonday.cell(0, 0).teacher, QStringLiteral("李"));
        QCOMPARE(onMonday.cell(0, 0).change, DayChange::SwappedIn);
        QCOMPARE(onMonday.cell(0, 1).change, DayChange::None);
        const DayTimetable onTuesday(data, index, monday.addDays(1));
        QCOMPARE(onTuesday.cell(0, 0).subject, QStringLiteral("语文"));
        QCOMPARE(onTuesday.cell(0, 0).teacher, QStringLiteral("张"));
        QCOMPARE(onTuesday.cell(0, 0).change, DayChange::SwappedIn);
        const DayTimetable nextMonday(data, index, monday.addDays(7));
        QCOMPARE(nextMonday.cell(0, 0).teacher, QStringLiteral("张"));
        QCOMPARE(nextMonday.cell(0, 0).change, DayChange::None);
        // The day's list has the choice, and it fits.
        const DayList list = buildDayList(data, index, monday);
        QCOMPARE(list.lessons.front().cover, 0);
        QVERIFY(list.lessons.front().problem.isEmpty());
        // 李's changes name both.
        const std::vector<TeacherChange> li = teacherChanges(data, index, QStringLiteral("李"), monday, 7);
        QCOMPARE(li.size(), size_t(2));
    }

    // A choice made before the timetable was changed and saved is flagged on
    // the day's list and kept in the file.
    void aChoiceThatNoLongerFitsIsFlagged()
    {
        ScratchDatabase db;
        TimetableData school = smallSchool();
        saveSmallSchool(school);
        const QDate monday(2026, 3, 9);
        Absence zhang;
        zhang.teacher = QStringLiteral("张");
        zhang.from = zhang.to = monday.addDays(1);
        DailyStore::AddAbsence(zhang);
        // 张's Tuesday lesson swapped with Monday's second period; then the Monday
        // lesson becomes another one and the timetable is saved.
        Cover swap = coverOf(monday.addDays(1), 1, kClassA, QStringLiteral("张"), CoverKind::Swap,
                             QStringLiteral("语文"), QStringLiteral("张"));
        swap.swapDate = monday;
        swap.swapPeriod = 1;
        swap.swapSubject = QStringLiteral("数学");
        swap.swapTeacher = QStringLiteral("李");
        DailyStore::SetCover(swap);
        {
            const DailyData data = loaded();
            const DayList list = buildDayList(data, DailyIndex(data.timetable), monday.addDays(1));
            QCOMPARE(list.lessons.size(), size_t(1));
            QVERIFY(list.lessons.front().problem.isEmpty());
        }
        school.setLesson(0, 0, 1, QStringLiteral("英语"), QStringLiteral("陈"));
        TimetableStore::SaveTimetable(school);
        {
            const DailyData data = loaded();
            const DayList list = buildDayList(data, DailyIndex(data.timetable), monday.addDays(1));
            QCOMPARE(list.lessons.size(), size_t(1));
            QCOMPARE(list.lessons.front().cover, 0);
            QVERIFY(list.lessons.front().problem.contains(QStringLiteral("课表已改变")));
        }
        // 张's Tuesday lesson moves away: the choice fits no lesson, yet is listed.
        school.setLesson(0, 1, 1, QStringLiteral("H"), QStringLiteral("H"));
        school.setLesson(0, 1, 3, QStringLiteral("语文"), QStringLiteral("张"));
        TimetableStore::SaveTimetable(school);
        const DailyData data = loaded();
        const DayList list = buildDayList(data, DailyIndex(data.timetable), monday.addDays(1));
        QCOMPARE(list.lessons.size(), size_t(1));
        QCOMPARE(list.lessons.front().period, 3);
        QCOMPARE(list.lessons.front().cover, -1);
        QCOMPARE(list.unmatched.size(), size_t(1));
        QVERIFY(list.unmatched.front().problem.contains(QStringLiteral("课表已改变")));
        QCOMPARE(DailyStore::ReadCovers().size(), size_t(1));
        const DailyNotice notice = DailyNotice::build(data, DailyIndex(data.timetable), monday.addDays(1));
        QCOMPARE(notice.rows.size(), size_t(2));
        QVERIFY(DailyNotice::cells(notice.rows.back()).last().contains(QStringLiteral("课表已改变")));
    }

    // A month with a holiday and a make-up day; a teacher no longer in the
    // timetable keeps what he covered.
    void countsOverAMonth()
    {
        DailyData data;
        data.timetable = smallSchool();
        data.calendar = springTerm();
        using Kind = TermCalendar::SpecialDay::Kind;
        data.calendar.specialDays[QDate(2026, 3, 11)] = {Kind::Holiday, 0};  // 张's Wednesday lesson
        data.calendar.specialDays[QDate(2026, 3, 15)] = {Kind::MakeUp, 2};   // a Sunday following Wednesday
        Absence zhang;
        zhang.teacher = QStringLiteral("张");
        zhang.from = QDate(2026, 3, 9);
        zhang.to = QDate(2026, 3, 15);
        data.absences = {zhang};
        Cover monday = coverOf(QDate(2026, 3, 9), 0, kClassA, QStringLiteral("张"), CoverKind::Substitute,
                               QStringLiteral("语文"), QStringLiteral("张"));
        monday.substitute = QStringLiteral("王");
        Cover tuesday = coverOf(QDate(2026, 3, 10), 1, kClassA, QStringLiteral("张"), CoverKind::SelfStudy,
                                QStringLiteral("语文"), QStringLiteral("张"));
        Cover formerTeacher = coverOf(QDate(2026, 3, 5), 1, kClassB, QStringLiteral("王"), CoverKind::Substitute,
                                      QStringLiteral("语文"), QStringLiteral("王"));
        formerTeacher.substitute = QStringLiteral("卫");
        Cover april = monday;
        april.date = QDate(2026, 4, 6);
        data.covers = {monday, tuesday, formerTeacher, april};

        const CoverCounts counts = CoverCounts::count(data, DailyIndex(data.timetable), 2026, 3);
        auto find = [&](const QString& name) {
            for (const CoverCountRow& row : counts.rows)
                if (row.teacher == name)
                    return row;
            return CoverCountRow{};
        };
        // Monday (substitute), Tuesday's second period (self-study), Sunday (make-up, nothing chosen yet);
        // Monday's second and third periods are 李's and 陈's; the holiday has no lessons.
        QCOMPARE(find(QStringLiteral("张")).missed, 3);
        QCOMPARE(find(QStringLiteral("王")).covered, 1);
        QCOMPARE(find(QStringLiteral("王")).missed, 1);
        QCOMPARE(find(QStringLiteral("卫")).covered, 1);
        QCOMPARE(counts.rows.back().teacher, QStringLiteral("卫"));
        QCOMPARE(find(QStringLiteral("李")).covered, 0);
    }
};

QTEST_GUILESS_MAIN(DailyChangesTest)
#include "DailyChangesTest.moc"
