#pragma once

#include "engine/PlanningModel.h"
#include "engine/TeacherIndex.h"

#include <vector>


// Local swaps of two lessons of one class on one day after placement: the two
// early periods first, then the later periods where a teacher is booked twice.
// Neither step moves a fixed lesson or a lesson of a combined group, and
// neither adds or removes a lesson.
class TimetableSmoother
{
public:
    explicit TimetableSmoother(PlanningModel& model);

    // Periods 0 and 1: avoids the same subject in the same early period on
    // consecutive days, then swaps a class's two early lessons when one of them
    // meets a teacher already booked in that period, visiting the classes of a
    // day along shared teachers. Does nothing with fewer than two periods.
    void SmoothEarlyPeriods();
    // The class order of the day last passed to OrderClassesByTeacherChain.
    const std::vector<int>& classChain() const { return m_classChain; }
    // Fills classChain() for day d: classes whose early lessons share a teacher
    // follow each other; class 0 comes first.
    void OrderClassesByTeacherChain(int d);
    // Swaps a lesson in periods 2..periodLimit-1 whose teacher teaches another
    // class at the same time with a later-period lesson of the same day when the
    // swap removes both clashes and keeps both lessons in their allowed periods.
    // Does nothing when periodLimit is 3 or less.
    void ResolveTeacherClashes(int periodLimit);

    // True when the teacher of (c, s) is not "H" and teaches another class's
    // lesson in cell (d, p) of the grid, or of the early-period buffer.
    bool HasTeacherClash(int c, int d, int p, int s) const;
    bool HasBufferClash(int c, int d, int p, int s) const;

private:
    // Lessons a at period p and b at period q of class c on day d may be swapped.
    bool maySwap(int c, int d, int p, int a, int q, int b) const;
    template <typename Lesson>
    bool clashes(int c, int p, int s, Lesson lesson) const;

    int& buf(int c, int d, int p) { return m_earlyPeriodBuffer[static_cast<size_t>(m_model.cellIndex(c, d, p))]; }
    int buf(int c, int d, int p) const { return m_earlyPeriodBuffer[static_cast<size_t>(m_model.cellIndex(c, d, p))]; }

    PlanningModel& m_model;
    TeacherIndex m_teachers;
    // Scratch of the early-period step: the grid's early periods as decided so
    // far, and the order in which one day's classes are visited.
    std::vector<int> m_earlyPeriodBuffer;
    std::vector<int> m_classChain;
};
