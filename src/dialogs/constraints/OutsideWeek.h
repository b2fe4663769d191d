#pragma once

#include <QString>

class ZoneTable;

// What a new working week leaves outside it: the fixed lessons and the zone
// marks (one period of one day of a zone) that lie inside the week as stored
// and outside the new one. Nothing is deleted: the constraint dialogs keep
// such rows and marks when they save, and the run leaves them out until the
// week includes them again.
struct OutsideWeek
{
    int fixedLessons = 0;
    int subjectZoneMarks = 0;
    int teacherZoneMarks = 0;

    bool any() const { return fixedLessons > 0 || subjectZoneMarks > 0 || teacherZoneMarks > 0; }

    // Counts over the stored constraints of the classes and subjects of
    // today, as the dialogs and the run see them. Reads 教师分工, 任教科目,
    // 固定科目, 科目要排节次 and 教师要排节次. Throws StoreError.
    static OutsideWeek count(int oldDays, int oldPeriods, int newDays, int newPeriods);

    // Day and period from 0: inside the old week and outside the new one.
    static bool leftOut(long long day, long long period, int oldDays, int oldPeriods, int newDays, int newPeriods);
    // The marks of a zone table that the new week leaves out.
    static int zoneMarks(const ZoneTable& zones, int oldDays, int oldPeriods, int newDays, int newPeriods);

    // The question asked before a week that leaves these out is saved.
    QString question(int newDays, int newPeriods) const;
};
