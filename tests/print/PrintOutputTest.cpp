#include "TestSupport.h"
#include "view/TimetableFixture.h"

#include "print/PageOutput.h"
#include "print/PrintDocument.h"
#include "store/DemoSchool.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The demo school scheduled with a fixed seed.
TimetableModel demoTimetable()
{
    ScratchDatabase database;
    DemoSchool::write();
    PlanningModel plan;
    const ScheduleOutcome outcome = scheduleOpenDatabase(plan, 7u);
    TimetableModel model;
    if (!outcome.refused())
        model.PublishToView(plan);
    return model;
}

// Every file under `folder`, as paths relative to it.
QStringList filesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Stops the work once `after` steps are done.
OutputProgress cancelAfter(std::atomic<bool>& flag, int after)
{
    OutputProgress progress;
    progress.cancel = &flag;
    progress.step = [&flag, after](int done, int) {
        if (done >= after)
            flag = true;
    };
    return progress;
}

} // namespace

class PrintOutputTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One page per class; the text of each page (extracted by pdftotext, so
    // the font is embedded and the text real) holds its class's title and
    // every subject of its week, written as the characters they are.
    void pdfHasAPagePerClassWithItsText()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) is needed: scripts/install-deps.sh");
        const TimetableModel model = demoTimetable();
        QCOMPARE(model.classCount, 18);
        SchoolDetails school;
        school.name = QStringLiteral("城关中学");
        const PrintDocument document = PrintDocument::Classes(model, school);
        QCOMPARE(document.pageCount(), 18);

        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("班级课表.pdf"));
        const OutputResult result = PageOutput::WritePdf(document, pdf);
        QVERIFY2(result.ok(), qPrintable(result.status.message()));
        QCOMPARE(result.written, QStringList{pdf});
        QCOMPARE(filesUnder(dir.path()), QStringList{QStringLiteral("班级课表.pdf")});

        QProcess process;
        process.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(60000));
        const QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 18);
        for (int c = 0; c < model.classCount; ++c) {
            const QString& text = pages[c];
            QVERIFY2(text.contains(QStringLiteral("城关中学 %1 课表").arg(model.className(c))), qPrintable(text.left(80)));
            QVERIFY(text.contains(QStringLiteral("星期一")));
            for (int d = 0; d < model.dayCount; ++d)
                for (int p = 0; p < model.periodCount; ++p) {
                    const QString& subject = model.subject(c, d, p);
                    if (subject != QLatin1String("H"))
                        QVERIFY2(text.contains(subject), qPrintable(model.className(c) + QLatin1Char(' ') + subject));
                }
        }
    }

    // A class picture is a phone-sized page with something drawn on it; the
    // overview is one picture of all the classes.
    void pictureSizeAndInk()
    {
        const TimetableModel model = demoTimetable();
        const PrintDocument document = PrintDocument::Classes(model, SchoolDetails{}, {0});
        QCOMPARE(document.pictureCount(), 1);
        const QImage image = document.picture(0);
        QCOMPARE(image.size(), QSize(1080, 1527));
        qint64 dark = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                dark += qGray(image.pixel(x, y)) < 128;
        const qint64 samples = qint64(image.width() / 2) * (image.height() / 2);
        QVERIFY2(dark > samples / 200, qPrintable(QString::number(dark)));  // text and lines
        QVERIFY2(dark < samples / 4, qPrintable(QString::number(dark)));    // still mostly paper

        const PrintDocument overview = PrintDocument::MasterOverview(model, SchoolDetails{});
        QCOMPARE(overview.pictureCount(), 1);
        QCOMPARE(overview.pictureName(0), QStringLiteral("总课表"));
        QVERIFY(overview.pictureSize(0).height() > overview.pictureSize(0).width() / 4);
    }

    // Names that are not file names become safe ones inside the folder; none
    // escapes it, and alike names do not overwrite each other.
    void unsafeNamesStayInside()
    {
        const QStringList names{QStringLiteral("../x"), QStringLiteral("a/b"), QStringLiteral(":"), QStringLiteral(".."),
                                QStringLiteral("a:b"), QStringLiteral(" ")};
        TimetableModel model = emptyModel(5, 2, names);
        for (int c = 0; c < names.size(); ++c)
            model.setLesson(c, 0, 0, QStringLiteral("语文"), QStringLiteral("李"));
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("图片"));
        QVERIFY(QDir().mkdir(folder));
        const OutputResult result = PageOutput::WritePictures(PrintDocument::Classes(model, SchoolDetails{}), folder);
        QVERIFY2(result.ok(), qPrintable(result.status.message()));
        QCOMPARE(result.written.size(), names.size());
        for (const QString& file : result.written)
            QCOMPARE(QFileInfo(file).absolutePath(), QFileInfo(folder).absoluteFilePath());
        QStringList expected{"_._x", "a_b", "_", "_.", "a_b (2)", "_ (2)"};
        for (QString& name : expected)
            name = QStringLiteral("图片/") + name + QStringLiteral(".png");
        expected.sort();
        QCOMPARE(filesUnder(dir.path()), expected);
    }

    void safeFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("safe");
        QTest::newRow("plain") << "七(1)班" << "七(1)班";
        QTest::newRow("up and out") << "../x" << "_._x";
        QTest::newRow("slash") << "a/b" << "a_b";
        QTest::newRow("colon") << ":" << "_";
        QTest::newRow("dot") << "." << "_";
        QTest::newRow("hidden") << ".x" << "_x";
        QTest::newRow("control") << QStringLiteral("a\nb") << "a_b";
        QTest::newRow("blank") << "   " << "_";
        QTest::newRow("long") << QString(200, QChar(u'语')) << QString(81, QChar(u'语'));
    }

    void safeFileName()
    {
        QFETCH(QString, name);
        QFETCH(QString, safe);
        const QString got = PageOutput::SafeFileName(name, QStringLiteral(".png"));
        QCOMPARE(got, safe);
        QVERIFY(QFile::encodeName(got + QStringLiteral(" (99).png")).size() <= 255);
    }

    // A cancel part way, and a failure, leave nothing behind: no part file,
    // no picture, no folder made for the pictures.
    void cancelAndFailureLeaveNothing()
    {
        const TimetableModel model = demoTimetable();
        const PrintDocument document = PrintDocument::Classes(model, SchoolDetails{});
        QTemporaryDir dir;

        std::atomic<bool> stop{false};
        const OutputResult pictures = PageOutput::WritePictures(document, dir.filePath(QStringLiteral("新文件夹/")),
                                                                cancelAfter(stop, 3));
        QVERIFY(pictures.cancelled);
        QVERIFY(pictures.written.isEmpty());
        QCOMPARE(filesUnder(dir.path()), QStringList());
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("新文件夹"))));

        stop = false;
        const OutputResult pdf = PageOutput::WritePdf(document, dir.filePath(QStringLiteral("a.pdf")), cancelAfter(stop, 5));
        QVERIFY(pdf.cancelled);
        QCOMPARE(filesUnder(dir.path()), QStringList());

        const QString nowhere = dir.filePath(QStringLiteral("没有/a.pdf"));
        const OutputResult failed = PageOutput::WritePdf(document, nowhere);
        QVERIFY(!failed.ok());
        QVERIFY(failed.status.is(Failure::Kind::File));
        QVERIFY2(failed.status.message().contains(QDir::toNativeSeparators(nowhere)), qPrintable(failed.status.message()));
        QVERIFY(failed.status.message().contains(QStringLiteral("不存在")));

        // A folder standing where a picture goes: named, and the pictures before it gone.
        const QString folder = dir.filePath(QStringLiteral("图片"));
        QVERIFY(QDir().mkpath(folder + QLatin1Char('/') + model.className(5) + QStringLiteral(".png")));
        const OutputResult blocked = PageOutput::WritePictures(document, folder);
        QVERIFY(!blocked.ok());
        QVERIFY2(blocked.status.message().contains(model.className(5) + QStringLiteral(".png")), qPrintable(blocked.status.message()));
        QCOMPARE(filesUnder(dir.path()), QStringList());
    }
};

QTEST_MAIN(PrintOutputTest)
#include "PrintOutputTest.moc"
