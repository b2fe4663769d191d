#include "view/DailyFixture.h"

#include "view/daily/DailyEdit.h"
#include "view/daily/DailyIndex.h"
#include "view/daily/DayList.h"
#include "base/Naming.h"

#include <QtTest>

namespace {

DailyData smallData()
{
    DailyData data;
    data.timetable = smallSchool();
    data.calendar = springTerm();
    return data;
}

Absence absenceOf(const QString& teacher, const QDate& from, const QDate& to, std::vector<int> periods = {})
{
    Absence absence;
    absence.teacher = teacher;
    absence.from = from;
    absence.to = to;
    absence.periods = std::move(periods);
    return absence;
}

} // namespace

class DailyEditTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void periodsRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<std::vector<int>>("periods");
        QTest::addColumn<QString>("shown");
        QTest::newRow("all day") << QString() << true << std::vector<int>{} << QStringLiteral("全天");
        QTest::newRow("listed") << QStringLiteral("3,1") << true << std::vector<int>{0, 2} << QStringLiteral("第1,3节");
        QTest::newRow("full-width comma, spaces, repeats")
            << QStringLiteral(" 2，2 4 ") << true << std::vector<int>{1, 3} << QStringLiteral("第2,4节");
        QTest::newRow("beyond the day") << QStringLiteral("1,5") << false << std::vector<int>{} << QString();
        QTest::newRow("zero") << QStringLiteral("0") << false << std::vector<int>{} << QString();
        QTest::newRow("not a number") << QStringLiteral("1-2") << false << std::vector<int>{} << QString();
    }
    void periodsRead()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(std::vector<int>, periods);
        QFETCH(QString, shown);
        std::vector<int> read{9};
        QString error;
        QCOMPARE(parseAbsencePeriods(text, 4, read, error), ok);
        QCOMPARE(read, periods);
        QCOMPARE(error.isEmpty(), ok);
        if (ok) {
            Absence absence;
            absence.periods = read;
            QCOMPARE(absencePeriodsText(absence), shown);
        }
    }

    void absenceRefused_data()
    {
        QTest::addColumn<QString>("teacher");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<int>("lastPeriod");
        QTest::addColumn<QString>("refusal");
        const QDate monday(2026, 3, 9);
        QTest::newRow("fits") << QStringLiteral("张") << monday << monday.addDays(2) << 3 << QString();
        QTest::newRow("no teacher") << QString() << monday << monday << -1 << QStringLiteral("请选择");
        QTest::newRow("not in the timetable") << QStringLiteral("孙") << monday << monday << -1 << QStringLiteral("没有教师“孙”");
        QTest::newRow("ends before it starts") << QStringLiteral("张") << monday << monday.addDays(-1) << -1 << QStringLiteral("早于");
        QTest::newRow("over a year") << QStringLiteral("张") << monday << monday.addDays(400) << -1 << QStringLiteral("一年");
        QTest::newRow("period beyond the day") << QStringLiteral("张") << monday << monday << 4 << QStringLiteral("只有 4 节");
    }
    void absenceRefused()
    {
        QFETCH(QString, teacher);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(int, lastPeriod);
        QFETCH(QString, refusal);
        const DailyData data = smallData();
        const DailyIndex index(data.timetable);
        const Absence absence = absenceOf(teacher, from, to, lastPeriod < 0 ? std::vector<int>{} : std::vector<int>{lastPeriod});
        const QString found = absenceRefusal(absence, data, index);
        if (refusal.isEmpty())
            QVERIFY2(found.isEmpty(), qPrintable(found));
        else
            QVERIFY2(found.contains(refusal), qPrintable(found));
    }

    // A choice taken from a suggestion keeps what the saved timetable has in
    // the lesson's cell, so that a later change of the timetable is seen; the
    // day's list then shows it flagged with the reason, not dropped.
    void choiceKeepsTheCellAndIsFlaggedWhenStale()
    {
        DailyData data = smallData();
        const QDate monday(2026, 3, 9);
        data.absences.push_back(absenceOf(QStringLiteral("张"), monday, monday));
        const DailyIndex index(data.timetable);
        DayList list = buildDayList(data, index, monday);
        QCOMPARE(list.lessons.size(), size_t(1));
        QCOMPARE(lessonState(data, list.lessons.front()).choice, QStringLiteral("待安排"));

        Suggestion swap;
        swap.kind = CoverKind::Swap;
        swap.swapDate = monday;
        swap.swapPeriod = 2;
        swap.swapSubject = QStringLiteral("英语");
        swap.swapTeacher = QStringLiteral("陈");
        Cover cover = coverFor(data, list.lessons.front(), swap);
        QCOMPARE(cover.className, kClassA);
        QCOMPARE(cover.period, 0);
        QCOMPARE(cover.absentTeacher, QStringLiteral("张"));
        QCOMPARE(cover.subject, QStringLiteral("语文"));
        QCOMPARE(cover.teacher, QStringLiteral("张"));
        QCOMPARE(cover.swapTeacher, QStringLiteral("陈"));
        data.covers.push_back(cover);

        list = buildDayList(data, index, monday);
        LessonState state = lessonState(data, list.lessons.front());
        QVERIFY(state.arranged);
        QCOMPARE(state.choice, QStringLiteral("调课：03-09 %1 英语（陈）").arg(PeriodName(2)));
        QVERIFY(state.warning.isEmpty());

        // The saved timetable changes the swapped cell: the choice is flagged.
        data.timetable.setLesson(0, 0, 2, QStringLiteral("音乐"), QStringLiteral("赵"));
        const DailyIndex changed(data.timetable);
        list = buildDayList(data, changed, monday);
        QCOMPARE(list.lessons.size(), size_t(1));
        state = lessonState(data, list.lessons.front());
        QVERIFY(state.arranged);
        QVERIFY2(state.warning.startsWith(QStringLiteral("⚠ ")), qPrintable(state.warning));
    }

    // Each change of the day has its own colour, none white; the cell names
    // the term's lesson it replaces.
    void dayCellsShowTheirChange()
    {
        DayCell cell;
        cell.subject = QStringLiteral("语文");
        cell.teacher = QStringLiteral("李");
        cell.termSubject = QStringLiteral("语文");
        cell.termTeacher = QStringLiteral("张");
        cell.change = DayChange::Substitute;
        QCOMPARE(dayCellText(cell), QStringLiteral("语文\n李\n代 张"));
        QSet<std::uint32_t> colours{dayChangeRgb(DayChange::None)};
        for (DayChange change : {DayChange::Uncovered, DayChange::Substitute, DayChange::SwappedIn, DayChange::SelfStudy}) {
            QVERIFY(!colours.contains(dayChangeRgb(change)));
            colours.insert(dayChangeRgb(change));
        }
    }
};

QTEST_GUILESS_MAIN(DailyEditTest)
#include "DailyEditTest.moc"
