// Times the desktop program's painting, offscreen:
//
//   DesktopBench [--repeat N]
//
//   start-up     opening Vorlat.db of the demo school, building the main window
//                (the view loads the saved timetable) and the first painted home screen
//   home paint   one full paint of the home screen at 1920 × 1080
//   hover        a pointer move from one tile onto another and the paint it asks for
//   tables       one full paint of the master table (plain, in adjustment with a
//                selection) and of the teacher table, 72 classes, on a 5 × 8 and
//                a 7 × 9 week, into a 1920 × 1080 view
//
// Prints the median and the best of the repeats in milliseconds.

#include "app/ApplicationFont.h"
#include "app/CMainFrame.h"
#include "store/DemoSchool.h"
#include "store/Database.h"
#include "view/widgets/CVorlatView.h"

#include <utility>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Figures
{
    double median = 0;
    double best = 0;
    double cpuMedian = 0; // the thread's processor time: what the paint costs on a busy machine
};

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Figures timeIt(int repeat, const std::function<void()>& work)
{
    std::vector<double> ms;
    std::vector<double> cpu;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        work();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    return {ms[ms.size() / 2], ms.front(), cpu[cpu.size() / 2]};
}

void print(const char* what, const Figures& f)
{
    std::printf("%-36s median %8.3f ms   best %8.3f ms   cpu %8.3f ms\n", what, f.median, f.best, f.cpuMedian);
}

// Flags the first paint of a widget.
class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void move(QWidget* target, QPoint pos)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(pos), target->mapToGlobal(QPointF(pos)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    applyApplicationFont(app);
    int repeat = 50;
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--repeat"));
    if (at > 0 && at + 1 < args.size())
        repeat = std::max(1, args[at + 1].toInt());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
    Database::open(path);
    DemoSchool::write();
    Database::close();

    // Start-up to the first painted home screen.
    QElapsedTimer startup;
    startup.start();
    Database::open(path, Database::Opening::ExistingOnly);
    CMainFrame frame;
    frame.resize(1920, 1080);
    PaintWatch watch;
    frame.view()->viewport()->installEventFilter(&watch);
    frame.show();
    while (!watch.painted)
        QCoreApplication::processEvents();
    std::printf("%-34s %8.3f ms\n", "start-up to first home paint", startup.nsecsElapsed() / 1e6);

    // The view alone at 1920 × 1080; let it paint the other pictures first.
    CVorlatView* view = frame.view();
    view->setParent(nullptr);
    view->resize(1920, 1080);
    view->show();
    QCoreApplication::processEvents();
    QImage target(view->viewport()->size(), QImage::Format_RGB32);
    std::printf("(view painted at %d × %d)\n", target.width(), target.height());
    view->viewport()->render(&target);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    print("home paint 1920×1080", timeIt(repeat, [&] { view->viewport()->render(&target); }));

    const QSize outer = view->size();
    const QPoint a = HomeScreen::scaled(HomeScreen::Area::TileWorkPlan, outer).center();
    const QPoint b = HomeScreen::scaled(HomeScreen::Area::TileAssignment, outer).center();
    bool onA = false;
    print("hover onto another tile + paint", timeIt(repeat, [&] {
              onA = !onA;
              move(view->viewport(), onA ? a : b);
              view->viewport()->render(&target);
          }));

    // A school of 72 classes: ten subjects, each teacher teaching one subject
    // in three classes of a grade, a few teachers booked twice.
    for (const auto& [days, periods] : {std::pair{5, 8}, std::pair{7, 9}}) {
        TimetableModel& m = view->model();
        QStringList classes;
        for (int c = 0; c < 72; ++c)
            classes << QStringLiteral("%1(%2)班").arg(c / 12 + 1).arg(c % 12 + 1);
        for (int i = 0; i < Plan::kSubjectSlots; ++i)
            m.subjectNames[i] = i < 10 ? QStringLiteral("科目%1").arg(i + 1) : QStringLiteral("H");
        m.resetGrids(days, periods, classes);
        for (int c = 0; c < 72; ++c)
            for (int d = 0; d < days; ++d)
                for (int p = 0; p < periods; ++p) {
                    const int subject = (c + d * periods + p) % 11;
                    if (subject == 10)
                        continue; // a free slot
                    m.setLesson(c, d, p, m.subjectNames[subject], QStringLiteral("教师%1-%2").arg(c / 3).arg(subject));
                }
        m.fixedLessons = {0, 0, 0, 1, 5, 1, 1, 2};
        m.combinedClasses = {3, 0, 1, 2, -1, -1};
        const QString week = QStringLiteral("%1×%2").arg(days).arg(periods);
        view->SetDisplayMode(1, 0, 0);
        print(qPrintable(QStringLiteral("master table %1").arg(week)),
              timeIt(repeat, [&] { view->viewport()->render(&target); }));
        view->SetDisplayMode(1, 0, 1);
        m.selection.select(10, 1, 2);
        print(qPrintable(QStringLiteral("adjustment, selection %1").arg(week)),
              timeIt(repeat, [&] { view->viewport()->render(&target); }));
        view->SetDisplayMode(1, 1, 0);
        print(qPrintable(QStringLiteral("teacher table %1 (%2 teachers)").arg(week).arg(m.teachers.teacherCount())),
              timeIt(repeat, [&] { view->viewport()->render(&target); }));
        view->SetDisplayMode(0, 0, 0);
    }
    delete view;
    Database::close();
    return 0;
}
