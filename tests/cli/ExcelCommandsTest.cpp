#include "CliRunner.h"
#include "TestSupport.h"

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "excel/SheetReader.h"
#include "store/Database.h"
#include "view/TimetableStore.h"
#include "view/TimetableModel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString sampleSheet()
{
    return QDir(qEnvironmentVariable("VORLAT_SOURCE_DIR")).filePath(QStringLiteral("examples/teacher-assignment.csv"));
}

bool writeText(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class ExcelCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The sample sheet goes into the demo school, the school is scheduled and
    // saved, and both tables are exported.
    void sampleImportedScheduledAndExported()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Vorlat.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), db}).exitCode, 0);

        const CliRun import = runCli({QStringLiteral("import-assignment"), sampleSheet(), QStringLiteral("--db"), db});
        QVERIFY2(import.exitCode == 0, qPrintable(import.err));
        QVERIFY(import.out.contains(QStringLiteral("任教科目（14 个）：语文、数学、英语、物理")));
        QVERIFY(import.out.contains(QStringLiteral("班级与任课教师（18 个班级）")));
        QVERIFY(import.out.contains(QStringLiteral("教师（71 位）")));
        QVERIFY(import.out.contains(QStringLiteral("跳过的行（1 行）")));
        QVERIFY(import.out.contains(QStringLiteral("没有班级")));

        const CliRun show = runCli({QStringLiteral("show"), QStringLiteral("--db"), db});
        QCOMPARE(show.exitCode, 0);
        QVERIFY(show.out.contains(QStringLiteral("陈思远")));
        QVERIFY(!show.out.contains(QStringLiteral("注意")));

        {
            Database::open(db);
            PlanningModel plan;
            const ScheduleOutcome outcome = scheduleOpenDatabase(plan, 11u);
            QVERIFY(!outcome.refused());
            TimetableModel model;
            model.PublishToView(plan);
            QCOMPARE(model.classCount, 18);
            TimetableStore::SaveTimetable(model);
            Database::close();
        }

        const QString chosen = dir.filePath(QStringLiteral("总课表.xls"));
        const CliRun master = runCli({QStringLiteral("export"), chosen, QStringLiteral("--db"), db});
        QVERIFY2(master.exitCode == 0, qPrintable(master.err));
        QVERIFY(master.out.contains(QDir::toNativeSeparators(chosen + QLatin1Char('x'))));
        QVERIFY(!QFile::exists(chosen));
        const SheetReader::Result masterBook = SheetReader::Read(chosen + QLatin1Char('x'));
        QVERIFY2(masterBook.ok(), qPrintable(masterBook.error()));
        QCOMPARE(masterBook.cells.rowCount(), 2 + 2 * 18);
        QCOMPARE(masterBook.cells.cell(0, 0), QStringLiteral("星期"));
        QCOMPARE(masterBook.cells.cell(0, 1), QStringLiteral("星期一"));
        QCOMPARE(masterBook.cells.cell(2, 0), QStringLiteral("七(1)班"));
        QCOMPARE(masterBook.cells.cell(36, 0), QStringLiteral("九(6)班"));

        const QString teachersFile = dir.filePath(QStringLiteral("教师课表.xlsx"));
        const CliRun teachers = runCli({QStringLiteral("export"), teachersFile, QStringLiteral("--teachers"),
                                        QStringLiteral("--db"), db});
        QVERIFY2(teachers.exitCode == 0, qPrintable(teachers.err));
        QVERIFY(teachers.out.contains(QStringLiteral("71 位教师")));
        const SheetReader::Result teacherBook = SheetReader::Read(teachersFile);
        QVERIFY2(teacherBook.ok(), qPrintable(teacherBook.error()));
        QCOMPARE(teacherBook.cells.rowCount(), 2 + 71);
        QCOMPARE(teacherBook.cells.cell(1, 0), QStringLiteral("教师"));
        QCOMPARE(teacherBook.cells.cell(1, 1), QStringLiteral("周课时"));
        QCOMPARE(teacherBook.cells.cell(0, 2), QStringLiteral("星期一"));
    }

    void importRefusalsAndErrors()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Vorlat.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), db}).exitCode, 0);
        const QString before = runCli({QStringLiteral("show"), QStringLiteral("--db"), db}).out;

        // No accepted class row: refused by the rule, nothing written.
        const QString noClass = dir.filePath(QStringLiteral("无班级.csv"));
        QVERIFY(writeText(noClass, "年级,班级,语文\r\n7年级,七(1)班,王海燕\r\n"));
        CliRun run = runCli({QStringLiteral("import-assignment"), noClass, QStringLiteral("--db"), db});
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.err.contains(QStringLiteral("未设置教师分工！")));
        QVERIFY(run.out.contains(QStringLiteral("年级“7年级”无法识别")));

        // Files that cannot be read.
        run = runCli({QStringLiteral("import-assignment"), dir.filePath(QStringLiteral("缺失.xlsx")), QStringLiteral("--db"), db});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("缺失.xlsx")));
        QVERIFY(run.err.contains(QStringLiteral("文件不存在")));
        const QString notBook = dir.filePath(QStringLiteral("假的.xlsx"));
        QVERIFY(writeText(notBook, "<html>不是工作簿</html>"));
        run = runCli({QStringLiteral("import-assignment"), notBook, QStringLiteral("--db"), db});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("文件内容不是工作簿")));

        QCOMPARE(runCli({QStringLiteral("show"), QStringLiteral("--db"), db}).out, before);

        // Usage.
        QCOMPARE(runCli({QStringLiteral("import-assignment")}).exitCode, 2);
        QCOMPARE(runCli({QStringLiteral("import-assignment"), noClass, noClass}).exitCode, 2);
    }

    void exportRefusalsAndErrors()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Vorlat.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), db}).exitCode, 0);

        // Nothing saved yet.
        const QString out = dir.filePath(QStringLiteral("课表.xlsx"));
        CliRun run = runCli({QStringLiteral("export"), out, QStringLiteral("--db"), db});
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.err.contains(QStringLiteral("没有已保存的课表")));
        QVERIFY(!QFile::exists(out));

        {
            Database::open(db);
            TimetableModel model;
            model.resetGrids(5, 8, {QStringLiteral("七(1)班")});
            model.setLesson(0, 0, 0, QStringLiteral("语文"), QStringLiteral("陈思远"));
            TimetableStore::SaveTimetable(model);
            Database::close();
        }
        const QString badPath = dir.filePath(QStringLiteral("没有这个文件夹/课表.xlsx"));
        run = runCli({QStringLiteral("export"), badPath, QStringLiteral("--db"), db});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QDir::toNativeSeparators(badPath)));

        QCOMPARE(runCli({QStringLiteral("export"), QStringLiteral("--db"), db}).exitCode, 2);
        QCOMPARE(runCli({QStringLiteral("export"), out, QStringLiteral("--pupils"), QStringLiteral("--db"), db}).exitCode, 2);
        // An empty name is no name: not a hidden ".xlsx".
        run = runCli({QStringLiteral("export"), QString(), QStringLiteral("--db"), db}, dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("文件名不能为空")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral(".xlsx"))));
    }

    // A read-only planning file (a copy from a colleague, a shared drive)
    // still serves every command that only reads; it is never changed.
    void readOnlyDatabaseServesReadingCommands()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Vorlat.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), db}).exitCode, 0);
        QCOMPARE(runCli({QStringLiteral("schedule"), QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--save"),
                         QStringLiteral("--db"), db})
                     .exitCode,
                 0);
        QVERIFY(QFile::setPermissions(db, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        const QByteArray before = fileHash(db);

        const QList<QStringList> readers{
            {QStringLiteral("show")},
            {QStringLiteral("timetable")},
            {QStringLiteral("timetable"), QStringLiteral("--teachers")},
            {QStringLiteral("schedule"), QStringLiteral("--seed"), QStringLiteral("3")},
            {QStringLiteral("export"), dir.filePath(QStringLiteral("课表.xlsx"))},
        };
        for (QStringList args : readers) {
            args << QStringLiteral("--db") << db;
            const CliRun run = runCli(args);
            QVERIFY2(run.exitCode == 0, qPrintable(args.join(QLatin1Char(' ')) + QLatin1String(": ") + run.err));
        }
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("课表.xlsx"))));

        if (QFileInfo(db).isWritable())
            QSKIP("running with rights that ignore file permissions: writing commands are not refused");
        const CliRun save = runCli({QStringLiteral("schedule"), QStringLiteral("--save"), QStringLiteral("--db"), db});
        QCOMPARE(save.exitCode, 1);
        QVERIFY2(save.err.contains(QStringLiteral("只读")), qPrintable(save.err));
        QCOMPARE(fileHash(db), before);
    }

    // A workbook that crashes the .xls library takes down only the reading
    // child: the command says the file cannot be read.
    void hostileWorkbookIsRefused()
    {
        const QDir findings(QString::fromLocal8Bit(qgetenv("VORLAT_SOURCE_DIR")) + QStringLiteral("/fuzz/regressions"));
        const QStringList crashes = findings.entryList({QStringLiteral("xls-crash-*")}, QDir::Files);
        if (crashes.isEmpty())
            QSKIP("no .xls input that crashes the library is kept");
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Vorlat.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), db}).exitCode, 0);
        const QByteArray before = fileHash(db);
        const CliRun run = runCli({QStringLiteral("import-assignment"), findings.filePath(crashes.first()),
                                   QStringLiteral("--db"), db});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(crashes.first()), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("无法读取")), qPrintable(run.err));
        QCOMPARE(fileHash(db), before);
    }
};

QTEST_GUILESS_MAIN(ExcelCommandsTest)
#include "ExcelCommandsTest.moc"
