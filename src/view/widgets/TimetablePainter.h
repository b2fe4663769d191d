#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

#include "view/TimetableData.h"

#include <cstdint>
#include <vector>

class QPainter;
class TimetableModel;

// Paints the master table and the teacher table of a timetable model in
// content coordinates (the caller translates by the scroll position). Which
// colour a cell gets is the model's decision (MarkOf, IsMovableSlot, the
// selection); this class only draws it.
namespace TimetablePainter {

// The colours of the drawing.
namespace Colour {
inline const QColor Background{240, 240, 240};
inline const QColor Header{70, 70, 70};
inline const QColor GridLine{140, 140, 140};
inline const QColor DayLine{0, 0, 0};
inline const QColor HeaderText{255, 255, 0};
inline const QColor SubjectText{0, 0, 0};
inline const QColor TeacherText{0, 150, 150};
inline const QColor Conflict{180, 40, 40};
inline const QColor Combined{0, 130, 130};
inline const QColor Fixed{200, 80, 200};
inline const QColor SameTeacher{0, 0, 200};
inline const QColor Movable{0, 160, 0};
inline const QColor MarkedText{240, 240, 240};
inline const QColor Selected{0, 100, 255};
inline const QColor SelectedText{255, 255, 255};
} // namespace Colour

// The marks of every master-table cell (MarkOf), worked out once per change
// of the timetable (its revision) instead of once per paint.
class MarkTable
{
public:
    // The mark of (c, d, p), recomputing the table when the timetable changed.
    const std::vector<TimetableData::CellMark>& marks(const TimetableData& data);

private:
    std::vector<TimetableData::CellMark> m_marks;
    std::uint64_t m_revision = 0;
    const TimetableData* m_data = nullptr;
};

// `font`, made smaller where `s` is wider than `room` pixels, so that it fits.
QFont fittedFont(const QFont& font, const QString& s, int room);

// Everything for the model's current display (master, adjustment or teacher
// table); nothing on the home screen. `visible`: the part of the content to
// paint, in content coordinates; cells outside it are skipped.
void paint(QPainter& painter, const TimetableModel& model, const QRect& visible, MarkTable& marks);

void paintMaster(QPainter& painter, const TimetableModel& model, const QRect& visible, MarkTable& marks);
void paintTeacherTable(QPainter& painter, const TimetableModel& model, const QRect& visible);

} // namespace TimetablePainter
