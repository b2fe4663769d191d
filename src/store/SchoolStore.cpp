#include "store/SchoolStore.h"

#include "store/Database.h"
#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"

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
