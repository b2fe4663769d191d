#include "view/ShownFaults.h"

namespace ShownFaults {

std::vector<int> gridOf(const SolverProblem& rules, const TimetableData& shown)
{
    if (shown.classCount != rules.classCount() || shown.dayCount != rules.dayCount
        || shown.periodCount != rules.periodCount)
        return {};
    for (int c = 0; c < shown.classCount; ++c)
        if (shown.className(c) != rules.classNames[c])
            return {};
    const int S = rules.slotCount();
    std::vector<int> grid(static_cast<size_t>(rules.classCount()) * static_cast<size_t>(S), 0);
    for (int c = 0; c < shown.classCount; ++c)
        for (int d = 0; d < shown.dayCount; ++d)
            for (int p = 0; p < shown.periodCount; ++p) {
                const QString& name = shown.subject(c, d, p);
                if (name.isEmpty() || name == Plan::emptyMarker())
                    continue; // a free cell, even where an unused subject slot is named "H"
                const int s = static_cast<int>(rules.subjectNames.indexOf(name)) + 1;
                grid[static_cast<size_t>(c * S + d * shown.periodCount + p)] = s;
            }
    return grid;
}

std::optional<TimetableFaults> count(const SolverProblem& rules, const TimetableData& shown)
{
    const std::vector<int> grid = gridOf(rules, shown);
    if (grid.empty())
        return std::nullopt;
    SolverProblem asShown = rules;
    asShown.fixedLessons.clear();
    for (int i = 0; i < shown.fixedLessonCount(); ++i) {
        const TimetableData::FixedLesson f = shown.fixedLesson(i);
        asShown.fixedLessons.push_back({f.classIndex, f.day, f.period, f.subject});
    }
    return TimetableAudit::count(asShown, grid);
}

QString resultText(const TimetableFaults& faults, std::optional<std::uint32_t> seed)
{
    // A clean count of the rules beyond the run's own is left out, so that
    // the line fits the window's bottom bar at 1366 pixels.
    QString text = QStringLiteral("%1：已排 %2/%3 节，未排 %4 节，教师冲突 %5 处")
                       .arg(seed ? QStringLiteral("排课结果") : QStringLiteral("课表"))
                       .arg(faults.placed())
                       .arg(faults.required)
                       .arg(faults.unplaced)
                       .arg(faults.clashes);
    if (faults.fixedOutOfPlace > 0 || faults.outsideZones > 0)
        text += QStringLiteral("，固定科目不在原位 %1 节，时段外 %2 节").arg(faults.fixedOutOfPlace).arg(faults.outsideZones);
    if (!faults.rules.clean())
        text += QStringLiteral("，违反排课规则 %1 处（%2）").arg(faults.rules.total()).arg(RuleAudit::describe(faults.rules));
    if (seed)
        text += QStringLiteral("（随机种子 %1）").arg(*seed);
    return text;
}

QString optimizeQuestion(const TimetableFaults& faults)
{
    QStringList left;
    if (faults.clashes > 0)
        left << QStringLiteral("教师冲突 %1 处").arg(faults.clashes);
    if (faults.unplaced > 0)
        left << QStringLiteral("未排 %1 节").arg(faults.unplaced);
    if (faults.outsideZones > 0)
        left << QStringLiteral("时段外 %1 节").arg(faults.outsideZones);
    if (faults.fixedOutOfPlace > 0)
        left << QStringLiteral("固定科目不在原位 %1 节").arg(faults.fixedOutOfPlace);
    if (left.isEmpty())
        return QString();
    return QStringLiteral("排课完成，但课表中还有%1。\n\n现在优化课表吗？\n"
                          "“%2”：尽量少改动课表，消除这些问题（可撤销）。\n"
                          "“%3”：保留本次排课结果，以后仍可点击工具栏的“优化课表”。")
        .arg(left.join(QStringLiteral("、")), optimizeAnswer(), keepAnswer());
}

} // namespace ShownFaults
