#include "store/SchoolStore.h"

#include "store/Database.h"
#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <QSqlQuery>

SchoolDetails SchoolStore::Load()
{
    SchoolDetails details;
    if (!Database::hasTable(Schema::kSchoolTable))
        return details;
    TableReader reader(Schema::kSchoolTable);
    if (!reader.next())
        return details;
    const auto text = [&](const char* column) {
        const QString value = reader.text(QString::fromUtf8(column));
        return TextRules::isEmpty(value) ? QString() : value;
    };
    details.name = text("学校名称").trimmed();
    details.term = text("学期").trimmed();
    bool number = false;
    const int morning = text("上午节数").trimmed().toInt(&number);
    if (number && morning >= 0)
        details.morningPeriods = morning;
    return details;
}

void SchoolStore::Save(const SchoolDetails& details)
{
    const QString purpose = QStringLiteral("保存学校信息");
    const QStringList& columns = Schema::table(Schema::kSchoolTable).columns;
    const auto stored = [](const QString& text) { return text.isEmpty() ? TextRules::emptyMarker() : text; };
    const QVariantList values{stored(details.name), stored(details.term), TextRules::fromInt(details.morningPeriods)};
    Transaction tx(purpose);
    // Readers take the first row: that is the row written.
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
