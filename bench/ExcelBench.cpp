// Timing of the spreadsheet exchange: reading a teacher-assignment sheet of
// 1,000 classes (.xlsx and .csv) and writing the master and teacher tables of
// 200 classes. Prints the best and the median of several runs.

#include "excel/AssignmentImport.h"
#include "excel/TimetableExport.h"
#include "view/TimetableModel.h"

#include <xlsxwriter.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kSubjects = 14;

QString teacherName(int classIndex, int subject)
{
    return QStringLiteral("教师%1-%2").arg(subject).arg(classIndex / 3);
}

QString gradeOf(int classIndex)
{
    static const QStringList grades{QStringLiteral("七年级"), QStringLiteral("八年级"), QStringLiteral("九年级")};
    return grades[classIndex % 3];
}

bool writeSheetXlsx(const QString& path, int classes)
{
    lxw_workbook* workbook = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    worksheet_write_string(sheet, 0, 0, "年级", nullptr);
    worksheet_write_string(sheet, 0, 1, "班级", nullptr);
    for (int s = 0; s < kSubjects; ++s)
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(2 + s), QStringLiteral("科目%1").arg(s + 1).toUtf8().constData(), nullptr);
    for (int k = 0; k < classes; ++k) {
        const lxw_row_t row = static_cast<lxw_row_t>(k + 1);
        worksheet_write_string(sheet, row, 0, gradeOf(k).toUtf8().constData(), nullptr);
        worksheet_write_number(sheet, row, 1, 2300 + k, nullptr);
        for (int s = 0; s < kSubjects; ++s)
            worksheet_write_string(sheet, row, static_cast<lxw_col_t>(2 + s), teacherName(k, s).toUtf8().constData(), nullptr);
    }
    return workbook_close(workbook) == LXW_NO_ERROR;
}

bool writeSheetCsv(const QString& path, int classes)
{
    QByteArray text = "年级,班级";
    for (int s = 0; s < kSubjects; ++s)
        text += QStringLiteral(",科目%1").arg(s + 1).toUtf8();
    text += "\r\n";
    for (int k = 0; k < classes; ++k) {
        text += gradeOf(k).toUtf8() + ',' + QByteArray::number(2300 + k);
        for (int s = 0; s < kSubjects; ++s)
            text += ',' + teacherName(k, s).toUtf8();
        text += "\r\n";
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

TimetableModel makeTimetable(int classes, int days, int periods)
{
    TimetableModel model;
    QStringList names;
    for (int k = 0; k < classes; ++k)
        names << QStringLiteral("%1班").arg(2300 + k);
    model.resetGrids(days, periods, names);
    for (int k = 0; k < classes; ++k)
        for (int d = 0; d < days; ++d)
            for (int p = 0; p < periods; ++p)
                if ((k + d + p) % 9 != 0)
                    model.setLesson(k, d, p, QStringLiteral("科目%1").arg((d + p) % kSubjects + 1),
                                    teacherName(k, (d + p) % kSubjects));
    return model;
}

void measure(const char* label, int runs, const std::function<bool()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!work()) {
            std::printf("%-48s FAILED\n", label);
            return;
        }
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-48s best %8.1f ms   median %8.1f ms   (%d runs)\n", label, times.front(), times[times.size() / 2], runs);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("VORLAT_SHEET_READER"))
        qputenv("VORLAT_SHEET_READER", VORLAT_SHEET_READER_PATH);
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const int runs = 7;

    const QString xlsx = dir.filePath(QStringLiteral("assignment-1000.xlsx"));
    const QString csv = dir.filePath(QStringLiteral("assignment-1000.csv"));
    if (!writeSheetXlsx(xlsx, 1000) || !writeSheetCsv(csv, 1000)) {
        std::printf("could not write the sheets\n");
        return 1;
    }
    std::printf("sheet sizes: .xlsx %lld bytes, .csv %lld bytes\n", static_cast<long long>(QFile(xlsx).size()),
                static_cast<long long>(QFile(csv).size()));

    auto importFile = [](const QString& path) {
        return [path] {
            AssignmentImport import;
            std::atomic<int> progressState{0};
            return import.Import(path, progressState).ok() && import.classCount() == 1000;
        };
    };
    measure("import 1,000 classes from .xlsx (read + parse)", runs, importFile(xlsx));
    measure("import 1,000 classes from .csv (read + parse)", runs, importFile(csv));

    struct Shape
    {
        const char* label;
        int days;
        int periods;
    };
    for (const Shape& shape : {Shape{"master table, 200 classes, 5 x 8", 5, 8}, Shape{"master table, 200 classes, 7 x 9", 7, 9}}) {
        const TimetableModel model = makeTimetable(200, shape.days, shape.periods);
        measure(shape.label, runs, [&] {
            std::atomic<int> progressState{0};
            return TimetableExport::ExportMasterTable(model, dir.filePath(QStringLiteral("master.xlsx")), progressState).ok();
        });
    }
    TimetableModel model = makeTimetable(200, 5, 8);
    model.BuildTeacherTable();
    std::printf("teacher table: %d teachers\n", model.teachers.teacherCount());
    measure("teacher table, 200 classes, 5 x 8", runs, [&] {
        std::atomic<int> progressState{0};
        return TimetableExport::ExportTeacherTable(model, model.teachers, dir.filePath(QStringLiteral("teachers.xlsx")), progressState).ok();
    });
    return 0;
}
