#include "view/TimetableJson.h"

#include "view/TimetableData.h"

#include <QJsonArray>

namespace {

QJsonArray intGroups(const std::vector<int>& values, int group)
{
    QJsonArray groups;
    for (size_t i = 0; i + static_cast<size_t>(group) <= values.size(); i += static_cast<size_t>(group)) {
        QJsonArray numbers;
        for (int k = 0; k < group; ++k)
            numbers.append(values[i + static_cast<size_t>(k)]);
        groups.append(numbers);
    }
    return groups;
}

} // namespace

OrderedJson TimetableJson::members(const TimetableData& model)
{
    QList<OrderedJson> classes;
    classes.reserve(model.classCount);
    for (int c = 0; c < model.classCount; ++c) {
        QJsonArray subjects;
        QJsonArray teachers;
        for (int d = 0; d < model.dayCount; ++d)
            for (int p = 0; p < model.periodCount; ++p) {
                subjects.append(model.subject(c, d, p));
                teachers.append(model.teacher(c, d, p));
            }
        OrderedJson one;
        one.add(QStringLiteral("name"), model.className(c))
            .add(QStringLiteral("subjects"), subjects)
            .add(QStringLiteral("teachers"), teachers);
        classes << one;
    }
    OrderedJson json;
    json.add(QStringLiteral("dayCount"), model.dayCount)
        .add(QStringLiteral("periodCount"), model.periodCount)
        .add(QStringLiteral("subjectNames"), QJsonArray::fromStringList(model.subjectNames))
        .add(QStringLiteral("classes"), classes)
        .add(QStringLiteral("fixedLessons"), intGroups(model.fixedLessons, Plan::kFixedGroup))
        .add(QStringLiteral("combinedClasses"), intGroups(model.combinedClasses, Plan::kCombinedGroup));
    return json;
}

QString TimetableJson::object(const TimetableData& model)
{
    return QString::fromUtf8(members(model).toJson());
}
