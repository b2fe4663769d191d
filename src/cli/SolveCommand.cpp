#include "cli/Cli.h"

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableAudit.h"
#include "engine/solver/TimetableSolver.h"
#include "store/StoreError.h"
#include "view/TimetableJson.h"
#include "store/PlanReader.h"
#include "view/TimetableData.h"
#include "view/TimetableStore.h"

#include <QElapsedTimer>

#include <cstdint>
#include <optional>

namespace {

QString stringList(const QStringList& texts)
{
    QStringList quoted;
    for (const QString& text : texts)
        quoted << TimetableJson::quote(text);
    return QLatin1Char('[') + quoted.join(QLatin1Char(',')) + QLatin1Char(']');
}

std::optional<qulonglong> parseNumber(const QString& text, qulonglong max)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 10);
    if (!ok || value > max || text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-')))
        return std::nullopt;
    return value;
}

// The saved timetable as a start grid of the model's classes, or an empty
// grid with the reason when it does not fit the plan.
std::vector<int> savedStartGrid(const PlanningModel& model, QString& reason)
{
    TimetableData saved;
    const Status read = TimetableStore::LoadSavedTimetable(saved);
    if (!read.ok()) {
        reason = read.failure().message();
        return {};
    }
    if (saved.classCount == 0) {
        reason = QStringLiteral("没有已保存的课表，不能修复");
        return {};
    }
    if (saved.dayCount != model.dayCount || saved.periodCount != model.periodCount) {
        reason = QStringLiteral("已保存的课表是每周 %1 天、每天 %2 节，与周工作计划不符，不能修复")
                     .arg(saved.dayCount)
                     .arg(saved.periodCount);
        return {};
    }
    const int S = model.dayCount * model.periodCount;
    std::vector<int> grid(static_cast<size_t>(model.classCount) * static_cast<size_t>(S), 0);
    for (int c = 0; c < model.classCount; ++c) {
        const int row = saved.ClassIndex(model.className(c));
        if (row == -1)
            continue;
        for (int d = 0; d < model.dayCount; ++d)
            for (int p = 0; p < model.periodCount; ++p) {
                const int s = model.SubjectNumber(saved.subject(row, d, p));
                grid[static_cast<size_t>(c * S + d * model.periodCount + p)] = s > 0 ? s : 0;
            }
    }
    return grid;
}

} // namespace

int runSolve(const QStringList& args)
{
    const QString seedOption = QStringLiteral("--seed");
    const QString timeOption = QStringLiteral("--time-limit");
    const QString threadsOption = QStringLiteral("--threads");
    const QString noSpreadOption = QStringLiteral("--no-spread");
    const QString repairOption = QStringLiteral("--repair");
    const QString jsonOption = QStringLiteral("--json");
    const QString saveOption = QStringLiteral("--save");
    Command command({QStringLiteral("solve"), {seedOption, timeOption, threadsOption},
                     {noSpreadOption, repairOption, jsonOption, saveOption}, 0, {}});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    SolverRequest request;
    request.seed = 1;
    if (line.has(seedOption)) {
        const auto seed = parseNumber(line.value(seedOption), 0xFFFFFFFFull);
        if (!seed) {
            printErr(QStringLiteral("--seed 需要 0 到 4294967295 之间的整数，而不是“%1”").arg(line.value(seedOption)));
            return ExitUsage;
        }
        request.seed = static_cast<std::uint32_t>(*seed);
    }
    if (line.has(timeOption)) {
        bool ok = false;
        const double seconds = line.value(timeOption).toDouble(&ok);
        if (!ok || !(seconds > 0) || seconds > 86400) {
            printErr(QStringLiteral("--time-limit 需要 0 到 86400 之间的秒数，而不是“%1”").arg(line.value(timeOption)));
            return ExitUsage;
        }
        request.timeLimitSeconds = seconds;
    }
    if (line.has(threadsOption)) {
        const auto threads = parseNumber(line.value(threadsOption), 64);
        if (!threads || *threads == 0) {
            printErr(QStringLiteral("--threads 需要 1 到 64 之间的整数，而不是“%1”").arg(line.value(threadsOption)));
            return ExitUsage;
        }
        request.threads = static_cast<int>(*threads);
    }
    request.spread = !line.has(noSpreadOption);
    const bool repair = line.has(repairOption);

    // Without --save the run only reads: a read-only file serves it.
    if (!command.openDatabase(!line.has(saveOption)))
        return ExitStoreFailure;

    PlanningModel model;
    QElapsedTimer timer;
    timer.start();
    try {
        const Status read = PlanReader::Load(model);
        if (!read.ok())
            return report(read.failure());
        for (const QString& note : model.rules.skipped)
            printErr(QStringLiteral("注意：%1").arg(note));
        const Status prepared = Scheduler(model).PrepareRun();
        if (!prepared.ok())
            return report(prepared.failure());
        if (repair) {
            QString reason;
            request.start = savedStartGrid(model, reason);
            if (request.start.empty())
                return report(Failure::refused(reason));
        }
    } catch (const StoreError& error) {
        return report(error.failure());
    }

    const SolverProblem problem = solverProblemFromModel(model);
    const TimetableFaults before = TimetableAudit::count(problem, request.start);
    const SolverOutcome outcome = solveTimetable(problem, request);
    // Too large to build: refused like a plan that breaks a rule, nothing printed on stdout.
    if (outcome.status == SolverOutcome::Status::TooLarge)
        return report(Failure::refused(outcome.explanation.join(QLatin1Char('\n'))));
    const TimetableFaults after = TimetableAudit::count(problem, outcome.grid);
    const double milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const bool solved = outcome.status == SolverOutcome::Status::Solved;
    const bool hasTimetable = !outcome.grid.empty();
    const int exitCode = solved ? ExitDone
        : outcome.status == SolverOutcome::Status::Impossible ? ExitRefused
                                                              : ExitOutOfBudget;

    // The hand-off to the timetable, as after a scheduling run.
    TimetableData timetable;
    ScheduleOutcome counts;
    counts.seed = request.seed;
    if (hasTimetable) {
        model.lessonGrid = outcome.grid;
        Scheduler scheduler(model);
        scheduler.BuildTextGrids();
        scheduler.CountResult(counts);
        timetable.PublishToView(model);
    }
    const bool save = line.has(saveOption) && hasTimetable;
    if (save) {
        try {
            TimetableStore::SaveTimetable(timetable);
        } catch (const StoreError& error) {
            return report(error.failure());
        }
    }

    if (line.has(jsonOption)) {
        QString json = QStringLiteral("{\"seed\":%1,").arg(request.seed);
        if (hasTimetable)
            json += TimetableJson::members(timetable)
                + QStringLiteral(",\"unplacedLessons\":%1,\"teacherClashes\":%2,\"zoneViolations\":%3,\"spreadViolations\":%4,"
                                 "\"fixedViolations\":%5,")
                      .arg(counts.unplacedLessons)
                      .arg(counts.teacherClashes)
                      .arg(after.outsideZones)
                      .arg(outcome.spreadViolations)
                      .arg(after.fixedOutOfPlace);
        if (repair)
            json += QStringLiteral("\"before\":{\"unplacedLessons\":%1,\"teacherClashes\":%2,\"zoneViolations\":%3,"
                                   "\"fixedViolations\":%4},")
                        .arg(before.unplaced)
                        .arg(before.clashes)
                        .arg(before.outsideZones)
                        .arg(before.fixedOutOfPlace);
        if (repair && hasTimetable)
            json += QStringLiteral("\"changedCells\":%1,").arg(outcome.changedCells);
        json += QStringLiteral("\"solved\":%1,\"spreadRelaxed\":%2,\"zoneFallback\":%3,\"notes\":%4")
                    .arg(solved ? QStringLiteral("true") : QStringLiteral("false"),
                         outcome.spreadRelaxed ? QStringLiteral("true") : QStringLiteral("false"),
                         outcome.zoneFallback ? QStringLiteral("true") : QStringLiteral("false"),
                         stringList(outcome.notes));
        if (!solved)
            json += QStringLiteral(",\"explanation\":%1").arg(stringList(outcome.explanation));
        printOut(json + QLatin1Char('}'));
        return exitCode;
    }

    printOut(QStringLiteral("随机种子：%1").arg(request.seed));
    printOut(QStringLiteral("周工作计划：每周 %1 天，每天 %2 节").arg(model.dayCount).arg(model.periodCount));
    printOut(QStringLiteral("班级：%1 个").arg(model.classCount));
    if (repair)
        printOut(QStringLiteral("修复前：未排 %1 节，教师冲突 %2 处，固定科目不在原位 %3 节，时段外 %4 节")
                     .arg(before.unplaced)
                     .arg(before.clashes)
                     .arg(before.fixedOutOfPlace)
                     .arg(before.outsideZones));
    if (solved)
        printOut(QStringLiteral("结果：已排出完整课表，没有教师冲突"));
    else if (outcome.status == SolverOutcome::Status::Impossible)
        printOut(QStringLiteral("结果：无法排出满足全部要求的课表"));
    else
        printOut(QStringLiteral("结果：在限定的时间内没有排出完整课表"));
    if (hasTimetable) {
        printOut(QStringLiteral("已排课时：%1 / %2").arg(counts.placedLessons).arg(counts.requiredLessons));
        printOut(QStringLiteral("未排课时：%1").arg(counts.unplacedLessons));
        printOut(QStringLiteral("教师冲突：%1").arg(counts.teacherClashes));
        printOut(QStringLiteral("固定科目不在原位：%1").arg(after.fixedOutOfPlace));
        printOut(QStringLiteral("时段外课时：%1").arg(after.outsideZones));
        printOut(QStringLiteral("未分散课时：%1").arg(outcome.spreadViolations));
        if (repair)
            printOut(QStringLiteral("改动格数：%1").arg(outcome.changedCells));
    }
    for (const QString& note : outcome.notes)
        printOut(QStringLiteral("说明：") + note);
    for (const QString& reason : outcome.explanation)
        printOut(QStringLiteral("原因：") + reason);
    printOut(QStringLiteral("用时：%1 毫秒").arg(milliseconds, 0, 'f', 1));
    if (save)
        printOut(QStringLiteral("课表已保存。"));
    return exitCode;
}
