#include "CliRunner.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// vorlat-cli export to a PDF, a folder of pictures and a per-class workbook,
// from the saved timetable of the demo school.
class ExportPagesTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_db;

    CliRun exportTo(const QStringList& args) const
    {
        return runCli(QStringList{QStringLiteral("export")} + args + QStringList{QStringLiteral("--db"), m_db});
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_db = m_dir.filePath(QStringLiteral("Vorlat.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), m_db}).exitCode, 0);
        const CliRun saved = runCli({QStringLiteral("schedule"), QStringLiteral("--seed"), QStringLiteral("3"),
                                     QStringLiteral("--save"), QStringLiteral("--db"), m_db});
        QVERIFY2(saved.exitCode == 0, qPrintable(saved.err));
    }

    // The output is chosen by OUT, pages by --each and --teachers; a PDF is
    // painted without any display (no platform given: offscreen).
    void outputsByName()
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(environment);
        const QString pdf = m_dir.filePath(QStringLiteral("班级.pdf"));
        process.start(qEnvironmentVariable("VORLAT_CLI"),
                      {QStringLiteral("export"), pdf, QStringLiteral("--each"), QStringLiteral("--db"), m_db});
        QVERIFY(process.waitForFinished(120000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
        QVERIFY(process.readAllStandardError().isEmpty());
        QVERIFY(QString::fromUtf8(process.readAllStandardOutput()).contains(QStringLiteral("每个班级的课表（18 页）")));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");

        const QString pictures = m_dir.filePath(QStringLiteral("教师图片")) + QLatin1Char('/');
        const CliRun teachers = exportTo({pictures, QStringLiteral("--each"), QStringLiteral("--teachers")});
        QVERIFY2(teachers.exitCode == 0, qPrintable(teachers.err));
        const QStringList files = QDir(pictures).entryList(QDir::Files | QDir::Hidden);
        QVERIFY(files.size() > 18);
        QCOMPARE(files.filter(QRegularExpression(QStringLiteral("^[^.].*\\.png$"))).size(), files.size());

        const CliRun overview = exportTo({m_dir.path()}); // an existing folder: one picture of the overview
        QVERIFY2(overview.exitCode == 0, qPrintable(overview.err));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("总课表.png"))));

        const QString book = m_dir.filePath(QStringLiteral("班级.xlsx"));
        const CliRun sheets = exportTo({book, QStringLiteral("--each")});
        QVERIFY2(sheets.exitCode == 0, qPrintable(sheets.err));
        QVERIFY(sheets.out.contains(QStringLiteral("18 张工作表")));
        QVERIFY(QFile::exists(book));
    }

    // A folder that is not there: exit 1 and the file named; no argument: usage.
    void failures()
    {
        const QString nowhere = m_dir.filePath(QStringLiteral("没有/课表.pdf"));
        const CliRun missing = exportTo({nowhere});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(missing.err.contains(QDir::toNativeSeparators(nowhere)), qPrintable(missing.err));
        QCOMPARE(runCli({QStringLiteral("export")}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(ExportPagesTest)
#include "ExportPagesTest.moc"
