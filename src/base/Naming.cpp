#include "base/Naming.h"

#include <array>

QString DayName(int day)
{
    static const std::array<QString, 7> names{
        QStringLiteral("星期一"), QStringLiteral("星期二"), QStringLiteral("星期三"), QStringLiteral("星期四"),
        QStringLiteral("星期五"), QStringLiteral("星期六"), QStringLiteral("星期天")};
    if (day < 0 || day >= static_cast<int>(names.size()))
        return QString();
    return names[static_cast<size_t>(day)];
}

QString PeriodName(int period)
{
    if (period < 0 || period > 8)
        return QString();
    return QStringLiteral("第%1节").arg(period + 1);
}

const QStringList& GradeRowNames()
{
    static const QStringList names{
        QStringLiteral("一年级"), QStringLiteral("二年级"), QStringLiteral("三年级"),
        QStringLiteral("四年级"), QStringLiteral("五年级"), QStringLiteral("六年级"),
        QStringLiteral("七年级"), QStringLiteral("八年级"), QStringLiteral("九年级"),
        QStringLiteral("高一年级"), QStringLiteral("高二年级"), QStringLiteral("高三年级")};
    return names;
}

int GradeIndex(const QString& gradeName)
{
    struct Entry
    {
        const char16_t* name;
        int row;
    };
    static const Entry table[] = {
        {u"一年级", 0},  {u"二年级", 1},   {u"三年级", 2}, {u"四年级", 3},   {u"五年级", 4},
        {u"六年级", 5},  {u"七年级", 6},   {u"初一", 6},   {u"八年级", 7},   {u"初二", 7},
        {u"九年级", 8},  {u"初三", 8},     {u"高一年级", 9}, {u"高一", 9},   {u"高二年级", 10},
        {u"高二", 10},   {u"高三年级", 11}, {u"高三", 11},
    };
    for (const Entry& entry : table)
        if (gradeName == QStringView(entry.name))
            return entry.row;
    return -1;
}

QString GradeRowName(int row)
{
    static const std::array<QString, 12> names{
        QStringLiteral("一年级"), QStringLiteral("二年级"), QStringLiteral("三年级"), QStringLiteral("四年级"),
        QStringLiteral("五年级"), QStringLiteral("六年级"), QStringLiteral("七年级"), QStringLiteral("八年级"),
        QStringLiteral("九年级"), QStringLiteral("高一年级"), QStringLiteral("高二年级"), QStringLiteral("高三年级")};
    if (row < 0 || row >= static_cast<int>(names.size()))
        return QString();
    return names[static_cast<size_t>(row)];
}
