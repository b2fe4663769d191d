#include "TestSupport.h"

#include "base/SchoolPlan.h"
#include "store/Database.h"
#include "store/DemoSchool.h"
#include "store/PlanReader.h"
#include "store/Schema.h"

#include <QSqlQuery>
#include <QtTest>

namespace {

// The rules as one line each, so that a case compares against plain text.
QStringList rulesText(const SchoolRules& rules)
{
    QStringList lines;
    for (const auto& off : rules.teacherOff)
        lines << QStringLiteral("off %1 %2 %3-%4").arg(off.teacher).arg(off.day).arg(off.firstPeriod).arg(off.lastPeriod);
    for (const auto& limit : rules.teacherLimits)
        lines << QStringLiteral("limit %1 %2 %3 %4").arg(limit.teacher).arg(limit.perDay).arg(limit.daysPerWeek).arg(limit.inARow);
    for (const auto& cap : rules.venueCaps)
        lines << QStringLiteral("venue %1 %2 %3 %4")
                     .arg(cap.venue, cap.subjects.join(QLatin1Char('+')), cap.grade.isEmpty() ? QStringLiteral("*") : cap.grade)
                     .arg(cap.cap);
    for (const auto& rule : rules.doubleLessons)
        lines << QStringLiteral("double %1 %2 %3 %4")
                     .arg(rule.grade, rule.className.isEmpty() ? QStringLiteral("*") : rule.className, rule.subject)
                     .arg(rule.perWeek);
    return lines;
}

void insertRow(const QString& table, const QStringList& values)
{
    const QStringList columns = Schema::table(table).columns;
    QStringList names;
    QStringList marks;
    QVariantList bound;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        names << Schema::quoted(columns[i]);
        marks << QStringLiteral("?");
        bound << (i < values.size() ? QVariant(values[i]) : QVariant());
    }
    Database::exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(Schema::quoted(table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                   bound, QStringLiteral("写入测试规则"));
}

} // namespace

// The rule tables as another tool may have filled them, read into the plan.
class RulesReaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsRowsAndNamesTheOnesItCannotUse_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("rows"); // fields joined by ","; T stands for a teacher of the school
        QTest::addColumn<QString>("morning");  // 学校信息.上午节数, empty for none
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("note"); // part of the one note expected, empty for none

        const QString off = Schema::kTeacherOffTable;
        const QString limits = Schema::kTeacherLimitsTable;
        const QString venues = Schema::kVenueCapsTable;
        const QString doubles = Schema::kDoubleLessonsTable;
        QTest::newRow("whole day") << off << QStringList{"T,3,0"} << "" << QStringList{"off T 2 0-7"} << "";
        QTest::newRow("morning by day name") << off << QStringList{"T,星期二,上午"} << "" << QStringList{"off T 1 0-3"} << "";
        QTest::newRow("afternoon after a morning of five") << off << QStringList{"T,2,下午"} << "5" << QStringList{"off T 1 5-7"} << "";
        QTest::newRow("one period") << off << QStringList{"T,1,6"} << "" << QStringList{"off T 0 5-5"} << "";
        QTest::newRow("day outside the week") << off << QStringList{"T,1,0", "T,8,0"} << "" << QStringList{"off T 0 0-7"}
                                              << "教师不排课第2行（T，星期8，节次0）：星期“8”不在每周5天之内";
        QTest::newRow("unknown teacher") << off << QStringList{"无名氏,1,0"} << "" << QStringList{}
                                         << "没有名为“无名氏”的任课教师";
        QTest::newRow("period outside the day") << off << QStringList{"T,1,9"} << "" << QStringList{} << "节次“9”";
        QTest::newRow("limits, empty cells no limit, two rows merged")
            << limits << QStringList{"T,5,,3", "T,6,4,"} << "" << QStringList{"limit T 5 4 3"} << "";
        QTest::newRow("unreadable limit") << limits << QStringList{"T,五,,"} << "" << QStringList{}
                                          << "教师课时限制第1行（T，每天最多五，每周最多天数（空），最多连上（空））：每天最多“五”不是数字";
        QTest::newRow("one venue for two subjects")
            << venues << QStringList{"操场,体育,全校,2", "操场,音乐,全校,2", "操场,体育,七年级,1"} << ""
            << QStringList{"venue 操场 体育+音乐 * 2", "venue 操场 体育 七年级 1"} << "";
        QTest::newRow("cap of 0") << venues << QStringList{"操场,体育,七年级,0"} << "" << QStringList{} << "同时最多班数不能是0";
        QTest::newRow("unknown subject") << venues << QStringList{"机房,信息,全校,1"} << "" << QStringList{} << "没有名为“信息”的科目";
        QTest::newRow("double lessons, a class row after its grade")
            << doubles << QStringList{"七年级,全部,语文,1", "七年级,七(2)班,语文,2"} << ""
            << QStringList{"double 七年级 * 语文 1", "double 七年级 七(2)班 语文 2"} << "";
        QTest::newRow("never doubled in the whole school")
            << doubles << QStringList{"全校,全部,物理,0"} << ""
            << QStringList{"double 七年级 * 物理 0", "double 八年级 * 物理 0", "double 九年级 * 物理 0"} << "";
        QTest::newRow("class of another grade") << doubles << QStringList{"七年级,八(1)班,语文,1"} << "" << QStringList{}
                                                << "“八(1)班”不是七年级的班级";
    }

    void readsRowsAndNamesTheOnesItCannotUse()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, rows);
        QFETCH(QString, morning);
        QFETCH(QStringList, expected);
        QFETCH(QString, note);

        ScratchDatabase db;
        DemoSchool::write();
        SchoolPlan before;
        QVERIFY(PlanReader::Load(before).ok());
        const QString teacher = before.teacher(0, 1);
        if (!morning.isEmpty())
            insertRow(Schema::kSchoolTable, {QStringLiteral("学校"), QStringLiteral("一"), morning});
        for (const QString& row : rows)
            insertRow(table, row.split(QLatin1Char(',')).replaceInStrings(QRegularExpression(QStringLiteral("^T$")), teacher));

        SchoolPlan plan;
        QVERIFY(PlanReader::Load(plan).ok());
        QStringList wanted = expected;
        wanted.replaceInStrings(QStringLiteral(" T "), QStringLiteral(" %1 ").arg(teacher));
        QCOMPARE(rulesText(plan.rules), wanted);
        if (note.isEmpty()) {
            QCOMPARE(plan.rules.skipped, QStringList());
        } else {
            QCOMPARE(plan.rules.skipped.size(), 1);
            QVERIFY2(plan.rules.skipped.first().contains(QString(note).replace(QStringLiteral("（T，"), QStringLiteral("（%1，").arg(teacher))),
                     qPrintable(plan.rules.skipped.first()));
        }
    }

    void aFileWithoutTheRuleTablesHasNoRules()
    {
        ScratchDatabase db;
        DemoSchool::write();
        for (const QString& table : {Schema::kTeacherOffTable, Schema::kTeacherLimitsTable, Schema::kVenueCapsTable,
                                     Schema::kDoubleLessonsTable, Schema::kSchoolTable})
            Database::exec(QStringLiteral("DROP TABLE %1").arg(Schema::quoted(table)), {}, QStringLiteral("删表"));
        SchoolPlan plan;
        QVERIFY(PlanReader::Load(plan).ok());
        QVERIFY(plan.rules.isEmpty());
        QCOMPARE(plan.rules.morningPeriods, 4);
    }
};

QTEST_GUILESS_MAIN(RulesReaderTest)
#include "RulesReaderTest.moc"
