#include "store/SchoolStore.h"

#include "store/Database.h"
#include "store/Schema.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <QSqlQuery>

namespace SchoolStore {

namespace {

QString storedText(const QString& text)
{
    return text.isEmpty() ? TextRules::emptyMarker() : text;
}

QString shownText(const QVariant& value)
{
    if (value.isNull())
        return QString();
    const QString text = value.toString();
    return TextRules::isEmpty(text) ? QString() : text;
}

// Digits, optionally signed and surrounded by blanks: anything else is not a count.
bool isCount(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    const int start = trimmed.front() == QLatin1Char('-') || trimmed.front() == QLatin1Char('+') ? 1 : 0;
    if (start == trimmed.size())
        return false;
    for (int i = start; i < trimmed.size(); ++i)
        if (!trimmed[i].isDigit())
            return false;
    return true;
}

} // namespace

SchoolDetails Load()
{
    SchoolDetails details;
    if (!Database::hasTable(Schema::kSchoolTable))
        return details;
    const QStringList& columns = Schema::table(Schema::kSchoolTable).columns;
    QSqlQuery query = Database::exec(QStringLiteral("SELECT %1, %2, %3 FROM %4 ORDER BY %5 ASC LIMIT 1")
                                         .arg(Schema::quoted(columns[0]), Schema::quoted(columns[1]),
                                              Schema::quoted(columns[2]), Schema::quoted(Schema::kSchoolTable),
                                              Schema::quoted(Schema::kRowId)),
                                     {}, QStringLiteral("读取学校信息"));
    if (!query.next())
        return details;
    details.name = shownText(query.value(0));
    details.term = shownText(query.value(1));
    const QString morning = query.value(2).isNull() ? QString() : query.value(2).toString();
    if (isCount(morning))
        details.morningPeriods = TextRules::toInt(morning);
    return details;
}

void Save(const SchoolDetails& details)
{
    const QString purpose = QStringLiteral("保存学校信息");
    const QStringList& columns = Schema::table(Schema::kSchoolTable).columns;
    const QVariantList values{storedText(details.name), storedText(details.term),
                              TextRules::fromInt(details.morningPeriods)};
    Transaction tx(purpose);
    QSqlQuery first = Database::exec(QStringLiteral("SELECT MIN(%1) FROM %2")
                                         .arg(Schema::quoted(Schema::kRowId), Schema::quoted(Schema::kSchoolTable)),
                                     {}, purpose);
    const QVariant row = first.next() ? first.value(0) : QVariant();
    if (row.isNull()) {
        Database::exec(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?, ?, ?)")
                           .arg(Schema::quoted(Schema::kSchoolTable), Schema::quoted(columns[0]),
                                Schema::quoted(columns[1]), Schema::quoted(columns[2])),
                       values, purpose);
    } else {
        Database::exec(QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, %4 = ? WHERE %5 = ?")
                           .arg(Schema::quoted(Schema::kSchoolTable), Schema::quoted(columns[0]),
                                Schema::quoted(columns[1]), Schema::quoted(columns[2]), Schema::quoted(Schema::kRowId)),
                       values + QVariantList{row}, purpose);
    }
    tx.commit();
}

} // namespace SchoolStore
