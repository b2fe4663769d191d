#include "view/daily/DailyRecords.h"

#include <algorithm>

bool Absence::coversPeriod(const QDate& date, int period) const
{
    if (!covers(date))
        return false;
    return periods.empty() || std::find(periods.begin(), periods.end(), period) != periods.end();
}

QString coverKindText(CoverKind kind)
{
    switch (kind) {
    case CoverKind::Substitute:
        return QStringLiteral("代课");
    case CoverKind::Swap:
        return QStringLiteral("调课");
    case CoverKind::SelfStudy:
        return QStringLiteral("自习");
    }
    return {};
}

bool coverKindFromText(const QString& text, CoverKind& kind)
{
    for (CoverKind k : {CoverKind::Substitute, CoverKind::Swap, CoverKind::SelfStudy})
        if (coverKindText(k) == text) {
            kind = k;
            return true;
        }
    return false;
}
