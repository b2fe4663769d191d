#include "engine/solver/TimetableAudit.h"

#include "base/Naming.h"

#include <algorithm>
#include <utility>

namespace TimetableAudit {

namespace {

bool hasTeacher(const QString& name)
{
    return !name.isEmpty() && name != QStringLiteral("H");
}

// The first combined group that names the class for the subject, or -1.
int groupOf(const SolverProblem& pb, int c, int s)
{
    for (size_t g = 0; g < pb.combined.size(); ++g)
        if (pb.combined[g].subject == s
            && std::find(pb.combined[g].members.begin(), pb.combined[g].members.end(), c) != pb.combined[g].members.end())
            return static_cast<int>(g);
    return -1;
}

bool fits(const SolverProblem& pb, const std::vector<int>& grid)
{
    return pb.dayCount >= 1 && pb.periodCount >= 1
        && grid.size() == static_cast<size_t>(pb.classCount()) * static_cast<size_t>(pb.slotCount())
        && pb.counts.size() == static_cast<size_t>(pb.classCount())
        && pb.teachers.size() == static_cast<size_t>(pb.classCount())
        && pb.subjectZones.size() == static_cast<size_t>(pb.classCount()) * SolverProblem::kSubjects * SolverProblem::kDays
        && pb.teacherZones.size() == pb.subjectZones.size();
}

int subjectAt(const std::vector<int>& grid, size_t i)
{
    const int s = grid[i];
    return s >= 1 && s <= SolverProblem::kSubjects ? s : 0;
}

} // namespace

TimetableFaults count(const SolverProblem& pb, const std::vector<int>& grid, const std::vector<SolverPin>& kept)
{
    TimetableFaults faults;
    if (!fits(pb, grid))
        return faults;
    const int C = pb.classCount();
    const int D = pb.dayCount;
    const int P = pb.periodCount;
    const int S = pb.slotCount();
    const auto at = [S](int c, int t) { return static_cast<size_t>(c) * static_cast<size_t>(S) + static_cast<size_t>(t); };

    for (int c = 0; c < C; ++c) {
        qint64 inGrid[SolverProblem::kSubjects + 1] = {};
        for (int t = 0; t < S; ++t)
            ++inGrid[subjectAt(grid, at(c, t))];
        for (int s = 1; s <= SolverProblem::kSubjects; ++s) {
            const qint64 wanted = std::max(0, pb.counts[static_cast<size_t>(c)][static_cast<size_t>(s)]);
            faults.required += wanted;
            faults.unplaced += std::max<qint64>(0, wanted - inGrid[s]);
        }
    }

    // Bookings of one slot as (teacher, class) or (teacher, group).
    std::vector<std::pair<QString, int>> bookings;
    for (int t = 0; t < S; ++t) {
        bookings.clear();
        for (int c = 0; c < C; ++c) {
            const int s = subjectAt(grid, at(c, t));
            if (s == 0)
                continue;
            const QString& teacher = pb.teachers[static_cast<size_t>(c)][static_cast<size_t>(s)];
            if (!hasTeacher(teacher))
                continue;
            const int group = groupOf(pb, c, s);
            bookings.emplace_back(teacher, group == -1 ? c : -1 - group);
        }
        std::sort(bookings.begin(), bookings.end());
        bookings.erase(std::unique(bookings.begin(), bookings.end()), bookings.end());
        for (size_t i = 1; i < bookings.size(); ++i)
            if (bookings[i].first == bookings[i - 1].first)
                ++faults.clashes;
    }

    std::vector<char> exempt(grid.size(), 0);
    for (const SolverProblem::Fixed& f : pb.fixedLessons) {
        if (f.classIndex < 0 || f.classIndex >= C || f.day < 0 || f.day >= D || f.period < 0 || f.period >= P
            || f.subject < 1 || f.subject > SolverProblem::kSubjects
            || pb.counts[static_cast<size_t>(f.classIndex)][static_cast<size_t>(f.subject)] <= 0)
            continue;
        const size_t i = at(f.classIndex, f.day * P + f.period);
        if (grid[i] == f.subject)
            exempt[i] = 1;
        else
            ++faults.fixedOutOfPlace;
    }
    for (const SolverPin& pin : kept)
        if (pin.classIndex >= 0 && pin.classIndex < C && pin.day >= 0 && pin.day < D && pin.period >= 0
            && pin.period < P)
            exempt[at(pin.classIndex, pin.day * P + pin.period)] = 1;

    for (int c = 0; c < C; ++c)
        for (int t = 0; t < S; ++t) {
            const int s = subjectAt(grid, at(c, t));
            if (s == 0 || exempt[at(c, t)])
                continue;
            const std::uint16_t bit = static_cast<std::uint16_t>(1u << (t % P));
            if (!(pb.subjectZone(c, s, t / P) & pb.teacherZone(c, s, t / P) & bit))
                ++faults.outsideZones;
        }
    faults.rules = RuleAudit::count(pb, grid);
    return faults;
}

QStringList zonesSharingNothing(const SolverProblem& pb, const std::vector<int>& grid)
{
    QStringList words;
    if (!fits(pb, grid))
        return words;
    const int P = pb.periodCount;
    for (int c = 0; c < pb.classCount(); ++c)
        for (int s = 1; s <= SolverProblem::kSubjects; ++s)
            for (int d = 0; d < pb.dayCount; ++d) {
                if (pb.subjectZone(c, s, d) & pb.teacherZone(c, s, d) & pb.fullDay())
                    continue;
                bool taught = false;
                for (int p = 0; p < P && !taught; ++p)
                    taught = grid[static_cast<size_t>(c) * static_cast<size_t>(pb.slotCount())
                                  + static_cast<size_t>(d * P + p)]
                        == s;
                if (taught)
                    words << QStringLiteral("%1 %2：%3的科目时段与教师时段没有共同节次")
                                 .arg(pb.classNames[c], pb.subjectNames[s - 1], DayName(d));
            }
    return words;
}

} // namespace TimetableAudit
