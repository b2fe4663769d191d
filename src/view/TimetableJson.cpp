#include "view/TimetableJson.h"

#include "view/TimetableData.h"

#include <QStringList>

namespace {

QString stringArray(const QStringList& texts)
{
    QStringList quoted;
    quoted.reserve(texts.size());
    for (const QString& text : texts)
        quoted << TimetableJson::quote(text);
    return QLatin1Char('[') + quoted.join(QLatin1Char(',')) + QLatin1Char(']');
}

QString intGroups(const std::vector<int>& values, int group)
{
    QStringList groups;
    for (size_t i = 0; i + static_cast<size_t>(group) <= values.size(); i += static_cast<size_t>(group)) {
        QStringList numbers;
        for (int k = 0; k < group; ++k)
            numbers << QString::number(values[i + static_cast<size_t>(k)]);
        groups << QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    return QLatin1Char('[') + groups.join(QLatin1Char(',')) + QLatin1Char(']');
}

} // namespace

QString TimetableJson::quote(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\b': out += QLatin1String("\\b"); break;
        case '\f': out += QLatin1String("\\f"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (ch.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += ch;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString TimetableJson::members(const TimetableData& model)
{
    QStringList classes;
    for (int c = 0; c < model.classCount; ++c) {
        QStringList subjects;
        QStringList teachers;
        for (int d = 0; d < model.dayCount; ++d)
            for (int p = 0; p < model.periodCount; ++p) {
                subjects << model.subject(c, d, p);
                teachers << model.teacher(c, d, p);
            }
        classes << QStringLiteral("{\"name\":%1,\"subjects\":%2,\"teachers\":%3}")
                       .arg(quote(model.className(c)), stringArray(subjects), stringArray(teachers));
    }
    return QStringLiteral("\"dayCount\":%1,\"periodCount\":%2,\"subjectNames\":%3,\"classes\":[%4],"
                          "\"fixedLessons\":%5,\"combinedClasses\":%6")
        .arg(QString::number(model.dayCount), QString::number(model.periodCount), stringArray(model.subjectNames),
             classes.join(QLatin1Char(',')), intGroups(model.fixedLessons, Plan::kFixedGroup),
             intGroups(model.combinedClasses, Plan::kCombinedGroup));
}

QString TimetableJson::object(const TimetableData& model)
{
    return QLatin1Char('{') + members(model) + QLatin1Char('}');
}
