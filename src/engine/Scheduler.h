#pragma once

#include "engine/ScheduleOutcome.h"

#include <QString>

#include <cstdint>
#include <optional>

class PlanningModel;

// The scheduling run: reloads the planning model from the open database,
// refuses incomplete or inconsistent input, builds the timetable in lessonGrid
// and turns it into the two text grids. It writes nothing to the database and
// shows nothing: the caller shows the refusal or the result and hands the
// model's classCount, dayCount, periodCount, subjectNames, fixedLessons,
// combinedClasses, subjectGrid and teacherGrid to the timetable view.
//
//     PlanningModel model;
//     const ScheduleOutcome outcome = Scheduler(model).RunScheduling();      // seed from the clock
//     const ScheduleOutcome again = Scheduler(model).RunScheduling(12345u); // a chosen seed
class Scheduler
{
public:
    explicit Scheduler(PlanningModel& model);

    // The whole run. seed: the generator's seed; without one, the current time
    // in seconds (low 32 bits). Throws StoreError on a database failure.
    ScheduleOutcome RunScheduling(std::optional<std::uint32_t> seed = std::nullopt);

    // The run in two halves, for callers that time or repeat the second.
    // Loads and checks the plan, builds remainingLessons, loads the constraints
    // and allowedPeriods. Returns the refusal, or an empty text.
    QString PrepareRun();
    // On a prepared model: clears the grid, seeds the generator, places the
    // lessons, smooths, builds the text grids and counts the result.
    ScheduleOutcome BuildTimetable(std::uint32_t seed);

    // The smoothing steps the week calls for: the early periods with two
    // periods or more, the teacher clashes with more than three.
    void SmoothTimetable();
    // subjectGrid and teacherGrid from lessonGrid: per class its name, then per
    // slot (day-major) the subject name or teacher, "H" for a free slot.
    void BuildTextGrids();
    // Placed, required and unplaced lessons and teacher clashes of the grid as it stands.
    void CountResult(ScheduleOutcome& outcome) const;

    static std::uint32_t clockSeed();

    // Refusals.
    static QString incompleteMessage();
    static QString weeklyTotalMessage();
    static QString incompletePlanMessage();
    static QString unknownGradeMessage(const QString& className, const QString& grade);
    // A subject's weekly count of a grade that is negative or more than the week holds.
    static QString lessonCountMessage(const QString& grade, const QString& subject, int count, long long weekSize);

private:
    PlanningModel& m_model;
};
