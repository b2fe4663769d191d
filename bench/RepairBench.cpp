// Times the solver's repair of a timetable adjusted by hand.
//
//   RepairBench --db PATH [--seed S] [--moves N] [--threads N] [--time-limit S]
//               [--clashing 1] [--fresh 1] [--json PATH] [--no-spread 1]
//
// Solves the school of the database from scratch, then moves N lessons by
// hand (each a swap of two lessons of one class on one day, the way the
// desktop program swaps), pins the moved cells and repairs. Prints whether the
// pins were kept, how many cells changed (of all cells), the seconds of the
// repair, and the clashes and unplaced lessons of the result as the
// scheduling run counts them, and what breaks the school's scheduling rules.
//
// --clashing 1 starts from the timetable of a search stopped at once (the
// kind saved after a time-out, with clashes) instead of a solved one.
// --fresh 1 also solves from scratch with the same pins and prints the same
// figures for it, the yardstick of a repair. --json writes the repaired
// timetable in the form of `vorlat-cli schedule --json` (names only), for the
// bench kit's checker. --no-spread 1 solves and repairs without spread (a
// school that does not ask for it).

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "engine/solver/RepairRace.h"
#include "engine/solver/RuleAudit.h"
#include "engine/solver/SolverProblem.h"
#include "engine/solver/TimetableSolver.h"
#include "store/Database.h"
#include "store/PlanReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <random>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QString db;
    std::uint32_t seed = 1;
    int moves = 3;
    int threads = 1;
    double timeLimit = 0;
    bool clashing = false;
    bool fresh = false;
    bool spread = true;
    QString jsonPath;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--db"))
            db = args[i + 1];
        else if (args[i] == QLatin1String("--seed"))
            seed = args[i + 1].toUInt();
        else if (args[i] == QLatin1String("--moves"))
            moves = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--threads"))
            threads = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--time-limit"))
            timeLimit = args[i + 1].toDouble();
        else if (args[i] == QLatin1String("--clashing"))
            clashing = args[i + 1].toInt() != 0;
        else if (args[i] == QLatin1String("--fresh"))
            fresh = args[i + 1].toInt() != 0;
        else if (args[i] == QLatin1String("--json"))
            jsonPath = args[i + 1];
        else if (args[i] == QLatin1String("--no-spread"))
            spread = args[i + 1].toInt() == 0;
    }
    if (db.isEmpty()) {
        std::fprintf(stderr, "usage: RepairBench --db PATH [--seed S] [--moves N] [--threads N]\n");
        return 2;
    }
    Database::open(db, Database::Opening::ExistingOnly);
    PlanningModel model;
    Status ready = PlanReader::Load(model);
    if (ready.ok())
        ready = Scheduler(model).PrepareRun();
    if (!ready.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(ready.message()));
        return 3;
    }
    const SolverProblem problem = solverProblemFromModel(model);
    SolverRequest request;
    request.seed = seed;
    request.threads = threads;
    request.spread = spread;
    QElapsedTimer timer;
    timer.start();
    SolverRequest stopped = request;
    stopped.conflictBudget = 1; // the timetable a search stopped at once hands back
    const SolverOutcome first = solveTimetable(problem, clashing ? stopped : request);
    const double solveSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (clashing ? first.grid.empty() : first.status != SolverOutcome::Status::Solved) {
        std::printf("from scratch: not solved (%.2f s)\n", solveSeconds);
        return 1;
    }

    // Hand moves: two lessons of one class on one day change places; fixed
    // lessons stay where they are.
    const int S = problem.slotCount();
    const int P = problem.periodCount;
    std::mt19937 random(seed);
    std::vector<int> moved = first.grid;
    request.pins.clear();
    for (int m = 0; m < moves;) {
        const int c = static_cast<int>(random() % static_cast<unsigned>(problem.classCount()));
        const int d = static_cast<int>(random() % static_cast<unsigned>(problem.dayCount));
        const int p1 = static_cast<int>(random() % static_cast<unsigned>(P));
        const int p2 = static_cast<int>(random() % static_cast<unsigned>(P));
        const size_t a = static_cast<size_t>(c * S + d * P + p1);
        const size_t b = static_cast<size_t>(c * S + d * P + p2);
        if (p1 == p2 || moved[a] == moved[b])
            continue;
        // Fixed lessons stay, and a hand move does not put a teacher onto
        // another class's fixed lesson (the desktop program warns of that clash).
        auto teacherOf = [&](int klass, int s) { return s > 0 ? problem.teachers[static_cast<size_t>(klass)][static_cast<size_t>(s)] : QString(); };
        // A lesson shared with other classes (a combined group) is theirs too:
        // it cannot go where one of them has a fixed lesson.
        auto sharedWith = [&](int s, int klass) {
            for (const auto& group : problem.combined)
                if (s > 0 && group.subject == s
                    && std::find(group.members.begin(), group.members.end(), c) != group.members.end()
                    && std::find(group.members.begin(), group.members.end(), klass) != group.members.end())
                    return true;
            return false;
        };
        bool fixed = false;
        for (const auto& f : problem.fixedLessons) {
            if (f.day == d && f.classIndex != c
                && ((f.period == p2 && sharedWith(moved[a], f.classIndex))
                    || (f.period == p1 && sharedWith(moved[b], f.classIndex))))
                fixed = true;
            fixed |= f.classIndex == c && f.day == d && (f.period == p1 || f.period == p2);
            if (f.day == d && f.period == p2 && f.classIndex != c && teacherOf(c, moved[a]) == teacherOf(f.classIndex, f.subject))
                fixed = true;
            if (f.day == d && f.period == p1 && f.classIndex != c && teacherOf(c, moved[b]) == teacherOf(f.classIndex, f.subject))
                fixed = true;
        }
        // A hand move keeps both lessons inside their zones, as the checker of
        // the bench kit (which knows no pins) expects.
        auto inZone = [&](int s, int p) {
            const auto bit = static_cast<std::uint16_t>(1u << p);
            return s <= 0 || (problem.subjectZone(c, s, d) & problem.teacherZone(c, s, d) & bit) != 0;
        };
        if (fixed || !inZone(moved[a], p2) || !inZone(moved[b], p1))
            continue;
        std::swap(moved[a], moved[b]);
        request.pins.push_back({c, d, p1});
        request.pins.push_back({c, d, p2});
        ++m;
    }
    request.start = moved;
    request.timeLimitSeconds = timeLimit;
    timer.restart();
    const SolverOutcome repaired = solveTimetable(problem, request);
    const double repairSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    bool pinsKept = repaired.status == SolverOutcome::Status::Solved;
    for (const SolverPin& pin : request.pins) {
        const size_t i = static_cast<size_t>(pin.classIndex * S + pin.day * P + pin.period);
        pinsKept = pinsKept && repaired.grid[i] == moved[i];
    }
    ScheduleOutcome counts;
    if (!repaired.grid.empty()) {
        model.lessonGrid = repaired.grid;
        Scheduler(model).CountResult(counts);
    }
    const double changedShare = 100.0 * repaired.changedCells / static_cast<double>(moved.size());
    std::printf("classes=%d solve=%.2fs repair=%.2fs solved=%d pinsKept=%d changed=%d/%zu (%.1f%%) "
                "teacherClashes=%d unplaced=%lld ruleFaults=%d\n",
                problem.classCount(), solveSeconds, repairSeconds,
                repaired.status == SolverOutcome::Status::Solved ? 1 : 0, pinsKept ? 1 : 0, repaired.changedCells,
                moved.size(), changedShare, counts.teacherClashes, static_cast<long long>(counts.unplacedLessons),
                repaired.grid.empty() ? -1 : RuleAudit::count(problem, repaired.grid).total());
    for (const QString& line : repaired.notes + repaired.explanation)
        std::printf("  %s\n", qPrintable(line));
    if (clashing) {
        int clashes = 0;
        std::vector<int> saved = model.lessonGrid;
        model.lessonGrid = moved;
        ScheduleOutcome startCounts;
        Scheduler(model).CountResult(startCounts);
        clashes = startCounts.teacherClashes;
        model.lessonGrid = saved;
        std::printf("  start: %d teacher clashes, %lld unplaced\n", clashes,
                    static_cast<long long>(startCounts.unplacedLessons));
    }
    if (fresh) {
        SolverRequest afresh = request;
        afresh.start.clear();
        afresh.pins.clear();
        timer.restart();
        const SolverOutcome scratch = solveTimetable(SolverDetail::pinnedProblem(problem, request), afresh);
        const double freshSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        int changed = 0;
        for (size_t i = 0; i < scratch.grid.size(); ++i)
            changed += scratch.grid[i] != moved[i] ? 1 : 0;
        std::printf("fresh with the pins: %.2fs solved=%d changed=%d (%.1f%%)\n", freshSeconds,
                    scratch.status == SolverOutcome::Status::Solved ? 1 : 0, changed,
                    100.0 * changed / static_cast<double>(moved.size()));
    }
    if (!jsonPath.isEmpty() && !repaired.grid.empty()) {
        QJsonArray classes;
        for (int c = 0; c < problem.classCount(); ++c) {
            QJsonArray subjects;
            for (int t = 0; t < S; ++t) {
                const int s = repaired.grid[static_cast<size_t>(c * S + t)];
                subjects.append(s > 0 ? problem.subjectNames[s - 1] : QStringLiteral("H"));
            }
            classes.append(QJsonObject{{QStringLiteral("name"), problem.classNames[c]},
                                       {QStringLiteral("subjects"), subjects}});
        }
        QFile out(jsonPath);
        if (out.open(QIODevice::WriteOnly))
            out.write(QJsonDocument(QJsonObject{{QStringLiteral("dayCount"), problem.dayCount},
                                                {QStringLiteral("periodCount"), problem.periodCount},
                                                {QStringLiteral("classes"), classes}})
                          .toJson(QJsonDocument::Compact));
    }
    Database::close();
    return pinsKept ? 0 : 1;
}
