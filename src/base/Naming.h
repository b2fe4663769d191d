#pragma once

#include <QString>
#include <QStringList>

// "星期一" .. "星期天" for 0..6, empty text otherwise.
QString DayName(int day);
// "第1节" .. "第9节" for 0..8, empty text otherwise.
QString PeriodName(int period);
// The names of the weekly plan's grade rows 0..11, "一年级" .. "高三年级".
const QStringList& GradeRowNames();
// Grade name (full or short form) to grade row 0..11, -1 for anything else.
int GradeIndex(const QString& gradeName);
// The full name of grade row 0..11 ("一年级" .. "高三年级"), empty text otherwise.
QString GradeRowName(int row);
