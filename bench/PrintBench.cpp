// Timing of the printed timetables on a saved timetable: the PDF of every
// class, one class picture, and the workbook of a sheet per class. Prints the
// best and the median of several runs, and the PDF's size.
//
//   PrintBench Vorlat.db [runs]
//
// The database is any school with a saved timetable (`vorlat-cli solve --save`).

#include "excel/PageSheetsExport.h"
#include "print/GrayPng.h"
#include "print/PageOutput.h"
#include "print/PrintDocument.h"
#include "store/Database.h"
#include "store/SchoolStore.h"
#include "view/TimetableData.h"
#include "view/TimetableStore.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

void timeIt(const char* what, int runs, const std::function<void()>& work)
{
    // Wall time and the thread's own processor time: on a busy machine the
    // second tells what the work itself costs.
    const auto cpuNow = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    std::vector<double> ms, cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuNow();
        work();
        cpu.push_back(cpuNow() - cpuStart);
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-40s best %9.1f ms   median %9.1f ms   processor best %9.1f ms\n", what, ms.front(),
                ms[ms.size() / 2], cpu.front());
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: PrintBench Vorlat.db [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    Database::open(QString::fromLocal8Bit(argv[1]), Database::Opening::ReadOnly); // throws when refused
    TimetableData data;
    if (!TimetableStore::LoadSavedTimetable(data).ok() || data.classCount == 0) {
        std::fprintf(stderr, "no saved timetable\n");
        return 1;
    }
    SchoolDetails school = SchoolStore::Load();
    if (school.name.isEmpty())
        school.name = QStringLiteral("城关第一中学");
    school.term = QStringLiteral("2026—2027学年第一学期");
    std::printf("%d classes, %d × %d\n", data.classCount, data.dayCount, data.periodCount);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("classes.pdf"));
    timeIt("PDF of every class (layout + file)", runs, [&] {
        const PrintDocument document = PrintDocument::Classes(data, school);
        if (!PageOutput::WritePdf(document, pdf).ok())
            std::fprintf(stderr, "PDF failed\n");
    });
    std::printf("%-40s %9.2f MB\n", "PDF size", static_cast<double>(QFileInfo(pdf).size()) / 1e6);

    const PrintDocument one = PrintDocument::Classes(data, school, {0});
    QByteArray png;
    timeIt("one class picture (paint + PNG)", runs * 4, [&] {
        png = GrayPng::Encode(one.picture(0));
    });
    std::printf("%-40s %9.1f KB\n", "picture size", static_cast<double>(png.size()) / 1e3);
    const QImage painted = one.picture(0);
    timeIt("  of which painting", runs * 4, [&] { one.picture(0); });
    timeIt("  of which PNG encoding", runs * 4, [&] { GrayPng::Encode(painted); });
    const PrintDocument teachers = PrintDocument::Teachers(data, school);
    const QString folder = dir.filePath(QStringLiteral("teachers"));
    if (qEnvironmentVariableIsSet("PRINT_BENCH_ALL_TEACHERS"))
    timeIt("pictures of every teacher (folder)", 1, [&] {
        if (!PageOutput::WritePictures(teachers, folder).ok())
            std::fprintf(stderr, "pictures failed\n");
    });
    std::printf("%-40s %9d\n", "teacher pictures", teachers.pictureCount());

    const QString book = dir.filePath(QStringLiteral("classes.xlsx"));
    timeIt("workbook of a sheet per class", runs, [&] {
        const PrintDocument document = PrintDocument::Classes(data, school);
        if (!PageSheetsExport::Write(document.pages(), book).ok())
            std::fprintf(stderr, "workbook failed\n");
    });
    std::printf("%-40s %9.2f MB\n", "workbook size", static_cast<double>(QFileInfo(book).size()) / 1e6);
    Database::close();
    return 0;
}
