#include "engine/solver/RuleAudit.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace RuleAudit {

namespace {

bool hasTeacher(const QString& name)
{
    return !name.isEmpty() && name != QStringLiteral("H");
}

// The half days of a day as period ranges [first, end).
std::vector<std::pair<int, int>> halves(int periods, int morning)
{
    morning = std::clamp(morning, 0, periods);
    if (morning == 0 || morning == periods)
        return {{0, periods}};
    return {{0, morning}, {morning, periods}};
}

} // namespace

RuleFaults count(const SolverProblem& pb, const std::vector<int>& grid)
{
    RuleFaults faults;
    const SchoolRules& rules = pb.rules;
    const int C = pb.classCount();
    const int D = pb.dayCount;
    const int P = pb.periodCount;
    const int S = pb.slotCount();
    if (rules.isEmpty() || D < 1 || P < 1 || grid.size() != static_cast<size_t>(C) * static_cast<size_t>(S)
        || pb.teachers.size() != static_cast<size_t>(C))
        return faults;
    const auto subjectAt = [&grid, S](int c, int t) {
        const int s = grid[static_cast<size_t>(c) * static_cast<size_t>(S) + static_cast<size_t>(t)];
        return s >= 1 && s <= SolverProblem::kSubjects ? s : 0;
    };
    const auto gradeOf = [&pb](int c) { return c < pb.classGrades.size() ? pb.classGrades[c] : QString(); };
    const auto subjectNumber = [&pb](const QString& name) {
        const qsizetype i = pb.subjectNames.indexOf(name);
        return i < 0 || name.isEmpty() || name == QStringLiteral("H") ? 0 : static_cast<int>(i) + 1;
    };
    const std::vector<std::pair<int, int>> dayHalves = halves(P, rules.morningPeriods);

    // Busy periods of the teachers the rules name.
    QSet<QString> named;
    for (const auto& off : rules.teacherOff)
        named.insert(off.teacher);
    for (const auto& limit : rules.teacherLimits)
        named.insert(limit.teacher);
    QHash<QString, std::vector<char>> busy;
    for (const QString& teacher : named)
        busy.insert(teacher, std::vector<char>(static_cast<size_t>(S), 0));
    if (!busy.isEmpty())
        for (int c = 0; c < C; ++c)
            for (int t = 0; t < S; ++t) {
                const int s = subjectAt(c, t);
                if (s == 0)
                    continue;
                const QString& teacher = pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)];
                if (!hasTeacher(teacher))
                    continue;
                const auto found = busy.find(teacher);
                if (found != busy.end())
                    (*found)[static_cast<size_t>(t)] = 1;
            }

    // Periods off, one mark per teacher and period however many rows name it.
    QHash<QString, std::vector<char>> off;
    for (const auto& rule : rules.teacherOff) {
        if (rule.day < 0 || rule.day >= D)
            continue;
        auto& marks = off[rule.teacher];
        marks.resize(static_cast<size_t>(S), 0);
        for (int p = std::max(rule.firstPeriod, 0); p <= std::min(rule.lastPeriod, P - 1); ++p)
            marks[static_cast<size_t>(rule.day * P + p)] = 1;
    }
    for (auto it = off.cbegin(); it != off.cend(); ++it) {
        const std::vector<char>& teaching = busy[it.key()];
        for (int t = 0; t < S; ++t)
            if (it.value()[static_cast<size_t>(t)] && teaching[static_cast<size_t>(t)])
                ++faults.teacherOff;
    }

    for (const auto& limit : rules.teacherLimits) {
        const std::vector<char>& teaching = busy[limit.teacher];
        int workingDays = 0;
        for (int d = 0; d < D; ++d) {
            int lessons = 0;
            for (const auto& [first, end] : dayHalves) {
                int run = 0;
                for (int p = first; p <= end; ++p) {
                    if (p < end && teaching[static_cast<size_t>(d * P + p)]) {
                        ++run;
                        ++lessons;
                        continue;
                    }
                    if (limit.inARow > 0 && run > limit.inARow)
                        faults.inARow += run - limit.inARow;
                    run = 0;
                }
            }
            if (lessons > 0)
                ++workingDays;
            if (limit.perDay > 0 && lessons > limit.perDay)
                faults.dailyLimit += lessons - limit.perDay;
        }
        if (limit.daysPerWeek > 0 && workingDays > limit.daysPerWeek)
            faults.daysPerWeek += workingDays - limit.daysPerWeek;
    }

    for (const auto& cap : rules.venueCaps) {
        std::vector<char> subjects(SolverProblem::kSubjects + 1, 0);
        for (const QString& name : cap.subjects)
            subjects[static_cast<size_t>(subjectNumber(name))] = 1;
        subjects[0] = 0;
        for (int t = 0; t < S; ++t) {
            int classes = 0;
            for (int c = 0; c < C; ++c)
                if ((cap.grade.isEmpty() || gradeOf(c) == cap.grade) && subjects[static_cast<size_t>(subjectAt(c, t))])
                    ++classes;
            if (cap.cap > 0 && classes > cap.cap)
                faults.venueCap += classes - cap.cap;
        }
    }

    if (!rules.doubleLessons.empty())
        for (int c = 0; c < C; ++c)
            for (int s = 1; s <= SolverProblem::kSubjects; ++s) {
                const int asked = doublesAskedFor(pb, c, s);
                if (asked < 0)
                    continue;
                int doubles = 0;
                int adjacent = 0;
                for (int d = 0; d < D; ++d)
                    for (const auto& [first, end] : dayHalves) {
                        int run = 0;
                        for (int p = first; p <= end; ++p) {
                            if (p < end && subjectAt(c, d * P + p) == s) {
                                ++run;
                                continue;
                            }
                            doubles += run / 2;
                            adjacent += std::max(0, run - 1);
                            run = 0;
                        }
                    }
                faults.doubleLessons += asked == 0 ? adjacent : std::max(0, asked - doubles);
            }
    return faults;
}

int doublesAskedFor(const SolverProblem& pb, int c, int s)
{
    if (c < 0 || c >= pb.classCount() || s < 1 || s > SolverProblem::kSubjects || pb.rules.doubleLessons.empty())
        return -1;
    const QString& subject = pb.subjectNames[s - 1];
    if (subject.isEmpty() || subject == QStringLiteral("H") || pb.subjectNames.indexOf(subject) != s - 1)
        return -1;
    const QString grade = c < pb.classGrades.size() ? pb.classGrades[c] : QString();
    const SchoolRules::DoubleLesson* classRule = nullptr;
    const SchoolRules::DoubleLesson* gradeRule = nullptr;
    for (const auto& candidate : pb.rules.doubleLessons) {
        if (candidate.subject != subject || candidate.grade != grade)
            continue;
        if (candidate.className == pb.classNames[c])
            classRule = &candidate;
        else if (candidate.className.isEmpty())
            gradeRule = &candidate;
    }
    const SchoolRules::DoubleLesson* rule = classRule != nullptr ? classRule : gradeRule;
    return rule == nullptr ? -1 : std::max(0, rule->perWeek);
}

QString describe(const RuleFaults& faults)
{
    const std::pair<const char16_t*, int> kinds[] = {
        {u"教师不排课", faults.teacherOff}, {u"每天最多", faults.dailyLimit},  {u"每周天数", faults.daysPerWeek},
        {u"最多连上", faults.inARow},       {u"场地", faults.venueCap},        {u"连堂", faults.doubleLessons},
    };
    QStringList words;
    for (const auto& [name, n] : kinds)
        if (n > 0)
            words << QStringLiteral("%1 %2").arg(QString::fromUtf16(name)).arg(n);
    return words.join(QStringLiteral("、"));
}

} // namespace RuleAudit
