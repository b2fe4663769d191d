#include "store/RulesStore.h"

#include "store/Database.h"
#include "store/Schema.h"
#include "store/Transaction.h"

namespace RulesStore {

namespace {

void replaceRows(const QString& table, const std::vector<QStringList>& rows)
{
    const TableSpec& spec = Schema::table(table);
    const QString purpose = QStringLiteral("保存%1").arg(table);
    Transaction tx(purpose);
    Database::exec(QStringLiteral("DELETE FROM %1").arg(Schema::quoted(table)), {}, purpose);
    QStringList columns;
    QStringList marks;
    for (const QString& column : spec.columns) {
        columns << Schema::quoted(column);
        marks << QStringLiteral("?");
    }
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(Schema::quoted(table), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    for (const QStringList& row : rows) {
        QVariantList values;
        for (qsizetype i = 0; i < spec.columns.size(); ++i)
            values << (i < row.size() ? row[i] : QString());
        Database::exec(insert, values, purpose);
    }
    tx.commit();
}

} // namespace

void saveTeacherOff(const std::vector<RuleRows::TeacherOffRow>& rows)
{
    std::vector<QStringList> texts;
    for (const auto& row : rows)
        texts.push_back({row.teacher, row.day, row.period});
    replaceRows(Schema::kTeacherOffTable, texts);
}

void saveLimits(const std::vector<RuleRows::LimitRow>& rows)
{
    std::vector<QStringList> texts;
    for (const auto& row : rows)
        texts.push_back({row.teacher, row.perDay, row.daysPerWeek, row.inARow});
    replaceRows(Schema::kTeacherLimitsTable, texts);
}

void saveVenues(const std::vector<RuleRows::VenueRow>& rows)
{
    std::vector<QStringList> texts;
    for (const auto& row : rows)
        texts.push_back({row.venue, row.subject, row.grade, row.cap});
    replaceRows(Schema::kVenueCapsTable, texts);
}

void saveDoubles(const std::vector<RuleRows::DoubleRow>& rows)
{
    std::vector<QStringList> texts;
    for (const auto& row : rows)
        texts.push_back({row.grade, row.className, row.subject, row.perWeek});
    replaceRows(Schema::kDoubleLessonsTable, texts);
}

} // namespace RulesStore
