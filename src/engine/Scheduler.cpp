#include "engine/Scheduler.h"

#include "base/Naming.h"
#include "base/PlanVocabulary.h"
#include "engine/LessonPlacer.h"
#include "engine/PlanningModel.h"
#include "engine/RandomGenerator.h"
#include "engine/TeacherIndex.h"
#include "engine/TimetableSmoother.h"

#include <QDateTime>

#include <algorithm>
#include <utility>
#include <vector>

Scheduler::Scheduler(PlanningModel& model)
    : m_model(model)
{
}

QString Scheduler::incompleteMessage()
{
    return QStringLiteral("当前录入数据不完整，不能排课！");
}

QString Scheduler::weeklyTotalMessage()
{
    return QStringLiteral("周课时量在周计划之外,请合理设置周课时量！");
}

QString Scheduler::incompletePlanMessage()
{
    return QStringLiteral("周课时计划不完整（应有12个年级行），不能排课！");
}

QString Scheduler::unknownGradeMessage(const QString& className, const QString& grade)
{
    return QStringLiteral("班级") + className + QStringLiteral("的年级“") + grade + QStringLiteral("”无法识别，不能排课！");
}

QString Scheduler::lessonCountMessage(const QString& grade, const QString& subject, int count, long long weekSize)
{
    return QStringLiteral("%1的“%2”每周 %3 节，应在 0 到 %4 节之间，不能排课！").arg(grade, subject).arg(count).arg(weekSize);
}

std::uint32_t Scheduler::clockSeed()
{
    return static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch());
}

namespace {

bool cancelled(const std::atomic<bool>* cancel)
{
    return cancel && cancel->load();
}

} // namespace

ScheduleOutcome Scheduler::RunScheduling(std::optional<std::uint32_t> seed, const std::atomic<bool>* cancel)
{
    const Status prepared = PrepareRun();
    if (!prepared.ok()) {
        ScheduleOutcome outcome;
        outcome.status = prepared;
        return outcome;
    }
    return BuildTimetable(seed ? *seed : clockSeed(), cancel);
}

Status Scheduler::PrepareRun()
{
    PlanningModel& m = m_model;

    // A plan built in memory has not passed the reader's check of the week.
    const QString weekRefusal = Plan::WeekLimitRefusal(m.dayCount, m.periodCount);
    if (!weekRefusal.isEmpty())
        return Failure::refused(weekRefusal);

    m.classCount = static_cast<int>(m.teacherAssignments.size() / Plan::kAssignmentTexts);
    const int gradeRows = m.gradeRowCount();

    if (m.dayCount == 0 || m.periodCount == 0 || m.subjectNames[0].isEmpty() || m.classCount == 0 || gradeRows == 0)
        return Failure::refused(incompleteMessage());

    // Every class needs the plan row of its grade, and the weekly totals of all
    // twelve rows are checked.
    if (gradeRows < Plan::kGradeRows)
        return Failure::refused(incompletePlanMessage());
    m.remainingLessons.clear();
    m.remainingLessons.reserve(static_cast<size_t>(m.classCount) * PlanningModel::kPlanStride);
    for (int c = 0; c < m.classCount; ++c) {
        const int row = GradeIndex(m.gradeName(c));
        if (row < 0)
            return Failure::refused(unknownGradeMessage(m.className(c), m.gradeName(c)));
        for (int s = 0; s < PlanningModel::kPlanStride; ++s)
            m.remainingLessons.push_back(m.plan(row, s));
    }

    const long long weekSize = static_cast<long long>(m.dayCount) * m.periodCount;
    for (int r = 0; r < Plan::kGradeRows; ++r) {
        const int total = m.plan(r, 0);
        if (total != 0 && total != weekSize)
            return Failure::refused(weeklyTotalMessage());
    }

    // Every subject's count must fit in the week: a negative count or one
    // beyond the slots of the week is a mistake in the plan, not a number to
    // place lessons by.
    for (int r = 0; r < Plan::kGradeRows; ++r)
        for (int s = 1; s < PlanningModel::kPlanStride; ++s) {
            const int count = m.plan(r, s);
            if (count >= 0 && count <= weekSize)
                continue;
            const QString& name = m.subjectNames[s - 1];
            const QString subject = Plan::isEmpty(name) || name.isEmpty() ? QStringLiteral("第 %1 科").arg(s) : name;
            return Failure::refused(lessonCountMessage(GradeRowName(r), subject, count, weekSize));
        }

    m.BuildAllowedPeriods();
    return Status::done();
}

ScheduleOutcome Scheduler::BuildTimetable(std::uint32_t seed, const std::atomic<bool>* cancel)
{
    PlanningModel& m = m_model;
    // What a cancelled run puts back.
    std::vector<int> gridBefore = m.lessonGrid;
    std::vector<int> remainingBefore = m.remainingLessons;

    ScheduleOutcome outcome;
    outcome.seed = seed;
    m.lessonGrid.assign(static_cast<size_t>(m.classCount) * m.dayCount * m.periodCount, 0);

    RandomGenerator random(seed);
    bool done = !cancelled(cancel);
    if (done) {
        LessonPlacer placer(m, random);
        placer.PlaceFixedLessons();
        placer.PlaceLessons();
        done = !cancelled(cancel) && SmoothTimetable(cancel);
    }
    if (!done) {
        m.lessonGrid = std::move(gridBefore);
        m.remainingLessons = std::move(remainingBefore);
        outcome.cancelled = true;
        return outcome;
    }
    BuildTextGrids();
    CountResult(outcome);
    return outcome;
}

bool Scheduler::SmoothTimetable(const std::atomic<bool>* cancel)
{
    TimetableSmoother smoother(m_model);
    if (m_model.periodCount >= 2)
        smoother.SmoothEarlyPeriods();
    if (cancelled(cancel))
        return false;
    if (m_model.periodCount > 3)
        smoother.ResolveTeacherClashes(m_model.periodCount);
    return !cancelled(cancel);
}

void Scheduler::BuildTextGrids()
{
    PlanningModel& m = m_model;
    m.subjectGrid.clear();
    m.teacherGrid.clear();
    const qsizetype perClass = 1 + static_cast<qsizetype>(m.dayCount) * m.periodCount;
    m.subjectGrid.reserve(perClass * m.classCount);
    m.teacherGrid.reserve(perClass * m.classCount);
    for (int c = 0; c < m.classCount; ++c) {
        m.subjectGrid << m.className(c);
        m.teacherGrid << m.className(c);
        for (int d = 0; d < m.dayCount; ++d)
            for (int p = 0; p < m.periodCount; ++p) {
                const int s = m.cell(c, d, p);
                if (s != 0) {
                    m.subjectGrid << m.subjectNames[s - 1];
                    m.teacherGrid << m.teacher(c, s);
                } else {
                    m.subjectGrid << Plan::emptyMarker();
                    m.teacherGrid << Plan::emptyMarker();
                }
            }
    }
}

void Scheduler::CountResult(ScheduleOutcome& outcome) const
{
    const PlanningModel& m = m_model;

    outcome.requiredLessons = 0;
    outcome.unplacedLessons = 0;
    for (int c = 0; c < m.classCount; ++c) {
        int inGrid[Plan::kSubjectSlots + 1] = {};
        for (int d = 0; d < m.dayCount; ++d)
            for (int p = 0; p < m.periodCount; ++p)
                ++inGrid[m.cell(c, d, p)];
        for (int s = 1; s <= Plan::kSubjectSlots; ++s) {
            const qint64 wanted = m.gradeCount(c, s);
            outcome.requiredLessons += std::max<qint64>(0, wanted);
            outcome.unplacedLessons += std::max<qint64>(0, wanted - inGrid[s]);
        }
    }
    outcome.placedLessons = outcome.requiredLessons - outcome.unplacedLessons;

    // Bookings of one slot as (teacher, class) or, for a combined lesson,
    // (teacher, group), so that a group taught together is one booking.
    const TeacherIndex teachers(m);
    outcome.teacherClashes = 0;
    std::vector<std::pair<int, int>> bookings;
    for (int d = 0; d < m.dayCount; ++d)
        for (int p = 0; p < m.periodCount; ++p) {
            bookings.clear();
            for (int c = 0; c < m.classCount; ++c) {
                const int s = m.cell(c, d, p);
                if (s == 0)
                    continue;
                const int teacher = teachers.id(c, s);
                if (teacher == TeacherIndex::kNoTeacher)
                    continue;
                const int group = m.FindCombinedGroup(c, s);
                bookings.emplace_back(teacher, group == -1 ? c : -1 - group);
            }
            std::sort(bookings.begin(), bookings.end());
            bookings.erase(std::unique(bookings.begin(), bookings.end()), bookings.end());
            for (size_t i = 1; i < bookings.size(); ++i)
                if (bookings[i].first == bookings[i - 1].first)
                    ++outcome.teacherClashes;
        }
}
