#include "cli/Cli.h"

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "store/StoreError.h"

#include <QElapsedTimer>

#include <cstdint>
#include <optional>

namespace {

QString jsonString(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case u'"': out += QLatin1String("\\\""); break;
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'\b': out += QLatin1String("\\b"); break;
        case u'\f': out += QLatin1String("\\f"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case u'\t': out += QLatin1String("\\t"); break;
        default:
            if (ch.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += ch;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString jsonStrings(const QStringList& texts, qsizetype from, qsizetype count)
{
    QString out = QStringLiteral("[");
    for (qsizetype i = 0; i < count; ++i) {
        if (i != 0)
            out += QLatin1Char(',');
        out += jsonString(texts[from + i]);
    }
    return out + QLatin1Char(']');
}

// Groups of `stride` integers as a list of lists.
QString jsonGroups(const std::vector<int>& values, size_t stride)
{
    QString out = QStringLiteral("[");
    for (size_t i = 0; i < values.size(); ++i) {
        if (i % stride == 0)
            out += i == 0 ? QStringLiteral("[") : QStringLiteral(",[");
        else
            out += QLatin1Char(',');
        out += QString::number(values[i]);
        if (i % stride == stride - 1)
            out += QLatin1Char(']');
    }
    return out + QLatin1Char(']');
}

// The run as one JSON object; the key order is part of the contract.
QString resultJson(const PlanningModel& model, const ScheduleOutcome& outcome)
{
    const qsizetype slots = static_cast<qsizetype>(model.dayCount) * model.periodCount;
    QString out = QStringLiteral("{\"seed\":%1,\"dayCount\":%2,\"periodCount\":%3,\"subjectNames\":")
                      .arg(outcome.seed)
                      .arg(model.dayCount)
                      .arg(model.periodCount);
    out += jsonStrings(model.subjectNames, 0, model.subjectNames.size());
    out += QLatin1String(",\"classes\":[");
    for (int c = 0; c < model.classCount; ++c) {
        const qsizetype base = c * (1 + slots);
        if (c != 0)
            out += QLatin1Char(',');
        out += QLatin1String("{\"name\":") + jsonString(model.subjectGrid[base]);
        out += QLatin1String(",\"subjects\":") + jsonStrings(model.subjectGrid, base + 1, slots);
        out += QLatin1String(",\"teachers\":") + jsonStrings(model.teacherGrid, base + 1, slots);
        out += QLatin1Char('}');
    }
    out += QLatin1String("],\"fixedLessons\":") + jsonGroups(model.fixedLessons, PlanningModel::kFixedStride);
    out += QLatin1String(",\"combinedClasses\":") + jsonGroups(model.combinedClasses, PlanningModel::kCombinedStride);
    out += QStringLiteral(",\"unplacedLessons\":%1,\"teacherClashes\":%2}")
               .arg(outcome.unplacedLessons)
               .arg(outcome.teacherClashes);
    return out;
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
    const CommandLine line(args, {seedOption}, {jsonOption, saveOption});
    if (!line.ok() || !line.positional().isEmpty()) {
        printErr(line.ok() ? QStringLiteral("schedule 不接受参数 %1").arg(line.positional().first()) : line.error());
        return ExitUsage;
    }
    std::optional<std::uint32_t> seed;
    if (line.has(seedOption)) {
        seed = parseSeed(line.value(seedOption));
        if (!seed) {
            printErr(QStringLiteral("--seed 需要 0 到 4294967295 之间的整数，而不是“%1”").arg(line.value(seedOption)));
            return ExitUsage;
        }
    }
    if (line.has(saveOption)) {
        printErr(QStringLiteral("保存功能尚未提供"));
        return ExitUsage;
    }
    if (!openDatabaseForCommand(line.databasePath()))
        return ExitStoreFailure;

    PlanningModel model;
    ScheduleOutcome outcome;
    QElapsedTimer timer;
    timer.start();
    try {
        outcome = Scheduler(model).RunScheduling(seed);
    } catch (const StoreError& error) {
        printErr(error.message());
        return ExitStoreFailure;
    }
    const double milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;

    if (outcome.refused) {
        printErr(outcome.message);
        return ExitRefused;
    }
    if (line.has(jsonOption)) {
        printOut(resultJson(model, outcome));
        return ExitDone;
    }
    printOut(QStringLiteral("随机种子：%1").arg(outcome.seed));
    printOut(QStringLiteral("周工作计划：每周 %1 天，每天 %2 节").arg(model.dayCount).arg(model.periodCount));
    printOut(QStringLiteral("班级：%1 个").arg(model.classCount));
    printOut(QStringLiteral("已排课时：%1 / %2").arg(outcome.placedLessons).arg(outcome.requiredLessons));
    printOut(QStringLiteral("未排课时：%1").arg(outcome.unplacedLessons));
    printOut(QStringLiteral("教师冲突：%1").arg(outcome.teacherClashes));
    printOut(QStringLiteral("用时：%1 毫秒").arg(milliseconds, 0, 'f', 1));
    return ExitDone;
}
