#pragma once

#include "base/PlanVocabulary.h"

#include <QString>

// Text conventions shared by every table reader and writer.
namespace TextRules {

// The empty marker "H" (defined with the plan's vocabulary).
using Plan::emptyMarker;
using Plan::isEmpty;

// Database text to number: optional leading white space and sign, then decimal
// digits up to the first other character. No digits gives 0; values beyond the
// 32-bit range are clamped to it.
int toInt(const QString& text);

// Number to database text ("%d").
inline QString fromInt(int value) { return QString::number(value); }

} // namespace TextRules
