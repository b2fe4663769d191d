#pragma once

#include "engine/ScheduleOutcome.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <optional>

class PlanningModel;

// The scheduling run on a plan in memory: refuses incomplete or inconsistent
// input, builds the timetable in lessonGrid and turns it into the two text
// grids. It reads no database and shows nothing, so it may run on a worker
// thread on a model of its own; the caller shows the refusal or the result and
// hands the model to the timetable view (TimetableData::PublishToView).
//
//     PlanningModel model;
//     if (const Status read = PlanReader::Load(model); !read.ok()) … // on the database's thread
//     const ScheduleOutcome outcome = Scheduler(model).RunScheduling();      // seed from the clock
//     const ScheduleOutcome again = Scheduler(model).RunScheduling(12345u); // a chosen seed
//
// A cancel flag, when given, is looked at between the steps of the run
// (placement, each smoothing step); once it is set, the run stops, restores
// the grid it started from and reports cancelled, leaving the text grids as
// they were.
class Scheduler
{
public:
    explicit Scheduler(PlanningModel& model);

    // The whole run. seed: the generator's seed; without one, the current time
    // in seconds (low 32 bits).
    ScheduleOutcome RunScheduling(std::optional<std::uint32_t> seed = std::nullopt,
                                  const std::atomic<bool>* cancel = nullptr);

    // The run in two halves, for callers that time or repeat the second.
    // Checks the plan, builds remainingLessons and allowedPeriods. Returns
    // the refusal, or done.
    Status PrepareRun();
    // On a prepared model: clears the grid, seeds the generator, places the
    // lessons, smooths, builds the text grids and counts the result.
    ScheduleOutcome BuildTimetable(std::uint32_t seed, const std::atomic<bool>* cancel = nullptr);

    // The smoothing steps the week calls for: the early periods with two
    // periods or more, the teacher clashes with more than three. Returns false
    // when the cancel flag stopped it between the steps.
    bool SmoothTimetable(const std::atomic<bool>* cancel = nullptr);
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
