// Times the scheduling run on generated schools of 6 to 144 classes.
//
//   ScheduleBench [--repeat N] [--seed S]
//
// Each school has a 5-day week of 8 periods, teachers who each teach one
// subject in two to four classes of a grade, subject and teacher zones, fixed
// lessons and combined groups. It is written to a temporary database; the
// table shows the time to load and check the plan and the constraints (steps
// that read the database) and the time to build the timetable on the loaded
// model (placement, smoothing, text grids, counts), the best and the median of
// the repeats, and a checksum of the grid for the seed, which must not change
// when the engine is made faster.

#include "support/ScratchSchool.h"

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "store/Database.h"
#include "store/PlanReader.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int repeat = 20;
    std::uint32_t seed = 1;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--repeat"))
            repeat = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--seed"))
            seed = args[i + 1].toUInt();
    }

    std::printf("%8s %10s %10s %10s %10s %9s %8s %10s\n", "classes", "load ms", "build ms", "best ms", "total ms",
                "unplaced", "clashes", "checksum");
    for (int classCount : {6, 18, 36, 72, 144}) {
        QTemporaryDir dir;
        Database::open(dir.filePath(QStringLiteral("Vorlat.db")));
        ScratchSchool::writeScratchSchool(classCount);

        std::vector<double> loads;
        std::vector<double> builds;
        ScheduleOutcome outcome;
        std::uint32_t sum = 0;
        for (int r = 0; r < repeat; ++r) {
            PlanningModel prepared;
            QElapsedTimer timer;
            timer.start();
            Status refusal = PlanReader::Load(prepared);
            if (refusal.ok())
                refusal = Scheduler(prepared).PrepareRun();
            loads.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            if (!refusal.ok()) {
                std::fprintf(stderr, "%s\n", refusal.message().toUtf8().constData());
                return 1;
            }
            PlanningModel model = prepared;
            timer.restart();
            outcome = Scheduler(model).BuildTimetable(seed);
            builds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            sum = ScratchSchool::checksum(model.lessonGrid);
        }
        Database::close();
        const double load = median(loads);
        const double build = median(builds);
        std::printf("%8d %10.2f %10.2f %10.2f %10.2f %9lld %8d %10x\n", classCount, load, build,
                    *std::min_element(builds.begin(), builds.end()), load + build, static_cast<long long>(outcome.unplacedLessons),
                    outcome.teacherClashes, sum);
    }
    return 0;
}
