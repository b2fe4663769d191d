#include "cli/Cli.h"

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "store/PlanReader.h"
#include "view/TimetableJson.h"
#include "view/TimetableData.h"
#include "view/TimetableStore.h"

#include <QElapsedTimer>

#include <cstdint>
#include <optional>

namespace {

// The run as one JSON object: the seed, the timetable as the timetable
// command prints it, then the result counts. The key order is a contract.
QString resultJson(const TimetableData& timetable, const ScheduleOutcome& outcome)
{
    OrderedJson json;
    json.add(QStringLiteral("seed"), qint64(outcome.seed))
        .append(TimetableJson::members(timetable))
        .add(QStringLiteral("unplacedLessons"), qint64(outcome.unplacedLessons))
        .add(QStringLiteral("teacherClashes"), qint64(outcome.teacherClashes));
    return QString::fromUtf8(json.toJson());
}

std::optional<std::uint32_t> parseSeed(const QString& text)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 10);
    if (!ok || value > 0xFFFFFFFFull || text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-')))
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

} // namespace

int runSchedule(const QStringList& args)
{
    const QString seedOption = QStringLiteral("--seed");
    const QString jsonOption = QStringLiteral("--json");
    const QString saveOption = QStringLiteral("--save");
    Command command({QStringLiteral("schedule"), {seedOption}, {jsonOption, saveOption}, 0, {}});
    if (!command.parse(args))
        return ExitUsage;
    const CommandLine& line = command.line();
    std::optional<std::uint32_t> seed;
    if (line.has(seedOption)) {
        seed = parseSeed(line.value(seedOption));
        if (!seed) {
            printErr(QStringLiteral("--seed 需要 0 到 4294967295 之间的整数，而不是“%1”").arg(line.value(seedOption)));
            return ExitUsage;
        }
    }
    if (!command.openDatabase(!command.line().has(saveOption)))
        return ExitStoreFailure;

    PlanningModel model;
    QElapsedTimer timer;
    timer.start();
    const Status read = PlanReader::Load(model);
    if (!read.ok())
        return report(read.failure());
    for (const QString& note : model.rules.skipped)
        printErr(QStringLiteral("注意：%1").arg(note));
    const ScheduleOutcome outcome = Scheduler(model).RunScheduling(seed);
    const double milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    if (!outcome.status.ok())
        return report(outcome.status.failure());

    // The hand-off to the timetable, as the desktop program shows it after a run.
    TimetableData timetable;
    timetable.PublishToView(model);
    if (line.has(saveOption)) {
        TimetableStore::SaveTimetable(timetable);
    }

    if (line.has(jsonOption)) {
        printOut(resultJson(timetable, outcome));
        return ExitDone;
    }
    printOut(QStringLiteral("随机种子：%1").arg(outcome.seed));
    printOut(QStringLiteral("周工作计划：每周 %1 天，每天 %2 节").arg(model.dayCount).arg(model.periodCount));
    printOut(QStringLiteral("班级：%1 个").arg(model.classCount));
    printOut(QStringLiteral("已排课时：%1 / %2").arg(outcome.placedLessons).arg(outcome.requiredLessons));
    printOut(QStringLiteral("未排课时：%1").arg(outcome.unplacedLessons));
    printOut(QStringLiteral("教师冲突：%1").arg(outcome.teacherClashes));
    printOut(QStringLiteral("用时：%1 毫秒").arg(milliseconds, 0, 'f', 1));
    if (line.has(saveOption))
        printOut(QStringLiteral("课表已保存。"));
    return ExitDone;
}
