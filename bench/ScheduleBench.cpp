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

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "store/PlanReader.h"
#include "store/Database.h"
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

const QStringList kSubjects{
    QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"), QStringLiteral("物理"),
    QStringLiteral("化学"), QStringLiteral("生物"), QStringLiteral("历史"), QStringLiteral("地理"),
    QStringLiteral("道德与法治"), QStringLiteral("体育"), QStringLiteral("音乐"), QStringLiteral("美术"),
    QStringLiteral("信息技术"), QStringLiteral("心理健康")};

// Lessons per subject of kSubjects, 40 in all, for three kinds of grade.
const std::vector<std::vector<int>> kPatterns{
    {6, 6, 6, 0, 0, 3, 3, 3, 3, 3, 2, 2, 2, 1},
    {6, 6, 5, 3, 0, 2, 3, 2, 3, 3, 2, 2, 2, 1},
    {6, 6, 6, 4, 4, 0, 3, 0, 3, 3, 1, 1, 2, 1},
};

constexpr int kDays = 5;
constexpr int kPeriods = 8;
constexpr int kPe = 9;
constexpr int kMaths = 1;
constexpr int kCounselling = 13;

// Classes per grade: twelve grades at most, so large schools have large grades.
int classesPerGrade(int classCount)
{
    return std::max(6, (classCount + 11) / 12);
}

// How many classes of a grade share one teacher of a subject.
int sharing(int subject)
{
    return subject < 3 ? 2 : subject < 9 ? 3 : 4;
}

void writeSchool(int classCount)
{
    Transaction tx(QStringLiteral("写入测试学校"));
    PlanStore::saveWeek(kDays, kPeriods);
    QStringList subjects = kSubjects;
    while (subjects.size() < Plan::kSubjectSlots)
        subjects << TextRules::emptyMarker();
    PlanStore::saveSubjects(subjects);

    const int perGrade = classesPerGrade(classCount);
    const int grades = (classCount + perGrade - 1) / perGrade;
    for (int g = 0; g < grades; ++g) {
        const std::vector<int>& counts = kPatterns[static_cast<size_t>(g) % kPatterns.size()];
        PlanStore::saveWeeklyPlanRow(g, kDays * kPeriods, counts);
    }

    std::vector<QStringList> assignments;
    QStringList names;
    for (int c = 0; c < classCount; ++c) {
        const int g = c / perGrade;
        const int k = c % perGrade;
        const std::vector<int>& counts = kPatterns[static_cast<size_t>(g) % kPatterns.size()];
        const QString name = QStringLiteral("G%1-%2班").arg(g + 1).arg(k + 1);
        names << name;
        QStringList row{Schema::gradeRowNames()[g], name};
        for (int s = 0; s < Plan::kSubjectSlots; ++s) {
            if (s >= kSubjects.size() || counts[static_cast<size_t>(s)] == 0 || (s == kCounselling && g % 2 == 1))
                row << TextRules::emptyMarker();
            else
                row << QStringLiteral("%1老师%2-%3").arg(kSubjects[s]).arg(g + 1).arg(k / sharing(s) + 1);
        }
        assignments.push_back(row);
    }
    PlanStore::saveAssignments(assignments);

    // A fixed first lesson on Monday for the first class of each grade, one on
    // Wednesday afternoon for the third.
    std::vector<QStringList> fixed;
    std::vector<QStringList> combined;
    for (int g = 0; g < grades; ++g) {
        const int first = g * perGrade;
        fixed.push_back({names[first], QStringLiteral("1"), QStringLiteral("1"), kSubjects[0]});
        if (first + 2 < classCount)
            fixed.push_back({names[first + 2], QStringLiteral("3"), QStringLiteral("7"), kSubjects[kMaths]});
        // Physical education of the last two or three classes of a grade together.
        const int last = std::min(classCount, first + perGrade) - 1;
        if (last - first >= 3) {
            QStringList row{kSubjects[kPe], names[last - 1], names[last]};
            row << (g % 2 == 0 ? names[last - 2] : TextRules::emptyMarker());
            row << TextRules::emptyMarker() << TextRules::emptyMarker();
            combined.push_back(row);
        }
    }
    PlanStore::saveFixedLessons(fixed);
    PlanStore::saveCombinedClasses(combined);

    std::vector<QStringList> subjectZones;
    std::vector<QStringList> teacherZones;
    for (int c = 0; c < classCount; ++c)
        for (int s = 0; s < Plan::kSubjectSlots; ++s) {
            QStringList subjectRow{names[c]};
            QStringList teacherRow{names[c]};
            for (int d = 0; d < Plan::kMaxDays; ++d) {
                subjectRow << (s == kPe && d < kDays ? QStringLiteral("234567") : QStringLiteral("9"));
                teacherRow << (s == kMaths && c % 4 == 0 && d == 4 ? QStringLiteral("0123") : QStringLiteral("9"));
            }
            subjectZones.push_back(subjectRow);
            teacherZones.push_back(teacherRow);
        }
    PlanStore::saveSubjectZones(subjectZones);
    PlanStore::saveTeacherZones(teacherZones);
    tx.commit();
}

std::uint32_t checksum(const std::vector<int>& grid)
{
    std::uint32_t hash = 2166136261u;
    for (int value : grid) {
        hash ^= static_cast<std::uint32_t>(value);
        hash *= 16777619u;
    }
    return hash;
}

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
        writeSchool(classCount);

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
            sum = checksum(model.lessonGrid);
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
