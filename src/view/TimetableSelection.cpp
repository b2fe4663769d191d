#include "view/TimetableSelection.h"

#include "view/TimetableData.h"

bool TimetableSelection::IsMovableSlot(const TimetableData& data, int d, int p) const
{
    if (!data.isCell(selectedClass, selectedDay, selectedPeriod) || !data.isCell(selectedClass, d, p))
        return false;
    const QString& selectedTeacher = data.teacher(selectedClass, selectedDay, selectedPeriod);
    const QString& slotTeacher = data.teacher(selectedClass, d, p);
    return data.FindTeacherClash(selectedTeacher, selectedClass, d, p) == -1
        && data.FindTeacherClash(slotTeacher, selectedClass, selectedDay, selectedPeriod) == -1;
}
