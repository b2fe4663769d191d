#include "store/RulesReader.h"

#include "base/SchoolDetails.h"
#include "base/SchoolPlan.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/TableReader.h"

namespace RulesReader {

namespace {

// The rows of a table as texts of its columns 1..n; none when the file lacks it.
template <typename Row, typename Make>
std::vector<Row> readTable(const QString& table, Make make)
{
    std::vector<Row> rows;
    if (!Database::hasTable(table))
        return rows;
    TableReader reader(table);
    while (reader.next())
        rows.push_back(make(reader));
    return rows;
}

} // namespace

RuleRows::Rows ReadRows()
{
    RuleRows::Rows rows;
    rows.teacherOff = readTable<RuleRows::TeacherOffRow>(Schema::kTeacherOffTable, [](const TableReader& r) {
        return RuleRows::TeacherOffRow{r.text(QStringLiteral("教师")), r.text(QStringLiteral("星期")),
                                       r.text(QStringLiteral("节次"))};
    });
    rows.limits = readTable<RuleRows::LimitRow>(Schema::kTeacherLimitsTable, [](const TableReader& r) {
        return RuleRows::LimitRow{r.text(QStringLiteral("教师")), r.text(QStringLiteral("每天最多")),
                                  r.text(QStringLiteral("每周最多天数")), r.text(QStringLiteral("最多连上"))};
    });
    rows.venues = readTable<RuleRows::VenueRow>(Schema::kVenueCapsTable, [](const TableReader& r) {
        return RuleRows::VenueRow{r.text(QStringLiteral("场地")), r.text(QStringLiteral("科目")),
                                  r.text(QStringLiteral("年级")), r.text(QStringLiteral("同时最多班数"))};
    });
    rows.doubles = readTable<RuleRows::DoubleRow>(Schema::kDoubleLessonsTable, [](const TableReader& r) {
        return RuleRows::DoubleRow{r.text(QStringLiteral("年级")), r.text(QStringLiteral("班级")),
                                   r.text(QStringLiteral("科目")), r.text(QStringLiteral("每周连堂数"))};
    });
    return rows;
}

int ReadMorningPeriods()
{
    int morning = SchoolDetails::kDefaultMorningPeriods;
    if (!Database::hasTable(Schema::kSchoolTable))
        return morning;
    TableReader reader(Schema::kSchoolTable);
    while (reader.next()) {
        const int n = RuleRows::countFromText(reader.text(QStringLiteral("上午节数")));
        const QString text = reader.text(QStringLiteral("上午节数")).trimmed();
        if (n >= 0 && n <= Plan::kMaxPeriods && !text.isEmpty() && !Plan::isEmpty(text))
            morning = n;
    }
    return morning;
}

SchoolRules Read(const SchoolPlan& plan)
{
    SchoolDetails details;
    details.morningPeriods = ReadMorningPeriods();
    QStringList notes;
    SchoolRules rules = RuleRows::resolve(plan, details.morningOf(plan.periodCount), ReadRows(), notes);
    rules.skipped = notes;
    return rules;
}

} // namespace RulesReader
