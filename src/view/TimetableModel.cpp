#include "view/TimetableModel.h"

void TimetableModel::PublishToView(const PlanningModel& plan)
{
    TimetableData::PublishToView(plan);
    teachers.clear();
}

void TimetableModel::resetGrids(int days, int periods, const QStringList& classNames)
{
    TimetableData::resetGrids(days, periods, classNames);
    teachers.clear();
}

void TimetableModel::SetDisplayMode(DisplayMode mode, int screenWidth)
{
    layout.mode = mode;
    if (layout.showsTeacherTable())
        BuildTeacherTable();
    UpdateGeometry(screenWidth);
    selection.select(0, 0, 0);
}

bool TimetableModel::SelectMasterCell(int x, int y, int scrollX, int scrollY)
{
    const std::optional<Cell> cell = MasterCellAt(x, y, scrollX, scrollY);
    if (!cell)
        return false;
    selection.select(cell->classIndex, cell->day, cell->period);
    selection.swapArmed = 1;
    return true;
}

bool TimetableModel::SelectTeacherRow(int y, int scrollY)
{
    const int row = TeacherRowAt(y, scrollY);
    if (row < 0)
        return false;
    selection.selectedClass = row;
    return true;
}

QStringList TimetableModel::rowNames() const
{
    QStringList names;
    if (layout.showsTeacherTable()) {
        for (int t = 0; t < teachers.teacherCount(); ++t)
            names << teachers.teacherName(t);
    } else if (layout.showsTimetable()) {
        for (int c = 0; c < classCount; ++c)
            names << className(c);
    }
    return names;
}

void TimetableModel::SelectRow(int row)
{
    if (layout.showsTeacherTable()) {
        selection.selectedClass = row;
        return;
    }
    const bool slot = selection.selectedDay >= 0 && selection.selectedDay < dayCount && selection.selectedPeriod >= 0
        && selection.selectedPeriod < periodCount;
    selection.select(row, slot ? selection.selectedDay : 0, slot ? selection.selectedPeriod : 0);
    selection.swapArmed = 0;
}
