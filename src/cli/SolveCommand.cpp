#include "cli/Cli.h"
#include "cli/SolvePins.h"

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
#include <QJsonArray>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

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
    const QString pinOption = QStringLiteral("--pin");
    const QString pinsOption = QStringLiteral("--pins");
    Command command({QStringLiteral("solve"), {seedOption, timeOption, threadsOption, pinOption, pinsOption},
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

    // Pins name cells of the saved timetable, so they go with a repair only.
    std::vector<SolvePins::Written> writtenPins;
    if ((line.has(pinOption) || line.has(pinsOption)) && !repair) {
        printErr(QStringLiteral("--pin 和 --pins 保留已保存课表中的课，只能与 --repair 一起使用"));
        return ExitUsage;
    }
    for (const QString& text : line.values(pinOption)) {
        SolvePins::Written pin;
        QString error;
        if (!SolvePins::parse(text, QStringLiteral("--pin %1").arg(text), pin, error)) {
            printErr(error);
            return ExitUsage;
        }
        writtenPins.push_back(pin);
    }
    for (const QString& path : line.values(pinsOption)) {
        const Status read = SolvePins::readFile(path, writtenPins);
        if (!read.ok())
            return report(read.failure());
    }

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
            const Status pinned = SolvePins::resolve(model, writtenPins, request.pins);
            if (!pinned.ok())
                return report(pinned.failure());
        }
    } catch (const StoreError& error) {
        return report(error.failure());
    }

    // The limit is the command's: reading the school counts against it.
    if (request.timeLimitSeconds > 0)
        request.timeLimitSeconds
            = std::max(0.001, request.timeLimitSeconds - static_cast<double>(timer.nsecsElapsed()) / 1e9);
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
        OrderedJson json;
        json.add(QStringLiteral("seed"), qint64(request.seed));
        if (hasTimetable)
            json.append(TimetableJson::members(timetable))
                .add(QStringLiteral("unplacedLessons"), qint64(counts.unplacedLessons))
                .add(QStringLiteral("teacherClashes"), qint64(counts.teacherClashes))
                .add(QStringLiteral("zoneViolations"), after.outsideZones)
                .add(QStringLiteral("spreadViolations"), outcome.spreadViolations)
                .add(QStringLiteral("fixedViolations"), after.fixedOutOfPlace);
        if (repair) {
            OrderedJson was;
            was.add(QStringLiteral("unplacedLessons"), qint64(before.unplaced))
                .add(QStringLiteral("teacherClashes"), before.clashes)
                .add(QStringLiteral("zoneViolations"), before.outsideZones)
                .add(QStringLiteral("fixedViolations"), before.fixedOutOfPlace);
            json.add(QStringLiteral("before"), was);
        }
        if (repair && hasTimetable)
            json.add(QStringLiteral("changedCells"), outcome.changedCells);
        if (repair)
            json.add(QStringLiteral("pins"), qint64(request.pins.size()));
        if (hasTimetable) {
            OrderedJson rules;
            rules.add(QStringLiteral("teacherOff"), after.rules.teacherOff)
                .add(QStringLiteral("dailyLimit"), after.rules.dailyLimit)
                .add(QStringLiteral("daysPerWeek"), after.rules.daysPerWeek)
                .add(QStringLiteral("inARow"), after.rules.inARow)
                .add(QStringLiteral("venueCap"), after.rules.venueCap)
                .add(QStringLiteral("doubleLessons"), after.rules.doubleLessons);
            json.add(QStringLiteral("ruleViolations"), rules);
        }
        json.add(QStringLiteral("solved"), solved)
            .add(QStringLiteral("spreadRelaxed"), outcome.spreadRelaxed)
            .add(QStringLiteral("zoneFallback"), outcome.zoneFallback)
            .add(QStringLiteral("notes"), QJsonArray::fromStringList(outcome.notes));
        if (!problem.rules.skipped.isEmpty())
            json.add(QStringLiteral("skippedRules"), QJsonArray::fromStringList(problem.rules.skipped));
        if (!solved)
            json.add(QStringLiteral("explanation"), QJsonArray::fromStringList(outcome.explanation));
        printOut(QString::fromUtf8(json.toJson()));
        return exitCode;
    }

    printOut(QStringLiteral("随机种子：%1").arg(request.seed));
    printOut(QStringLiteral("周工作计划：每周 %1 天，每天 %2 节").arg(model.dayCount).arg(model.periodCount));
    printOut(QStringLiteral("班级：%1 个").arg(model.classCount));
    if (!request.pins.empty())
        printOut(QStringLiteral("保留的格：%1 个").arg(request.pins.size()));
    if (!problem.rules.isEmpty())
        printOut(QStringLiteral("排课规则：教师不排课 %1 条，教师课时限制 %2 条，场地限制 %3 条，连堂设置 %4 条")
                     .arg(problem.rules.teacherOff.size())
                     .arg(problem.rules.teacherLimits.size())
                     .arg(problem.rules.venueCaps.size())
                     .arg(problem.rules.doubleLessons.size()));
    for (const QString& row : problem.rules.skipped)
        printOut(QStringLiteral("说明：未采用的规则：") + row);
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
        if (!problem.rules.isEmpty())
            printOut(QStringLiteral("违反排课规则：教师不排课 %1，每天最多 %2，每周最多天数 %3，最多连上 %4，场地限制 %5，连堂 %6")
                         .arg(after.rules.teacherOff)
                         .arg(after.rules.dailyLimit)
                         .arg(after.rules.daysPerWeek)
                         .arg(after.rules.inARow)
                         .arg(after.rules.venueCap)
                         .arg(after.rules.doubleLessons));
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
