// Timing of the zone dialogs' save: 1,000 classes, 24 rows each (24,000
// rows of 科目要排节次). Measures the first save into an empty table (every
// row added), a save over a full table, and the dialog's load of that table.
// Every class and subject is marked, so every pair receives the grid's zone.
// Prints the best and the median of several runs.

#include "dialogs/constraints/ZoneEditor.h"
#include "store/Database.h"
#include "store/PlanStore.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kClasses = 1000;
constexpr int kSubjects = 14;
constexpr int kRuns = 5;

void writeSchool()
{
    PlanStore::saveWeek(5, 8);
    QStringList subjects;
    for (int s = 0; s < 24; ++s)
        subjects << (s < kSubjects ? QStringLiteral("科目%1").arg(s + 1) : QStringLiteral("H"));
    PlanStore::saveSubjects(subjects);
    std::vector<QStringList> classes;
    for (int c = 0; c < kClasses; ++c) {
        QStringList row{QStringLiteral("七年级"), QStringLiteral("班%1").arg(c + 1)};
        for (int s = 0; s < 24; ++s)
            row << (s < kSubjects ? QStringLiteral("教师%1-%2").arg(s).arg(c / 3) : QStringLiteral("H"));
        classes.push_back(row);
    }
    PlanStore::saveAssignments(classes);
}

SubjectZoneLogic markedEditor()
{
    SubjectZoneLogic logic;
    const QString refusal = logic.load();
    if (!refusal.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(refusal));
    logic.subjectHeaderClicked();
    logic.classHeaderClicked();
    logic.grid.clear();
    for (int d = 0; d < logic.days; ++d)
        logic.grid.chosen()[static_cast<size_t>(d * logic.periods + d)] = true;
    return logic;
}

void report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-52s best %8.1f ms   median %8.1f ms\n", what, ms.front(), ms[ms.size() / 2]);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<double> first;
    std::vector<double> again;
    std::vector<double> load;
    for (int run = 0; run < kRuns; ++run) {
        QTemporaryDir dir;
        Database::open(dir.filePath(QStringLiteral("Vorlat.db")));
        writeSchool();
        SubjectZoneLogic editor = markedEditor();

        QElapsedTimer clock;
        clock.start();
        editor.save();
        first.push_back(clock.nsecsElapsed() / 1e6);

        clock.restart();
        SubjectZoneLogic reloaded;
        (void)reloaded.load();
        load.push_back(clock.nsecsElapsed() / 1e6);

        SubjectZoneLogic editorAgain = markedEditor();
        clock.restart();
        editorAgain.save();
        again.push_back(clock.nsecsElapsed() / 1e6);
        Database::close();
    }
    std::printf("zone table of %d classes (%d rows), every pair marked\n", kClasses, kClasses * 24);
    report("save into an empty table (rows added)", first);
    report("save over a full table", again);
    report("dialog load of the full table (read and merge)", load);
    return 0;
}
