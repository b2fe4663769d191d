#pragma once

#include <QString>

// Text conventions shared by every table reader and writer.
namespace TextRules {

// The one-letter empty marker: an unset teacher, class or subject, a free slot,
// the key of a row that is not in use.
inline QString emptyMarker() { return QStringLiteral("H"); }
inline bool isEmpty(const QString& text) { return text == QLatin1String("H"); }

// Database text to number: optional leading white space and sign, then decimal
// digits up to the first other character. No digits gives 0; values beyond the
// 32-bit range are clamped to it.
int toInt(const QString& text);

// Number to database text ("%d").
inline QString fromInt(int value) { return QString::number(value); }

} // namespace TextRules
