#pragma once

#include <QString>

// Zone strings: the decimal digits of the 0-based periods allowed on one day.
// A zone read from the database keeps its stored order and any repeated digit;
// only the default zone and intersections come out ascending.
namespace ZoneText {

// The no-zone marker stored for a day without a zone.
inline QString noZoneMarker() { return QStringLiteral("9"); }

// "0" .. periodCount-1 in ascending order: no restriction.
QString defaultZone(int periodCount);

// Keeps each digit of the stored text that names a period of the day, in
// stored order (repeats included); "9" when nothing is kept.
QString filter(const QString& stored, int periodCount);

// The ascending periods whose digit occurs in both zones; when there is none,
// the two zones one after the other.
QString intersect(const QString& subjectZone, const QString& teacherZone, int periodCount);

// The period named by one character of a zone, or -1 for anything but a digit.
inline int periodOf(QChar ch)
{
    const char16_t u = ch.unicode();
    return u >= u'0' && u <= u'9' ? static_cast<int>(u - u'0') : -1;
}

inline QChar digitOf(int period) { return QChar(static_cast<char16_t>(u'0' + period)); }

inline bool contains(const QString& zone, int period) { return zone.contains(digitOf(period)); }

} // namespace ZoneText
