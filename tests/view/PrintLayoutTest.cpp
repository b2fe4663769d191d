#include "TimetableFixture.h"

#include "view/PrintLayout.h"

#include <QtTest>

namespace {

// The rows as one text: "第1节上午|…|午休|第5节下午".
QString rowsText(const std::vector<PrintPage::Row>& rows)
{
    QStringList parts;
    for (const PrintPage::Row& row : rows)
        parts << row.label + row.half;
    return parts.join(QLatin1Char('|'));
}

SchoolDetails school(int morning)
{
    SchoolDetails details;
    details.name = QStringLiteral("城关中学");
    details.term = QStringLiteral("2026—2027学年第一学期");
    details.morningPeriods = morning;
    return details;
}

} // namespace

class PrintLayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowsAndBreak_data()
    {
        QTest::addColumn<int>("periods");
        QTest::addColumn<int>("morning");
        QTest::addColumn<QString>("expected");
        QTest::newRow("4 of 7") << 7 << 4
                                << "第1节上午|第2节上午|第3节上午|第4节上午|午休|第5节下午|第6节下午|第7节下午";
        QTest::newRow("5 of 7") << 7 << 5
                                << "第1节上午|第2节上午|第3节上午|第4节上午|第5节上午|午休|第6节下午|第7节下午";
        QTest::newRow("no morning") << 3 << 0 << "第1节下午|第2节下午|第3节下午";
        QTest::newRow("all morning") << 3 << 3 << "第1节上午|第2节上午|第3节上午";
        QTest::newRow("more than the day") << 3 << 6 << "第1节上午|第2节上午|第3节上午";
    }

    // The page takes its rows from the school's morning count.
    void rowsAndBreak()
    {
        QFETCH(int, periods);
        QFETCH(int, morning);
        QFETCH(QString, expected);
        TimetableModel model = emptyModel(5, periods, {QStringLiteral("七(1)班")});
        const PrintPage page = PrintLayout::ClassPage(model, 0, school(morning));
        QCOMPARE(rowsText(page.rows), expected);
        QCOMPARE(page.title, QStringLiteral("城关中学 七(1)班 课表"));
        QCOMPARE(page.term, QStringLiteral("2026—2027学年第一学期"));
    }

    // A class's footer counts its lessons per subject in the subjects' order;
    // a teacher's counts the periods taught (a combined lesson once) per day.
    void footerCounts()
    {
        TimetableModel model = emptyModel(2, 3, {QStringLiteral("七(1)班"), QStringLiteral("七(2)班")});
        fillRow(model, 0, {"数学/王", "语文/李", "-", "数学/王", "音乐/赵", "语文/李"});
        fillRow(model, 1, {"语文/李", "-", "音乐/赵", "-", "音乐/赵", "数学/王"});
        model.appendCombinedGroup(5, {0, 1, -1, -1, -1}); // 音乐 taught to both together
        model.appendFixedLesson({0, 0, 0, 2});            // 七(1)班 数学 on 星期一 第1节

        const PrintPage first = PrintLayout::ClassPage(model, 0, SchoolDetails{});
        QCOMPARE(first.title, QStringLiteral("七(1)班 课表"));
        QCOMPARE(first.footer.value(0), QStringLiteral("每周课时：语文 2　数学 2　音乐 1　共 5 节"));
        QCOMPARE(first.footer.value(1), QStringLiteral("定：固定课　合：合班课"));
        QCOMPARE(first.cell(0, 0).main, QStringLiteral("数学"));
        QCOMPARE(first.cell(0, 0).detail, QStringLiteral("王"));
        QCOMPARE(first.cell(0, 0).mark, PrintPage::Mark::Fixed);
        QCOMPARE(first.cell(1, 1).mark, PrintPage::Mark::Combined);
        QCOMPARE(first.cell(0, 1).mark, PrintPage::Mark::None);
        QVERIFY(first.cell(2, 0).isFree());

        QCOMPARE(PrintLayout::TeacherNames(model), QStringList({"王", "李", "赵"}));
        const PrintPage music = PrintLayout::TeacherPage(model, QStringLiteral("赵"), SchoolDetails{});
        QCOMPARE(music.cell(1, 1).main, QStringLiteral("音乐"));
        QCOMPARE(music.cell(1, 1).detail, QStringLiteral("七(1)班、七(2)班"));
        QCOMPARE(music.cell(2, 0).detail, QStringLiteral("七(2)班"));
        QCOMPARE(music.footer.value(0), QStringLiteral("周课时：2 节　星期一 1　星期二 1"));
        const PrintPage maths = PrintLayout::TeacherPage(model, QStringLiteral("王"), SchoolDetails{});
        QCOMPARE(maths.footer.value(0), QStringLiteral("周课时：3 节　星期一 1　星期二 2"));
        QCOMPARE(maths.cell(0, 0).detail, QStringLiteral("七(1)班"));
    }

    // The largest week: seven days to 星期天, nine periods, the band after
    // the fourth; a cell finds its day and period at the far corner.
    void fullWeek()
    {
        TimetableModel model = emptyModel(7, 9, {QStringLiteral("高一(1)班")});
        model.setLesson(0, 6, 8, QStringLiteral("体育"), QStringLiteral("孙"));
        model.setLesson(0, 0, 8, QStringLiteral("语文"), QStringLiteral("李"));
        const PrintPage page = PrintLayout::ClassPage(model, 0, school(4));
        QCOMPARE(page.dayNames.size(), 7);
        QCOMPARE(page.dayNames.last(), QStringLiteral("星期天"));
        QCOMPARE(page.rows.size(), size_t(10));
        QVERIFY(page.rows[4].isBreak());
        QCOMPARE(page.rows.back().label, QStringLiteral("第9节"));
        QCOMPARE(page.cell(8, 6).main, QStringLiteral("体育"));
        QCOMPARE(page.cell(8, 0).main, QStringLiteral("语文"));
        QVERIFY(page.cell(7, 6).isFree());
        QCOMPARE(page.footer.value(0), QStringLiteral("每周课时：语文 1　体育 1　共 2 节"));

        const OverviewTable overview = PrintLayout::MasterOverview(model, school(4));
        QCOMPARE(overview.title, QStringLiteral("城关中学 总课表"));
        QCOMPARE(overview.cell(0, 6, 8).main, QStringLiteral("体育"));
        QCOMPARE(overview.cell(0, 6, 8).detail, QStringLiteral("孙"));
    }

    void orientation_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("periods");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("5 × 8") << 5 << 8 << false;
        QTest::newRow("7 × 9") << 7 << 9 << false;
        QTest::newRow("5 × 4") << 5 << 4 << true;
        QTest::newRow("7 × 3") << 7 << 3 << true;
    }

    // Upright for a long day, across for a short one.
    void orientation()
    {
        QFETCH(int, days);
        QFETCH(int, periods);
        QFETCH(bool, landscape);
        QCOMPARE(PrintLayout::Landscape(days, periods), landscape);
    }
};

QTEST_GUILESS_MAIN(PrintLayoutTest)
#include "PrintLayoutTest.moc"
