#include "base/ZoneText.h"

namespace ZoneText {

QString defaultZone(int periodCount)
{
    QString zone;
    for (int p = 0; p < periodCount; ++p)
        zone += digitOf(p);
    return zone;
}

QString filter(const QString& stored, int periodCount)
{
    QString kept;
    for (const QChar ch : stored) {
        const int p = periodOf(ch);
        if (p >= 0 && p < periodCount)
            kept += ch;
    }
    return kept.isEmpty() ? noZoneMarker() : kept;
}

QString intersect(const QString& subjectZone, const QString& teacherZone, int periodCount)
{
    QString both;
    for (int p = 0; p < periodCount; ++p)
        if (contains(subjectZone, p) && contains(teacherZone, p))
            both += digitOf(p);
    return both.isEmpty() ? subjectZone + teacherZone : both;
}

} // namespace ZoneText
