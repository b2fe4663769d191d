#include "view/daily/DayTimetable.h"

#include "store/TextRules.h"
#include "view/daily/DailyIndex.h"

#include <bit>

namespace {

const QString kSelfStudy = QStringLiteral("自习");

} // namespace

DayTimetable::DayTimetable(const DailyData& data, const DailyIndex& index, const QDate& date, int skipCover)
    : m_date(date), m_timetable(&data.timetable), m_index(&index)
{
    const TimetableData& t = data.timetable;
    m_day = data.calendar.timetableDay(date, t.dayCount);
    if (m_day < 0 || t.classCount == 0)
        return;
    m_classCount = t.classCount;
    m_periodCount = t.periodCount;
    m_cells.resize(static_cast<size_t>(m_classCount * m_periodCount));
    for (int c = 0; c < m_classCount; ++c)
        for (int p = 0; p < m_periodCount; ++p) {
            DayCell& cell = m_cells[static_cast<size_t>(c * m_periodCount + p)];
            cell.subject = cell.termSubject = t.subject(c, m_day, p);
            cell.teacher = cell.termTeacher = t.teacher(c, m_day, p);
        }

    m_absent.assign(static_cast<size_t>(index.teacherCount()), 0);
    for (const Absence& absence : data.absences) {
        if (!absence.covers(date))
            continue;
        const int teacher = index.teacherId(absence.teacher);
        if (teacher < 0)
            continue;
        for (int p = 0; p < m_periodCount; ++p)
            if (absence.coversPeriod(date, p))
                m_absent[teacher] |= static_cast<std::uint16_t>(1u << p);
    }

    for (int i = 0; i < static_cast<int>(data.covers.size()); ++i)
        if (i != skipCover)
            applyCover(data, i);

    // Lessons of an absent teacher that no choice changed yet.
    for (DayCell& cell : m_cells) {
        if (cell.change != DayChange::None)
            continue;
        const int teacher = index.teacherId(cell.teacher);
        const int p = static_cast<int>(&cell - m_cells.data()) % m_periodCount;
        if (teacher >= 0 && (m_absent[teacher] >> p & 1u))
            cell.change = DayChange::Uncovered;
    }

    m_busy.assign(static_cast<size_t>(index.teacherCount()), 0);
    for (size_t i = 0; i < m_cells.size(); ++i) {
        const DayCell& cell = m_cells[i];
        if (cell.change == DayChange::Uncovered)
            continue;
        const int teacher = index.teacherId(cell.teacher);
        if (teacher >= 0)
            m_busy[teacher] |= static_cast<std::uint16_t>(1u << (i % m_periodCount));
    }
}

// A choice changes the cells of its lesson on its date (all classes of a
// combined lesson: those where the absent teacher gives the same subject in
// that period) and, for a swap, the cell it takes the lesson to.
void DayTimetable::applyCover(const DailyData& data, int coverIndex)
{
    const Cover& cover = data.covers[static_cast<size_t>(coverIndex)];
    const int c = m_timetable->ClassIndex(cover.className);
    if (c < 0)
        return;
    if (cover.date == m_date && cover.period >= 0 && cover.period < m_periodCount) {
        const int p = cover.period;
        std::vector<int> classes{c};
        const int absent = m_index->teacherId(cover.absentTeacher);
        if (absent >= 0 && cell(c, p).termTeacher == cover.absentTeacher)
            for (int other : m_index->classesAt(absent, m_day, p))
                if (other != c && m_timetable->subject(other, m_day, p) == cell(c, p).termSubject)
                    classes.push_back(other);
        for (int k : classes) {
            DayCell& target = m_cells[static_cast<size_t>(k * m_periodCount + p)];
            target.cover = coverIndex;
            switch (cover.kind) {
            case CoverKind::Substitute:
                target.subject = target.termSubject;
                target.teacher = cover.substitute;
                target.change = DayChange::Substitute;
                break;
            case CoverKind::Swap:
                target.subject = cover.swapSubject;
                target.teacher = cover.swapTeacher;
                target.change = DayChange::SwappedIn;
                break;
            case CoverKind::SelfStudy:
                target.subject = kSelfStudy;
                target.teacher = TextRules::emptyMarker();
                target.change = DayChange::SelfStudy;
                break;
            }
        }
    }
    if (cover.kind == CoverKind::Swap && cover.swapDate == m_date && cover.swapPeriod >= 0
        && cover.swapPeriod < m_periodCount) {
        DayCell& target = m_cells[static_cast<size_t>(c * m_periodCount + cover.swapPeriod)];
        target.subject = cover.subject;
        target.teacher = cover.teacher;
        target.change = DayChange::SwappedIn;
        target.cover = coverIndex;
    }
}

int DayTimetable::lessons(int t) const
{
    return std::popcount(static_cast<unsigned>(busy(t)));
}

std::vector<DayTimetable::TeacherLesson> DayTimetable::teacherDay(const QString& teacher) const
{
    std::vector<TeacherLesson> lessons;
    for (int p = 0; p < m_periodCount; ++p) {
        TeacherLesson given{p, {}, {}, DayChange::None, false, {}, {}};
        TeacherLesson away{p, {}, {}, DayChange::None, true, {}, {}};
        for (int c = 0; c < m_classCount; ++c) {
            const DayCell& here = cell(c, p);
            if (here.teacher == teacher && here.change != DayChange::Uncovered) {
                given.classes << m_timetable->className(c);
                given.subject = here.subject;
                if (here.change != DayChange::None) {
                    given.change = here.change;
                    given.otherTeacher = here.termTeacher;
                    given.otherSubject = here.termSubject;
                }
            } else if (here.termTeacher == teacher) {
                away.classes << m_timetable->className(c);
                away.subject = here.termSubject;
                away.change = here.change;
                away.otherTeacher = here.change == DayChange::Uncovered ? QStringLiteral("H") : here.teacher;
                away.otherSubject = here.subject;
            }
        }
        if (!given.classes.isEmpty())
            lessons.push_back(given);
        if (!away.classes.isEmpty())
            lessons.push_back(away);
    }
    return lessons;
}
