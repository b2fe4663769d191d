#include "view/daily/TermCalendar.h"

#include <QRegularExpression>

namespace {

QDate mondayOf(const QDate& date)
{
    return date.addDays(1 - date.dayOfWeek());
}

} // namespace

QDate TermCalendar::lastDay() const
{
    if (!isSet())
        return {};
    return mondayOf(firstDay).addDays(7LL * weeks - 1);
}

bool TermCalendar::inTerm(const QDate& date) const
{
    return isSet() && date.isValid() && date >= firstDay && date <= lastDay();
}

int TermCalendar::weekOf(const QDate& date) const
{
    if (!inTerm(date))
        return 0;
    return static_cast<int>(mondayOf(firstDay).daysTo(date) / 7) + 1;
}

int TermCalendar::timetableDay(const QDate& date, int dayCount) const
{
    if (!inTerm(date))
        return -1;
    int day = date.dayOfWeek() - 1;
    const auto special = specialDays.find(date);
    if (special != specialDays.end()) {
        if (special->second.kind == SpecialDay::Kind::Holiday)
            return -1;
        day = special->second.weekday;
    }
    return day >= 0 && day < dayCount ? day : -1;
}

int TermCalendar::parseWeekday(const QString& text)
{
    const QString t = text.trimmed();
    bool isNumber = false;
    const int number = t.toInt(&isNumber);
    if (isNumber)
        return number >= 1 && number <= 7 ? number - 1 : -1;
    static const QString names = QStringLiteral("一二三四五六日");
    QString rest = t;
    if (rest.startsWith(QStringLiteral("星期")))
        rest = rest.mid(2);
    else if (rest.startsWith(QStringLiteral("周")))
        rest = rest.mid(1);
    else
        return -1;
    if (rest == QStringLiteral("天"))
        return 6;
    if (rest.size() != 1)
        return -1;
    return static_cast<int>(names.indexOf(rest));
}

QDate TermCalendar::parseDate(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QString t = text.trimmed();
    if (!shape.match(t).hasMatch())
        return {};
    return QDate::fromString(t, Qt::ISODate);
}
