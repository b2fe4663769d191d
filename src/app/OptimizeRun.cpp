#include "app/OptimizeRun.h"

#include "engine/ScheduleOutcome.h"
#include "engine/Scheduler.h"
#include "engine/solver/ModelSize.h"
#include "engine/solver/TimetableAudit.h"
#include "store/PlanReader.h"
#include "store/StoreError.h"

#include <QCoreApplication>

namespace OptimizeRun {

std::vector<SolverPin> pinsFor(const TimetableData& shown, const QStringList& baseline)
{
    std::vector<SolverPin> pins;
    std::vector<char> taken(static_cast<size_t>(shown.classCount * shown.slotCount()), 0);
    const auto add = [&](int c, int d, int p) {
        if (!shown.isCell(c, d, p))
            return;
        char& t = taken[static_cast<size_t>(c * shown.slotCount() + shown.slotColumn(d, p))];
        if (t)
            return;
        t = 1;
        pins.push_back({c, d, p});
    };
    // A fixed lesson is kept where it is. A cell of a fixed lesson that holds
    // another lesson the user did not put there (a combined lesson the run
    // laid over it) is not: the fixed lesson takes its cell back.
    for (int i = 0; i < shown.fixedLessonCount(); ++i) {
        const TimetableData::FixedLesson f = shown.fixedLesson(i);
        if (shown.isCell(f.classIndex, f.day, f.period)
            && shown.SubjectNumber(shown.subject(f.classIndex, f.day, f.period)) == f.subject)
            add(f.classIndex, f.day, f.period);
    }
    const bool comparable = baseline.size() == shown.subjectGrid.size();
    for (int c = 0; c < shown.classCount; ++c)
        for (int d = 0; d < shown.dayCount; ++d)
            for (int p = 0; p < shown.periodCount; ++p) {
                const int at = c * shown.classStride() + 1 + shown.slotColumn(d, p);
                if (comparable && baseline[at] != shown.subjectGrid[at])
                    add(c, d, p);
            }
    return pins;
}

QString reportText(const Counts& before, const Counts& after, int changedCells)
{
    const QString fixed = before.fixed || after.fixed
        ? QStringLiteral("固定科目不在原位 %1 → %2 节，").arg(before.fixed).arg(after.fixed)
        : QString();
    const QString rules = before.rules || after.rules
        ? QStringLiteral("违反排课规则 %1 → %2 处，").arg(before.rules).arg(after.rules)
        : QString();
    return QStringLiteral("优化课表：教师冲突 %1 → %2 处，未排 %3 → %4 节，%5%6时段外 %7 → %8 节，改动 %9 格")
        .arg(before.clashes)
        .arg(after.clashes)
        .arg(before.unplaced)
        .arg(after.unplaced)
        .arg(fixed)
        .arg(rules)
        .arg(before.zone)
        .arg(after.zone)
        .arg(changedCells);
}

QString notesHint(const QStringList& notes)
{
    if (notes.isEmpty())
        return QString();
    return QStringLiteral("　（有%1条说明，鼠标停在此处可查看）").arg(notes.size());
}

bool suggestAfterRun(const ScheduleOutcome& run)
{
    return !run.refused() && (run.teacherClashes > 0 || run.unplacedLessons > 0);
}

QString suggestionText()
{
    return QStringLiteral("可点击“优化课表”消除冲突");
}

namespace {

Counts countOf(const SolverProblem& problem, const std::vector<int>& grid)
{
    // Hand moves are counted where they stand, pinned or not: the line tells
    // what the timetable holds.
    const TimetableFaults faults = TimetableAudit::count(problem, grid);
    return {faults.clashes, faults.unplaced, faults.outsideZones, faults.fixedOutOfPlace, faults.rules.total()};
}

} // namespace

QString prepare(const TimetableData& shown, const QStringList& baseline, Job& job)
{
    try {
        const Status read = PlanReader::Load(job.plan);
        if (!read.ok())
            return read.message();
        const Status prepared = Scheduler(job.plan).PrepareRun();
        if (!prepared.ok())
            return prepared.message();
    } catch (const StoreError& error) {
        return QStringLiteral("无法优化课表。\n%1").arg(error.message());
    }
    PlanningModel& plan = job.plan;
    bool fits = shown.classCount == plan.classCount && shown.dayCount == plan.dayCount
        && shown.periodCount == plan.periodCount;
    for (int c = 0; fits && c < plan.classCount; ++c)
        fits = shown.className(c) == plan.className(c);
    if (!fits)
        return QStringLiteral("显示的课表与当前的排课计划不符（班级或每周节数已改动），请先重新排课。");

    job.problem = solverProblemFromModel(plan);
    // The fixed lessons are where the shown timetable has them: a fixed
    // lesson moved by hand stays where the user put it.
    job.problem.fixedLessons.clear();
    for (int i = 0; i < shown.fixedLessonCount(); ++i) {
        const TimetableData::FixedLesson f = shown.fixedLesson(i);
        if (shown.isCell(f.classIndex, f.day, f.period) && f.subject >= 1
            && f.subject <= SolverProblem::kSubjects)
            job.problem.fixedLessons.push_back({f.classIndex, f.day, f.period, f.subject});
    }
    const int S = plan.dayCount * plan.periodCount;
    std::vector<int> start(static_cast<size_t>(plan.classCount) * static_cast<size_t>(S), 0);
    for (int c = 0; c < plan.classCount; ++c)
        for (int d = 0; d < plan.dayCount; ++d)
            for (int p = 0; p < plan.periodCount; ++p) {
                const int s = plan.SubjectNumber(shown.subject(c, d, p));
                start[static_cast<size_t>(c * S + d * plan.periodCount + p)] = s > 0 ? s : 0;
            }
    job.request.start = start;
    job.request.pins = pinsFor(shown, baseline);
    // A school too large for the solver's memory is refused here, before the
    // progress dialog opens (the solver would refuse it the same way).
    const QString tooLarge = modelSizeRefusal(job.problem, job.request);
    if (!tooLarge.isEmpty())
        return QStringLiteral("无法优化课表。\n%1").arg(tooLarge);
    job.before = countOf(job.problem, start);
    return QString();
}

TimetableData apply(const TimetableData& shown, Job& job, const SolverOutcome& outcome, Counts& after)
{
    after = countOf(job.problem, outcome.grid);
    job.plan.lessonGrid = outcome.grid;
    Scheduler(job.plan).BuildTextGrids();
    TimetableData result = shown;
    result.PublishToView(job.plan);
    result.fixedLessons = shown.fixedLessons;
    return result;
}

} // namespace OptimizeRun
