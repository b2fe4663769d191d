#include "WorkbookReadBack.h"
#include "view/TimetableFixture.h"

#include "excel/PageSheetsExport.h"
#include "excel/TimetableExport.h"
#include "excel/ZipPackage.h"
#include "view/PrintLayout.h"
#include "view/TeacherTable.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Classes of 5 × 8 with every slot taught, teachers shared by pairs of classes.
TimetableModel school(int classes)
{
    QStringList names;
    for (int c = 0; c < classes; ++c)
        names << QStringLiteral("初%1(%2)班").arg(c / 6 + 1).arg(c % 6 + 1);
    TimetableModel model = emptyModel(5, 8, names);
    const QStringList subjects{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"),
                               QStringLiteral("体育"), QStringLiteral("音乐")};
    for (int c = 0; c < classes; ++c)
        for (int d = 0; d < 5; ++d)
            for (int p = 0; p < 8; ++p) {
                const int s = (c + d * 3 + p) % 5;
                model.setLesson(c, d, p, subjects[s], QStringLiteral("师%1-%2").arg(s).arg(c / 2));
            }
    return model;
}

// One part of a written workbook (the sheet XML, the workbook XML).
QByteArray entry(const QString& path, const QString& name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = file.readAll();
    QByteArray out;
    ZipPackage(content).read(name, out);
    return out;
}

// The pages down a sheet is set to print on (1 when the attribute is left out).
int pagesDown(const QByteArray& sheetXml)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("fitToHeight=\"(\\d+)\"")).match(QString::fromUtf8(sheetXml));
    return m.hasMatch() ? m.captured(1).toInt() : 1;
}

} // namespace

class PageSheetsExportTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A sheet per class in the page's layout: its name, its title, the day
    // headers, each lesson as the subject over its teacher where the saved
    // timetable has it, and the whole sheet on one A4 page.
    void sheetPerClassMatchesTimetable()
    {
        TimetableModel model = school(3);
        model.setLesson(1, 2, 3, QStringLiteral("H"), QStringLiteral("H"));
        SchoolDetails details;
        details.name = QStringLiteral("城关中学");
        details.morningPeriods = 4;
        std::vector<PrintPage> pages;
        for (int c = 0; c < model.classCount; ++c)
            pages.push_back(PrintLayout::ClassPage(model, c, details));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("班级课表.xlsx"));
        const OutputResult result = PageSheetsExport::Write(pages, path);
        QVERIFY2(result.ok(), qPrintable(result.status.message()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("班级课表.xlsx")});

        const WorkbookReadBack book(path);
        QCOMPARE(book.sheetCount(), 3);
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(book.sheetName(c), model.className(c));
            QCOMPARE(book.text(c, 0, 0), QStringLiteral("城关中学 %1 课表").arg(model.className(c)));
            QCOMPARE(book.text(c, 2, 2), QStringLiteral("星期一"));
            QCOMPARE(book.text(c, 2, 6), QStringLiteral("星期五"));
            for (int p = 0; p < 8; ++p) {
                const int row = 3 + p + (p >= 4 ? 1 : 0); // the 午休 band after the fourth period
                QCOMPARE(book.text(c, row, 1), QStringLiteral("第%1节").arg(p + 1));
                for (int d = 0; d < 5; ++d) {
                    const QString expected = model.subject(c, d, p) == QLatin1String("H")
                        ? QStringLiteral("<empty>")
                        : model.subject(c, d, p) + QLatin1Char('\n') + model.teacher(c, d, p);
                    QCOMPARE(book.text(c, row, 2 + d), expected);
                }
            }
            QCOMPARE(book.text(c, 7, 0), QStringLiteral("午休"));
            const QByteArray sheet = entry(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(c + 1));
            QVERIFY(sheet.contains("<pageSetUpPr fitToPage=\"1\"/>"));
            QVERIFY(sheet.contains("paperSize=\"9\""));
            QVERIFY(!sheet.contains("fitToWidth") && !sheet.contains("fitToHeight")); // one page by one
        }
    }

    // Sheet names are valid and unique, whatever the class names.
    void sheetNames_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("sheets");
        QTest::newRow("refused characters") << QStringList{"a/b", "[1]:*?", "'x'"} << QStringList{"a_b", "_1____", "x"};
        QTest::newRow("alike") << QStringList{"A", "a", "A"} << QStringList{"A", "a(2)", "A(3)"};
        QTest::newRow("empty and reserved") << QStringList{"", "History"} << QStringList{"Sheet", "History_"};
        QTest::newRow("long") << QStringList{QString(40, QChar(u'班')), QString(40, QChar(u'班'))}
                              << QStringList{QString(31, QChar(u'班')), QString(28, QChar(u'班')) + "(2)"};
    }

    void sheetNames()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, sheets);
        std::vector<QString> used;
        QStringList got;
        for (const QString& name : names)
            got << PageSheetsExport::SheetName(name, used);
        QCOMPARE(got, sheets);
    }

    // The overview prints scaled to the width of A4 across, no longer a day
    // a page: a school of 18 classes on at most 2 pages, one of 72 on at most 6.
    void overviewPrintsToPageWidth_data()
    {
        QTest::addColumn<int>("classes");
        QTest::addColumn<int>("mostPages");
        QTest::newRow("18 classes") << 18 << 2;
        QTest::newRow("72 classes") << 72 << 6;
    }

    void overviewPrintsToPageWidth()
    {
        QFETCH(int, classes);
        QFETCH(int, mostPages);
        const TimetableModel model = school(classes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("总课表.xlsx"));
        std::atomic<int> state{0};
        const TimetableExport::Result master = TimetableExport::ExportMasterTable(model, path, state);
        QVERIFY2(master.ok(), qPrintable(master.error()));
        const QByteArray sheet = entry(path, QStringLiteral("xl/worksheets/sheet1.xml"));
        QVERIFY(sheet.contains("<pageSetUpPr fitToPage=\"1\"/>"));
        QVERIFY(sheet.contains("orientation=\"landscape\""));
        QVERIFY(!sheet.contains("<colBreaks"));
        QVERIFY(!sheet.contains("fitToWidth")); // one page across
        QVERIFY2(pagesDown(sheet) <= mostPages, sheet.mid(sheet.indexOf("<pageSetup"), 120).constData());

        TeacherTable teachers;
        teachers.BuildTeacherTable(model);
        const QString teacherPath = dir.filePath(QStringLiteral("教师总课表.xlsx"));
        QVERIFY(TimetableExport::ExportTeacherTable(model, teachers, teacherPath, state).ok());
        const QByteArray teacherSheet = entry(teacherPath, QStringLiteral("xl/worksheets/sheet1.xml"));
        QVERIFY(teacherSheet.contains("<pageSetUpPr fitToPage=\"1\"/>"));
        QVERIFY(!teacherSheet.contains("<colBreaks"));
    }

    // A cancel between sheets leaves no workbook and no part file.
    void cancelLeavesNothing()
    {
        const TimetableModel model = school(6);
        std::vector<PrintPage> pages;
        for (int c = 0; c < model.classCount; ++c)
            pages.push_back(PrintLayout::ClassPage(model, c, SchoolDetails{}));
        QTemporaryDir dir;
        std::atomic<bool> stop{false};
        OutputProgress progress;
        progress.cancel = &stop;
        progress.step = [&](int done, int) { stop = done >= 2; };
        const OutputResult result = PageSheetsExport::Write(pages, dir.filePath(QStringLiteral("a.xlsx")), progress);
        QVERIFY(result.cancelled);
        QVERIFY(!result.ok());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(PageSheetsExportTest)
#include "PageSheetsExportTest.moc"
