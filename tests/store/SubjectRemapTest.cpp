#include "TestSupport.h"

#include "store/ListRewrite.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/SubjectRemap.h"
#include "store/Transaction.h"

#include <QMap>
#include <QtTest>

namespace {

const QStringList kStored{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"), QStringLiteral("物理")};

QStringList padded(const QStringList& texts, int size)
{
    QStringList all = texts;
    while (all.size() < size)
        all << QStringLiteral("H");
    return all;
}

QStringList slots(const QStringList& names)
{
    return padded(names, Plan::kSubjectSlots);
}

QStringList zoneRow(const QString& klass, const QString& day1)
{
    return {klass, day1, QStringLiteral("9"), QStringLiteral("9"), QStringLiteral("9"), QStringLiteral("9"),
            QStringLiteral("9"), QStringLiteral("9")};
}

// Two classes of 七年级: counts 6, 5, 4, 2 for 语文, 数学, 英语, 物理; a
// subject zone on day 1 for 语文 and 物理 of 七(1)班, a teacher zone for 英语 of
// 七(2)班; fixed lessons of 语文 and 物理; a combined group of 物理.
void writeSchool()
{
    Transaction tx(QStringLiteral("test"));
    PlanStore::saveSubjects(slots(kStored));
    PlanStore::saveAssignments({padded({QStringLiteral("七年级"), QStringLiteral("七(1)班"), QStringLiteral("甲"),
                                        QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")},
                                       Plan::kAssignmentTexts),
                                padded({QStringLiteral("七年级"), QStringLiteral("七(2)班"), QStringLiteral("甲"),
                                        QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")},
                                       Plan::kAssignmentTexts)});
    PlanStore::saveWeeklyPlanRow(6, 17, {6, 5, 4, 2});
    std::vector<QStringList> subjectZones;
    std::vector<QStringList> teacherZones;
    for (const QString& klass : {QStringLiteral("七(1)班"), QStringLiteral("七(2)班")})
        for (int s = 0; s < Plan::kSubjectSlots; ++s) {
            const bool first = klass == QStringLiteral("七(1)班");
            subjectZones.push_back(zoneRow(klass, first && s == 0 ? QStringLiteral("01")
                                                  : first && s == 3 ? QStringLiteral("5")
                                                                    : QStringLiteral("9")));
            teacherZones.push_back(zoneRow(klass, !first && s == 2 ? QStringLiteral("234") : QStringLiteral("9")));
        }
    PlanStore::saveSubjectZones(subjectZones);
    PlanStore::saveTeacherZones(teacherZones);
    PlanStore::saveFixedLessons({{QStringLiteral("七(1)班"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("语文")},
                                 {QStringLiteral("七(2)班"), QStringLiteral("8"), QStringLiteral("1"), QStringLiteral("物理")},
                                 {QStringLiteral("七(2)班"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("数学")}});
    PlanStore::saveCombinedClasses({{QStringLiteral("物理"), QStringLiteral("七(1)班"), QStringLiteral("七(2)班"),
                                     QStringLiteral("H"), QStringLiteral("H"), QStringLiteral("H")}});
    tx.commit();
}

// What the tables hold for each subject of 任教科目, by its name: the 七年级
// count, then the day-1 subject and teacher zones of both classes.
QMap<QString, QString> storedByName()
{
    QMap<QString, QString> byName;
    const std::vector<QStringList> subjects = tableRows(Schema::kSubjectsTable);
    const std::vector<QStringList> weekly = tableRows(Schema::kWeeklyPlanTable);
    const std::vector<QStringList> subjectZones = tableRows(Schema::kSubjectZonesTable);
    const std::vector<QStringList> teacherZones = tableRows(Schema::kTeacherZonesTable);
    for (int s = 0; s < Plan::kSubjectSlots; ++s) {
        const QString& name = subjects[static_cast<size_t>(s)].front();
        if (name == QLatin1String("H"))
            continue;
        byName[name] = QStringLiteral("%1 %2/%3 %4/%5")
                           .arg(weekly[6][2 + s])
                           .arg(subjectZones[static_cast<size_t>(s)][1], subjectZones[static_cast<size_t>(24 + s)][1])
                           .arg(teacherZones[static_cast<size_t>(s)][1], teacherZones[static_cast<size_t>(24 + s)][1]);
    }
    return byName;
}

// The subjects named by the live rows of a table, in row order.
QStringList subjectsNamedIn(const QString& table, int keyColumn, int subjectColumn)
{
    QStringList names;
    for (const QStringList& row : tableRows(table)) {
        if (row[keyColumn] == QLatin1String("H"))
            break;
        names << row[subjectColumn];
    }
    return names;
}

} // namespace

class SubjectRemapTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A new subject list against the stored 语文, 数学, 英语, 物理: the moves and
    // losses told beforehand, and afterwards every count and zone under the
    // name it had, a new subject with none, and nothing left of a dropped one.
    void dataFollowsTheSubjectName_data()
    {
        QTest::addColumn<QStringList>("subjects");
        QTest::addColumn<QStringList>("moved");   // "name from→to"
        QTest::addColumn<QStringList>("dropped"); // "name from: counts/zones/teacher zones/fixed/groups"

        QTest::newRow("same list") << kStored << QStringList() << QStringList();
        QTest::newRow("a subject added at the end")
            << (kStored + QStringList{QStringLiteral("化学")}) << QStringList() << QStringList();
        QTest::newRow("语文 and 英语 swap columns")
            << QStringList{QStringLiteral("英语"), QStringLiteral("数学"), QStringLiteral("语文"), QStringLiteral("物理")}
            << QStringList{QStringLiteral("语文 1→3"), QStringLiteral("英语 3→1")} << QStringList();
        QTest::newRow("reversed, one new")
            << QStringList{QStringLiteral("化学"), QStringLiteral("物理"), QStringLiteral("英语"), QStringLiteral("数学"),
                           QStringLiteral("语文")}
            << QStringList{QStringLiteral("语文 1→5"), QStringLiteral("数学 2→4"), QStringLiteral("物理 4→2")}
            << QStringList();
        QTest::newRow("物理 gone, 语文 moves into its place")
            << QStringList{QStringLiteral("英语"), QStringLiteral("数学"), QStringLiteral("化学"), QStringLiteral("语文")}
            << QStringList{QStringLiteral("语文 1→4"), QStringLiteral("英语 3→1")}
            << QStringList{QStringLiteral("物理 4: 1/1/0/1/1")};
        QTest::newRow("the last subject gone")
            << QStringList{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语")} << QStringList()
            << QStringList{QStringLiteral("物理 4: 1/1/0/1/1")};
        QTest::newRow("renamed: every subject gone")
            << QStringList{QStringLiteral("国文"), QStringLiteral("算术")} << QStringList()
            << QStringList{QStringLiteral("语文 1: 1/1/0/1/0"), QStringLiteral("数学 2: 1/0/0/1/0"),
                           QStringLiteral("英语 3: 1/0/1/0/0"), QStringLiteral("物理 4: 1/1/0/1/1")};
    }

    void dataFollowsTheSubjectName()
    {
        QFETCH(QStringList, subjects);
        QFETCH(QStringList, moved);
        QFETCH(QStringList, dropped);
        ScratchDatabase db;
        writeSchool();
        const QMap<QString, QString> before = storedByName();
        const QStringList fixedBefore = subjectsNamedIn(Schema::kFixedTable, 0, 3);

        const SubjectRemap remap = SubjectRemap::Prepare(slots(subjects));
        QStringList movedSeen;
        for (const SubjectRemap::Move& move : remap.moved())
            movedSeen << QStringLiteral("%1 %2→%3").arg(move.subject).arg(move.from).arg(move.to);
        QCOMPARE(movedSeen, moved);
        QStringList droppedSeen;
        for (const SubjectRemap::Loss& loss : remap.dropped())
            droppedSeen << QStringLiteral("%1 %2: %3/%4/%5/%6/%7")
                               .arg(loss.subject)
                               .arg(loss.from)
                               .arg(loss.weeklyCounts)
                               .arg(loss.subjectZones)
                               .arg(loss.teacherZones)
                               .arg(loss.fixedLessons)
                               .arg(loss.combinedGroups);
        QCOMPARE(droppedSeen, dropped);
        QCOMPARE(remap.changesAnything(), !moved.isEmpty() || !dropped.isEmpty());

        const QByteArray untouched = fileHash(db.path());
        remap.apply();
        if (!remap.changesAnything())
            QCOMPARE(fileHash(db.path()), untouched);
        PlanStore::saveSubjects(slots(subjects));

        const QMap<QString, QString> after = storedByName();
        QCOMPARE(after.size(), subjects.size());
        for (const QString& name : subjects)
            QCOMPARE(after.value(name), before.value(name, QStringLiteral("0 9/9 9/9")));

        // The weekly total is the sum of what is left.
        const std::vector<QStringList> weekly = tableRows(Schema::kWeeklyPlanTable);
        int sum = 0;
        for (int s = 0; s < Plan::kSubjectSlots; ++s)
            sum += weekly[6][2 + s].toInt();
        QCOMPARE(weekly[6][0].toInt(), sum);

        // Fixed lessons and groups keep their rows unless their subject is gone.
        QStringList fixedKept;
        for (const QString& name : fixedBefore)
            if (subjects.contains(name))
                fixedKept << name;
        QCOMPARE(subjectsNamedIn(Schema::kFixedTable, 0, 3), fixedKept);
        QCOMPARE(subjectsNamedIn(Schema::kCombinedTable, 0, 0),
                 subjects.contains(QStringLiteral("物理")) ? QStringList{QStringLiteral("物理")} : QStringList());
        // A fixed lesson outside the week (day 8) is kept as it was while its subject is.
        for (const QStringList& row : tableRows(Schema::kFixedTable))
            if (row[3] == QStringLiteral("物理"))
                QCOMPARE(row[1], QStringLiteral("8"));
    }

    // A subject dropped from a stored list that named it twice keeps its
    // fixed lessons while one of its copies stays.
    void aRepeatedStoredNamePairsInOrder()
    {
        ScratchDatabase db;
        writeSchool();
        PlanStore::saveSubjects(slots({QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("语文")}));
        const SubjectRemap remap = SubjectRemap::Prepare(slots({QStringLiteral("数学"), QStringLiteral("语文")}));
        QCOMPARE(static_cast<int>(remap.moved().size()), 2); // 语文 1→2, 数学 2→1
        QCOMPARE(static_cast<int>(remap.dropped().size()), 1);
        QCOMPARE(remap.dropped().front().from, 3);
        QCOMPARE(remap.dropped().front().fixedLessons, 0);
        QCOMPARE(remap.dropped().front().weeklyCounts, 1); // 英语's old count under slot 3
        remap.apply();
        QCOMPARE(subjectsNamedIn(Schema::kFixedTable, 0, 3).count(QStringLiteral("语文")), 1);
    }
};

QTEST_GUILESS_MAIN(SubjectRemapTest)
#include "SubjectRemapTest.moc"
