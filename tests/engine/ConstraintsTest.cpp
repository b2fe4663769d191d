#include "TestSupport.h"

#include "engine/PlanningModel.h"
#include "base/ZoneText.h"
#include "store/PlanReader.h"
#include "store/Database.h"
#include "store/PlanStore.h"

#include <QtTest>

#include <vector>

namespace {

// A week of 5 days x 8 periods, subjects 语文, 数学, 英语, then "H", then 体育;
// classes 一班, 二班, 三班.
void writePlan()
{
    PlanStore::saveWeek(5, 8);
    PlanStore::saveSubjects({QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"),
                             QStringLiteral("H"), QStringLiteral("体育")});
    std::vector<QStringList> rows;
    for (const QString& name : {QStringLiteral("一班"), QStringLiteral("二班"), QStringLiteral("三班")}) {
        QStringList row{QStringLiteral("七年级"), name};
        for (int n = 1; n <= 24; ++n)
            row << QStringLiteral("H");
        rows.push_back(row);
    }
    PlanStore::saveAssignments(rows);
}

PlanningModel loadModel()
{
    PlanningModel m;
    const Status read = PlanReader::Load(m);
    Q_ASSERT(read.ok());
    m.BuildAllowedPeriods();
    return m;
}

// 24 zone rows of one class, all "9" but the given (subject, day, zone) entries.
struct ZoneEntry
{
    int subject;
    int day;
    QString zone;
};

std::vector<QStringList> zoneBlock(const QString& className, const std::vector<ZoneEntry>& entries)
{
    std::vector<QStringList> rows;
    for (int s = 1; s <= 24; ++s) {
        QStringList row{className};
        for (int d = 0; d < 7; ++d)
            row << QStringLiteral("9");
        rows.push_back(row);
    }
    for (const ZoneEntry& e : entries)
        rows[static_cast<size_t>(e.subject - 1)][1 + e.day] = e.zone;
    return rows;
}

QString subjectZone(const PlanningModel& m, int c, int s, int d)
{
    return m.subjectZones[PlanningModel::zoneIndex(c, s, d)];
}

} // namespace

class ConstraintsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedZones_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("allowed"); // with the whole day as teacher zone
        QTest::newRow("0137 kept") << "0137" << "0137" << "0137";
        QTest::newRow("no-zone marker") << "9" << "01234567" << "01234567";
        QTest::newRow("only periods beyond the day") << "89" << "01234567" << "01234567";
        QTest::newRow("stored order kept") << "7310" << "7310" << "0137";
        QTest::newRow("repeats kept, others dropped") << "3a38x3" << "333" << "3";
        QTest::newRow("empty text") << "" << "01234567" << "01234567";
    }
    void storedZones()
    {
        QFETCH(QString, stored);
        QFETCH(QString, zone);
        QFETCH(QString, allowed);
        ScratchDatabase db;
        writePlan();
        PlanStore::saveSubjectZones(zoneBlock(QStringLiteral("二班"), {{2, 0, stored}}));
        const PlanningModel m = loadModel();
        QCOMPARE(subjectZone(m, 1, 2, 0), zone);
        QCOMPARE(m.zone(1, 2, 0), allowed);
        QCOMPARE(subjectZone(m, 1, 2, 1), QStringLiteral("01234567"));
        QCOMPARE(subjectZone(m, 0, 2, 0), QStringLiteral("01234567"));
        QCOMPARE(m.subjectZones[PlanningModel::zoneIndex(1, 2, 0) - 1], QStringLiteral("二班"));
        QCOMPARE(m.allowedPeriods.size(), 3 * 192);
    }

    void intersections_data()
    {
        QTest::addColumn<QString>("subjectZone");
        QTest::addColumn<QString>("teacherZone");
        QTest::addColumn<QString>("allowed");
        QTest::newRow("012 with 234") << "012" << "234" << "2";
        QTest::newRow("01 with 45: both") << "01" << "45" << "0145";
        QTest::newRow("ascending") << "7310" << "0713" << "0137";
        QTest::newRow("none with 0137") << "9" << "0137" << "0137";
        QTest::newRow("disjoint keeps stored order and repeats") << "3113" << "54" << "311354";
    }
    void intersections()
    {
        QFETCH(QString, subjectZone);
        QFETCH(QString, teacherZone);
        QFETCH(QString, allowed);
        ScratchDatabase db;
        writePlan();
        PlanStore::saveSubjectZones(zoneBlock(QStringLiteral("三班"), {{5, 3, subjectZone}}));
        PlanStore::saveTeacherZones(zoneBlock(QStringLiteral("三班"), {{5, 3, teacherZone}}));
        const PlanningModel m = loadModel();
        QCOMPARE(m.zone(2, 5, 3), allowed);
        QCOMPARE(m.zone(2, 5, 2), QStringLiteral("01234567"));
    }

    // Blocks of 24 rows, one per class: the first row names the class, a later
    // block of a class wins, nothing after the first "H" row is read, an
    // incomplete last block is ignored and so is a block of an unknown class.
    void zoneBlocks()
    {
        ScratchDatabase db;
        writePlan();
        std::vector<QStringList> rows = zoneBlock(QStringLiteral("一班"), {{1, 0, "0"}, {1, 1, "1"}});
        for (const QStringList& row : zoneBlock(QStringLiteral("四班"), {{1, 0, "4"}}))
            rows.push_back(row);
        std::vector<QStringList> second = zoneBlock(QStringLiteral("二班"), {{1, 0, "2"}});
        second[5][0] = QStringLiteral("一班"); // only the first row of a block names its class
        rows.insert(rows.end(), second.begin(), second.end());
        for (const QStringList& row : zoneBlock(QStringLiteral("一班"), {{1, 0, "5"}}))
            rows.push_back(row); // wins over the first block of 一班, day 1 back to the whole day
        for (const QStringList& row : zoneBlock(QStringLiteral("三班"), {{1, 0, "3"}}))
            if (rows.size() % 24 != 23)
                rows.push_back(row); // 23 rows only
        PlanStore::saveSubjectZones(rows);
        PlanningModel m = loadModel();
        QCOMPARE(subjectZone(m, 0, 1, 0), QStringLiteral("5"));
        QCOMPARE(subjectZone(m, 0, 1, 1), QStringLiteral("01234567"));
        QCOMPARE(subjectZone(m, 1, 1, 0), QStringLiteral("2"));
        QCOMPARE(subjectZone(m, 2, 1, 0), QStringLiteral("01234567"));

        // A class row "H" ends the table: the block after it is not read.
        std::vector<QStringList> stopped = zoneBlock(QStringLiteral("一班"), {{1, 0, "6"}});
        QStringList marker{QStringLiteral("H")};
        for (int d = 0; d < 7; ++d)
            marker << QStringLiteral("9");
        stopped.push_back(marker);
        for (const QStringList& row : zoneBlock(QStringLiteral("二班"), {{1, 0, "7"}}))
            stopped.push_back(row);
        PlanStore::saveSubjectZones(stopped);
        m = loadModel();
        QCOMPARE(subjectZone(m, 0, 1, 0), QStringLiteral("6"));
        QCOMPARE(subjectZone(m, 1, 1, 0), QStringLiteral("01234567"));
    }

    void fixedLessons()
    {
        ScratchDatabase db;
        writePlan();
        PlanStore::saveFixedLessons({
            {"二班", "1", "1", "数学"},          // kept: (1, 0, 0, 2)
            {"一班", "6", "1", "语文"},          // day 6 of a 5-day week: dropped
            {"一班", "0", "1", "语文"},          // day 0: dropped
            {"一班", "5", "9", "语文"},          // period 9 of 8: dropped
            {"五班", "1", "1", "语文"},          // unknown class: dropped
            {"一班", "1", "1", "物理"},          // unknown subject: dropped
            {"一班", "99999999999", "1", "语文"}, // clamped, still outside the week
            {"三班", " 5xyz", "+8", "H"},        // "H" is the first "H" subject slot, 4
            {"H", "1", "1", "语文"},
            {"一班", "2", "2", "语文"},          // after the first row without a class: not read
        });
        const PlanningModel m = loadModel();
        QCOMPARE(m.fixedLessons, (std::vector<int>{1, 0, 0, 2, 2, 4, 7, 4}));
        QVERIFY(m.IsFixedLesson(1, 0, 0, 2));
        QVERIFY(!m.IsFixedLesson(1, 0, 0, 1));
        QVERIFY(!m.IsFixedLesson(0, 0, 0, 2));
    }

    void combinedClasses()
    {
        ScratchDatabase db;
        writePlan();
        PlanStore::saveCombinedClasses({
            {"体育", "一班", "H", "三班", "H", "H"},   // (5, 0, -1, 2, -1, -1)
            {"体育", "一班", "H", "六班", "H", "H"},   // unknown member: dropped whole
            {"物理", "一班", "二班", "H", "H", "H"},   // unknown subject: dropped
            {"数学", "H", "H", "H", "H", "二班"},      // (2, -1, -1, -1, -1, 1)
            {"H", "一班", "二班", "H", "H", "H"},
            {"语文", "一班", "二班", "H", "H", "H"},   // after the first row without a subject
        });
        const PlanningModel m = loadModel();
        QCOMPARE(m.combinedClasses, (std::vector<int>{5, 0, -1, 2, -1, -1, 2, -1, -1, -1, -1, 1}));
        QCOMPARE(m.FindCombinedGroup(2, 5), 0);
        QCOMPARE(m.FindCombinedGroup(1, 5), -1);
        QCOMPARE(m.FindCombinedGroup(1, 2), 1);
    }
};

QTEST_GUILESS_MAIN(ConstraintsTest)
#include "ConstraintsTest.moc"
