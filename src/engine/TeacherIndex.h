#pragma once

#include <cstddef>
#include <vector>

class PlanningModel;

// The teacher texts of a planning model as small integers: equal texts get
// equal ids, so the engine compares ids where the plan compares names. Entry
// (c, s) is the text teacher(c, s) of the model, s = 0..24, s = 0 being the
// class name (the "teacher" of a free cell). Built once per run step; the
// teacher assignments do not change while lessons are placed or swapped.
class TeacherIndex
{
public:
    // Id of the empty marker "H": a lesson without a teacher.
    static constexpr int kNoTeacher = 0;

    explicit TeacherIndex(const PlanningModel& model);

    int id(int c, int s) const { return m_ids[static_cast<std::size_t>(kStride * c + s)]; }
    // Number of distinct ids (ids run 0..count-1).
    int count() const { return m_count; }
    // The classes, ascending, in which the id stands at some s = 0..24 (a
    // subject it teaches, or the class's own name): the only classes whose
    // cells can be that teacher's.
    const std::vector<int>& classesOf(int id) const { return m_classes[static_cast<std::size_t>(id)]; }

private:
    static constexpr int kStride = 25;
    std::vector<int> m_ids;
    std::vector<std::vector<int>> m_classes;
    int m_count = 1;
};
