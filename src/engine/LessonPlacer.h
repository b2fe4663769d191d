#pragma once

#include "engine/TeacherIndex.h"

#include <vector>

class PlanningModel;
class RandomGenerator;

// Fills the model's lessonGrid with the lessons counted in remainingLessons:
// fixed lessons first, then a first pass that places each class's most
// constrained subjects first, on a day chosen by least-loaded filters and in a
// period of the subject's allowed zone, combined classes together; then a
// second pass that puts every outstanding lesson into any free period. Every
// random choice takes the generator's next value modulo the number of
// candidates; no choice is drawn when there is no candidate.
class LessonPlacer
{
public:
    LessonPlacer(PlanningModel& model, RandomGenerator& random);

    // Places fixedLessons in order, each while its class has a lesson of the
    // subject left; the cell is set whatever it held.
    void PlaceFixedLessons();
    // The two placement passes.
    void PlaceLessons();

    // The subject positions of the class last ordered by OrderSubjectsByZone.
    const std::vector<int>& subjectOrder() const { return m_subjectOrder; }
    // Fills subjectOrder() for class c: subject positions by ascending total
    // length of their allowed zones over the week, ties in subject order.
    void OrderSubjectsByZone(int c);
    // Day for a lesson of subject s in class c within the subject's zone, or -1.
    int ChooseDayInZone(int c, int s);
    // Day with a free period for a lesson of subject s in class c, or -1.
    int ChooseDay(int c, int s);
    // Free period of the zone of (c, s, d), or -1.
    int ChoosePeriodInZone(int c, int s, int d);
    // Free period of class c on day d; the day must have one.
    int ChooseFreePeriod(int c, int d);
    // Places group g's subject at (d, p) in every member class that has a
    // lesson of it left, replacing whatever the cell held.
    void PlaceCombinedLesson(int g, int d, int p);

private:
    void placeLesson(int c, int d, int p, int s);
    int subjectLoad(int c, int s, int d) const;
    int teacherLoad(int c, int s, int d) const;
    int zoneLoad(int c, int s, int d) const;
    int dayLoad(int c, int d) const;
    bool hasFreeZonePeriod(int c, int s, int d) const;
    bool hasFreePeriod(int c, int d) const;
    // The days of candidates with the smallest load, the smallest being searched
    // among 0..8 only: empty when every load is 9 or more.
    template <typename Load>
    static std::vector<int> leastLoaded(const std::vector<int>& candidates, Load load);
    // The last non-empty filter of the cascade, drawn from; -1 when D1 is empty.
    int pickDay(const std::vector<int>& d1, int c, int s, bool inZone);

    PlanningModel& m_model;
    RandomGenerator& m_random;
    TeacherIndex m_teachers;
    std::vector<int> m_subjectOrder; // scratch: the order of one class's subjects
};
