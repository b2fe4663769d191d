#include "WorkbookReadBack.h"

#include "base/Naming.h"
#include "excel/ColumnName.h"
#include "excel/ExcelProgress.h"
#include "excel/TimetableExport.h"
#include "view/TimetableModel.h"

#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <csignal>
#include <cstdio>

#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

namespace {

// A timetable with a free slot in every class and teachers shared between classes.
TimetableModel makeTimetable(int classes, int days, int periods)
{
    TimetableModel model;
    QStringList names;
    for (int k = 0; k < classes; ++k)
        names << QStringLiteral("七(%1)班").arg(k + 1);
    model.resetGrids(days, periods, names);
    const QStringList subjects{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语")};
    for (int k = 0; k < classes; ++k)
        for (int d = 0; d < days; ++d)
            for (int p = 0; p < periods; ++p) {
                if ((k + d + p) % 4 == 3)
                    continue; // free slot: "H" in both grids
                const int s = (d + p) % 3;
                model.setLesson(k, d, p, subjects[s], QStringLiteral("教师%1%2").arg(s).arg(k % 2));
            }
    return model;
}

} // namespace

class TimetableExportTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void columnNames_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << QStringLiteral("A");
        QTest::newRow("25") << 25 << QStringLiteral("Z");
        QTest::newRow("26") << 26 << QStringLiteral("AA");
        QTest::newRow("27") << 27 << QStringLiteral("AB");
        QTest::newRow("35") << 35 << QStringLiteral("AJ");
        QTest::newRow("63") << 63 << QStringLiteral("BL");
        QTest::newRow("64") << 64 << QStringLiteral("BM");
        QTest::newRow("701") << 701 << QStringLiteral("ZZ");
        QTest::newRow("702") << 702 << QStringLiteral("AAA");
    }

    void columnNames()
    {
        QFETCH(int, column);
        QFETCH(QString, name);
        QCOMPARE(ColumnName(column), name);
    }

    void masterTable_data()
    {
        QTest::addColumn<int>("classes");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("periods");
        QTest::addColumn<QString>("lastDayHeader"); // merged range of the last day
        QTest::addColumn<QString>("lastColumn");
        QTest::newRow("2 classes, 5 x 7") << 2 << 5 << 7 << QStringLiteral("AD1:AJ1") << QStringLiteral("AJ");
        QTest::newRow("1 class, 7 x 9") << 1 << 7 << 9 << QStringLiteral("BD1:BL1") << QStringLiteral("BL");
        QTest::newRow("3 classes, 2 x 1") << 3 << 2 << 1 << QStringLiteral("C1") << QStringLiteral("C");
    }

    void masterTable()
    {
        QFETCH(int, classes);
        QFETCH(int, days);
        QFETCH(int, periods);
        QFETCH(QString, lastDayHeader);
        QFETCH(QString, lastColumn);
        const TimetableModel model = makeTimetable(classes, days, periods);
        std::atomic<int> progressState{-1};
        const TimetableExport::Result result =
            TimetableExport::ExportMasterTable(model, m_dir.filePath(QStringLiteral("master.xlsx")), progressState);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(progressState.load(), ExcelProgress::Finished);

        const WorkbookReadBack book(result.writtenPath);
        QCOMPARE(book.text(0, 0), QStringLiteral("星期"));
        QCOMPARE(book.text(1, 0), QStringLiteral("节次"));
        const int slots = days * periods;
        for (int d = 0; d < days; ++d) {
            const int first = d * periods + 1;
            QCOMPARE(book.text(0, first), DayName(d));
            const QString expected = periods == 1 ? CellName(first, 1)
                                                  : CellName(first, 1) + QLatin1Char(':') + CellName(first + periods - 1, 1);
            QCOMPARE(book.mergeAt(0, first), expected);
            for (int p = 0; p < periods; ++p)
                QCOMPARE(book.text(1, first + p), QString::number(p + 1));
        }
        QCOMPARE(book.mergeAt(0, (days - 1) * periods + 1), lastDayHeader);
        for (int k = 0; k < classes; ++k) {
            QCOMPARE(book.text(2 + 2 * k, 0), model.className(k));
            QCOMPARE(book.mergeAt(2 + 2 * k, 0), QStringLiteral("A%1:A%2").arg(3 + 2 * k).arg(4 + 2 * k));
            for (int d = 0; d < days; ++d)
                for (int p = 0; p < periods; ++p) {
                    const int column = d * periods + p + 1;
                    const QString subject = model.subject(k, d, p);
                    const QString teacher = model.teacher(k, d, p);
                    QCOMPARE(book.text(2 + 2 * k, column), subject == QLatin1String("H") ? QStringLiteral("<empty>") : subject);
                    QCOMPARE(book.text(3 + 2 * k, column), teacher == QLatin1String("H") ? QStringLiteral("<empty>") : teacher);
                }
        }
        // Nothing outside the table.
        QCOMPARE(book.lastRow(), 1 + 2 * classes);
        QCOMPARE(book.lastColumn(), slots);
        QCOMPARE(ColumnName(book.lastColumn()), lastColumn);
    }

    // The example of two classes in a 5 × 7 week, cell by cell.
    void masterTableAddresses()
    {
        const TimetableModel model = makeTimetable(2, 5, 7);
        std::atomic<int> progressState{0};
        const TimetableExport::Result result =
            TimetableExport::ExportMasterTable(model, m_dir.filePath(QStringLiteral("five.xlsx")), progressState);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        const WorkbookReadBack book(result.writtenPath);
        QCOMPARE(book.mergeAt(0, 1), QStringLiteral("B1:H1"));
        QCOMPARE(book.mergeAt(0, 8), QStringLiteral("I1:O1"));
        QCOMPARE(book.text(0, 8), QStringLiteral("星期二"));
        QCOMPARE(book.mergeAt(0, 29), QStringLiteral("AD1:AJ1"));
        QCOMPARE(book.text(0, 29), QStringLiteral("星期五"));
        QCOMPARE(book.text(1, 35), QStringLiteral("7"));
        QCOMPARE(book.mergeAt(2, 0), QStringLiteral("A3:A4"));
        QCOMPARE(book.mergeAt(4, 0), QStringLiteral("A5:A6"));
        QCOMPARE(book.text(4, 0), QStringLiteral("七(2)班"));
        QCOMPARE(book.text(2, 1), QStringLiteral("语文"));      // B3: class 1, day 1, period 1
        QCOMPARE(book.text(3, 1), QStringLiteral("教师00"));    // B4
        QCOMPARE(book.text(2, 4), QStringLiteral("<empty>"));   // E3: a free slot stays empty, not "H"
        QCOMPARE(book.text(5, 34), model.teacher(1, 4, 5));      // AI6
        QCOMPARE(book.text(5, 34), QStringLiteral("教师01"));
        QCOMPARE(book.text(5, 35), QStringLiteral("<empty>"));   // AJ6, the last slot, is free
    }

    void teacherTable_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("periods");
        QTest::addColumn<QString>("firstDayHeader");
        QTest::addColumn<QString>("lastColumn");
        QTest::newRow("5 x 7") << 5 << 7 << QStringLiteral("C1:I1") << QStringLiteral("AK");
        QTest::newRow("7 x 9") << 7 << 9 << QStringLiteral("C1:K1") << QStringLiteral("BM");
    }

    void teacherTable()
    {
        QFETCH(int, days);
        QFETCH(int, periods);
        QFETCH(QString, firstDayHeader);
        QFETCH(QString, lastColumn);
        TimetableModel model = makeTimetable(2, days, periods);
        model.BuildTeacherTable();
        QVERIFY(model.teachers.teacherCount() > 0);
        std::atomic<int> progressState{0};
        const TimetableExport::Result result =
            TimetableExport::ExportTeacherTable(model, model.teachers, m_dir.filePath(QStringLiteral("teachers.xlsx")), progressState);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(progressState.load(), ExcelProgress::Finished);

        const WorkbookReadBack book(result.writtenPath);
        QCOMPARE(book.text(0, 0), QStringLiteral("星期"));
        QCOMPARE(book.mergeAt(0, 0), QStringLiteral("A1:B1"));
        QCOMPARE(book.text(1, 0), QStringLiteral("教师"));
        QCOMPARE(book.text(1, 1), QStringLiteral("周课时"));
        QCOMPARE(book.text(0, 2), QStringLiteral("星期一"));
        QCOMPARE(book.mergeAt(0, 2), firstDayHeader);
        for (int d = 0; d < days; ++d)
            QCOMPARE(book.text(0, d * periods + 2), DayName(d));
        QCOMPARE(book.text(1, 2), QStringLiteral("1"));
        QCOMPARE(book.text(1, days * periods + 1), QString::number(periods));
        const int slots = days * periods;
        for (int t = 0; t < model.teachers.teacherCount(); ++t) {
            QCOMPARE(book.text(2 + t, 0), model.teachers.teacherName(t));
            QCOMPARE(book.text(2 + t, 1), model.teachers.teacherWeeklyCount(t));
            for (int d = 0; d < days; ++d)
                for (int p = 0; p < periods; ++p) {
                    const QString slot = model.teachers.teacherSlot(t, d, p);
                    QCOMPARE(book.text(2 + t, d * periods + p + 2), slot == QLatin1String("H") ? QStringLiteral("<empty>") : slot);
                }
        }
        QCOMPARE(book.lastRow(), 1 + model.teachers.teacherCount());
        QCOMPARE(ColumnName(slots + 1), lastColumn);
        QCOMPARE(book.lastColumn(), slots + 1);
    }

    void outputNames_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow(".xlsx") << QStringLiteral("课表.xlsx") << QStringLiteral("课表.xlsx");
        QTest::newRow(".XLSX") << QStringLiteral("KB.XLSX") << QStringLiteral("KB.XLSX");
        QTest::newRow(".xls") << QStringLiteral("课表.xls") << QStringLiteral("课表.xlsx");
        QTest::newRow(".XLS") << QStringLiteral("KB.XLS") << QStringLiteral("KB.xlsx");
        QTest::newRow("no extension") << QStringLiteral("课表") << QStringLiteral("课表.xlsx");
        QTest::newRow("other extension") << QStringLiteral("课表.csv") << QStringLiteral("课表.csv.xlsx");
    }

    void outputNames()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QCOMPARE(TimetableExport::OutputPath(chosen), written);
    }

    void xlsNameWritesXlsx()
    {
        const TimetableModel model = makeTimetable(1, 5, 7);
        std::atomic<int> progressState{0};
        const QString chosen = m_dir.filePath(QStringLiteral("old-style.xls"));
        const TimetableExport::Result result = TimetableExport::ExportMasterTable(model, chosen, progressState);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(result.writtenPath, chosen + QLatin1Char('x'));
        QVERIFY(!QFile::exists(chosen));
        QCOMPARE(WorkbookReadBack(result.writtenPath).text(0, 0), QStringLiteral("星期"));
    }

    // Every place a workbook cannot go gets its own reason, before anything is
    // written; libxlsxwriter would only find some of them when it closes the workbook.
    void badPathIsAnError_data()
    {
        QTest::addColumn<bool>("teachers");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("master table, missing folder") << false << QStringLiteral("no-such-folder/课表.xlsx")
                                                      << QStringLiteral("no-such-folder”不存在");
        QTest::newRow("teacher table, missing folder") << true << QStringLiteral("no-such-folder/课表.xlsx")
                                                       << QStringLiteral("no-such-folder”不存在");
        QTest::newRow("master table, a folder in the way") << false << QStringLiteral("in-the-way.xlsx")
                                                           << QStringLiteral("这是一个文件夹，不是文件");
        QTest::newRow("teacher table, a folder in the way") << true << QStringLiteral("in-the-way.xlsx")
                                                            << QStringLiteral("这是一个文件夹，不是文件");
        QTest::newRow("a folder chosen as the file") << false << QStringLiteral("in-the-way.xlsx/")
                                                     << QStringLiteral("这是一个文件夹，不是文件");
        QTest::newRow("a file where the folder should be") << false << QStringLiteral("plain-file/课表.xlsx")
                                                           << QStringLiteral("plain-file”不是文件夹");
        QTest::newRow("a folder without write permission") << false << QStringLiteral("locked-folder/课表.xlsx")
                                                           << QStringLiteral("没有在文件夹");
    }

    void badPathIsAnError()
    {
        QFETCH(bool, teachers);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        TimetableModel model = makeTimetable(2, 5, 7);
        model.BuildTeacherTable();
        std::atomic<int> progressState{0};
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("in-the-way.xlsx")));
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("plain-file")), "x"));
        const QString locked = m_dir.filePath(QStringLiteral("locked-folder"));
        QVERIFY(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (name.startsWith(QLatin1String("locked-folder")) && QFileInfo(locked).isWritable())
            QSKIP("running with rights that ignore folder permissions");
        const QString file = m_dir.filePath(name);
        const TimetableExport::Result result = teachers
            ? TimetableExport::ExportTeacherTable(model, model.teachers, file, progressState)
            : TimetableExport::ExportMasterTable(model, file, progressState);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!result.ok());
        QVERIFY2(result.error().contains(QDir::toNativeSeparators(result.writtenPath)), qPrintable(result.error()));
        QVERIFY2(result.error().contains(reason), qPrintable(result.error()));
        QCOMPARE(progressState.load(), ExcelProgress::Failed);
        QVERIFY(!QFileInfo(result.writtenPath).isFile());
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral(".*.xlsx")}, QDir::Files | QDir::Hidden), QStringList());
    }

    void emptyNameIsRefused()
    {
        TimetableModel model = makeTimetable(1, 5, 7);
        std::atomic<int> progressState{0};
        const TimetableExport::Result result = TimetableExport::ExportMasterTable(model, QString(), progressState);
        QVERIFY(result.status.is(Failure::Kind::Refused));
        QCOMPARE(progressState.load(), ExcelProgress::Failed);
        QVERIFY(!QFile::exists(QStringLiteral(".xlsx")));
    }

    // An existing workbook is replaced whole, keeps its permissions, and no
    // part-written file is left beside it.
    void replacesAnExistingFileWhole()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("课表.xlsx"));
        QVERIFY(writeFile(file, "an older workbook"));
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        TimetableModel model = makeTimetable(2, 5, 7);
        std::atomic<int> progressState{0};
        const TimetableExport::Result result = TimetableExport::ExportMasterTable(model, file, progressState);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(WorkbookReadBack(file).text(0, 0), QStringLiteral("星期"));
        QCOMPARE(QFileInfo(file).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::ReadGroup);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("课表.xlsx")});
    }

    // A name as long as a file name may be is written under that name; a
    // longer one is refused as too long.
    void longNames_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("248 bytes") << 248 << QString();
        QTest::newRow("255 bytes") << 255 << QString();
        QTest::newRow("256 bytes") << 256 << QStringLiteral("文件名超过 255 字节的上限");
    }
    void longNames()
    {
        QFETCH(int, bytes);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        // 课 takes three bytes: the name is mostly Chinese, padded with "x".
        const int chinese = (bytes - 5) / 3;
        const QString name = QString(chinese, QChar(0x8BFE)) + QString(bytes - 5 - 3 * chinese, QLatin1Char('x'))
            + QStringLiteral(".xlsx");
        QCOMPARE(name.toUtf8().size(), bytes);
        TimetableModel model = makeTimetable(1, 5, 7);
        std::atomic<int> progressState{0};
        const TimetableExport::Result result =
            TimetableExport::ExportMasterTable(model, dir.filePath(name), progressState);
        if (refusal.isEmpty()) {
            QVERIFY2(result.ok(), qPrintable(result.error()));
            QCOMPARE(WorkbookReadBack(dir.filePath(name)).text(0, 0), QStringLiteral("星期"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        } else {
            QVERIFY2(result.error().contains(refusal), qPrintable(result.error()));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        }
    }

    // An export that was killed leaves its part-written file; the next export
    // to that name takes it away, but not a part another export still writes,
    // nor a file of the user's that only looks alike.
    void staleTemporariesAreRemoved()
    {
        QTemporaryDir dir;
        const QStringList stale{QStringLiteral(".课表-a1B2c3.xlsx"), QStringLiteral(".课表-000000.xlsx")};
        static const char kZipStart[] = "PK\x03\x04 part of a workbook";
        QVERIFY(writeFile(dir.filePath(stale[0]), QByteArray::fromRawData(kZipStart, sizeof kZipStart - 1)));
        QVERIFY(writeFile(dir.filePath(stale[1]), QByteArray()));
        const QStringList kept{QStringLiteral(".课表-Live00.xlsx"), QStringLiteral(".课表-notes.xlsx"),
                               QStringLiteral(".课表-text00.xlsx"), QStringLiteral(".其他-a1B2c3.xlsx")};
        for (const QString& name : kept)
            QVERIFY(writeFile(dir.filePath(name), name == kept[2] ? QByteArray("my own notes") : QByteArray("PK\x03\x04")));
        QFile live(dir.filePath(kept[0]));
        QVERIFY(live.open(QIODevice::ReadWrite));
        QCOMPARE(flock(live.handle(), LOCK_EX | LOCK_NB), 0);

        TimetableModel model = makeTimetable(1, 5, 7);
        std::atomic<int> progressState{0};
        const TimetableExport::Result result =
            TimetableExport::ExportMasterTable(model, dir.filePath(QStringLiteral("课表.xlsx")), progressState);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QStringList expected = kept;
        expected << QStringLiteral("课表.xlsx");
        expected.sort();
        QStringList found = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        found.sort();
        QCOMPARE(found, expected);
    }

    // The library takes C strings: a NUL must not cut a name short.
    void namesWithNulAreWhole()
    {
        const QString name = QStringLiteral("七(1)") + QChar(0) + QStringLiteral("班");
        TimetableModel model;
        model.resetGrids(1, 1, {name});
        std::atomic<int> progressState{0};
        const QString file = m_dir.filePath(QStringLiteral("nul.xlsx"));
        const TimetableExport::Result result = TimetableExport::ExportMasterTable(model, file, progressState);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(WorkbookReadBack(file).text(2, 0), QStringLiteral("七(1)\uFFFD班"));
    }

    // A write that fails part way (here: beyond the size a file may have) is
    // told in our words first, the library's after, and the library prints
    // nothing itself.
    void failedWriteSpeaksOurWords()
    {
        TimetableModel model = makeTimetable(60, 7, 9);
        const QString file = m_dir.filePath(QStringLiteral("big.xlsx"));
        QTemporaryFile errors;
        QVERIFY(errors.open());
        std::fflush(stderr);
        const int savedError = dup(STDERR_FILENO);
        dup2(errors.handle(), STDERR_FILENO);
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit small{4096, before.rlim_max};
        const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        std::atomic<int> progressState{0};
        const TimetableExport::Result result = TimetableExport::ExportMasterTable(model, file, progressState);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, savedSignal);
        std::fflush(stderr);
        dup2(savedError, STDERR_FILENO);
        close(savedError);

        QVERIFY(!result.ok());
        const QString start = QStringLiteral("无法写入“%1”：").arg(QDir::toNativeSeparators(file));
        QVERIFY2(result.error().startsWith(start + QStringLiteral("文件超过了系统允许的大小")), qPrintable(result.error()));
        QVERIFY2(result.error().contains(QStringLiteral("（libxlsxwriter：")), qPrintable(result.error()));
        QVERIFY2(!result.error().contains(QStringLiteral(".。")), qPrintable(result.error()));
        QCOMPARE(errors.readAll(), QByteArray());
        QVERIFY(!QFile::exists(file));
    }

    void damagedGridIsRefused()
    {
        TimetableModel model = makeTimetable(2, 5, 7);
        model.classCount = 3; // one class more than the grids hold
        std::atomic<int> progressState{0};
        const TimetableExport::Result result =
            TimetableExport::ExportMasterTable(model, m_dir.filePath(QStringLiteral("short.xlsx")), progressState);
        QVERIFY(!result.ok());
        QCOMPARE(progressState.load(), ExcelProgress::Failed);
    }
};

QTEST_GUILESS_MAIN(TimetableExportTest)
#include "TimetableExportTest.moc"
