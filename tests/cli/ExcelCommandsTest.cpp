#include "CliRunner.h"
#include "TestSupport.h"

#include "engine/PlanningModel.h"
#include "engine/Scheduler.h"
#include "excel/SheetReader.h"
#include "base/SchoolPlan.h"
#include "store/Database.h"
#include "store/PlanReader.h"
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

// The sample sheet with its subject columns taken in the given order
// (indexes into the sample's subjects); the rows under the table stay.
QByteArray sampleWithSubjects(const QList<int>& order)
{
    QFile file(sampleSheet());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList out;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList cells = line.split(QLatin1Char(','));
        if (cells.size() < 3) {
            out << line;
            continue;
        }
        QStringList row = cells.mid(0, 2);
        for (const int subject : order)
            row << cells.value(2 + subject).trimmed();
        out << row.join(QLatin1Char(','));
    }
    return out.join(QLatin1Char('\n')).toUtf8();
}

// Everything the database holds for each subject, by the subject's name:
// the counts of every grade, the subject and teacher zones of every class,
// the fixed lessons and the combined groups.
QStringList planByName(const QString& db)
{
    Database::open(db);
    SchoolPlan plan;
    const Status read = PlanReader::Load(plan);
    Database::close();
    if (!read.ok())
        return {read.message()};
    QStringList facts;
    for (int s = 1; s <= Plan::kSubjectSlots; ++s) {
        const QString& name = plan.subjectNames[s - 1];
        if (name == QLatin1String("H"))
            continue;
        for (int g = 0; g < plan.gradeRowCount(); ++g)
            facts << QStringLiteral("%1 grade %2: %3").arg(name).arg(g).arg(plan.plan(g, s));
        for (int c = 0; c < plan.classCount; ++c)
            for (int d = 0; d < Plan::kMaxDays; ++d)
                facts << QStringLiteral("%1 %2 day %3: %4 %5")
                             .arg(name, plan.className(c))
                             .arg(d)
                             .arg(plan.subjectZones[SchoolPlan::zoneIndex(c, s, d)],
                                  plan.teacherZones[SchoolPlan::zoneIndex(c, s, d)]);
    }
    for (int i = 0; i < plan.fixedLessonCount(); ++i)
        facts << QStringLiteral("fixed %1 %2 %3 %4")
                     .arg(plan.className(plan.fixedField(i, 0)))
                     .arg(plan.fixedField(i, 1))
                     .arg(plan.fixedField(i, 2))
                     .arg(plan.subjectNames[plan.fixedField(i, 3) - 1]);
    for (int g = 0; g < plan.combinedGroupCount(); ++g)
        facts << QStringLiteral("group %1 %2 %3")
                     .arg(plan.subjectNames[plan.combinedSubject(g) - 1], plan.className(plan.combinedMember(g, 0)),
                          plan.className(plan.combinedMember(g, 1)));
    facts.sort();
    return facts;
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

    // The demo school re-imported with its subject columns reversed: the
    // counts, zones, fixed lessons and groups stay with their subjects and the
    // moves are printed. A sheet without 心理健康 is refused while 心理健康
    // holds fixed lessons and counts, and saved with --drop-missing. Two
    // rows for one class are refused.
    void reimportKeepsDataWithItsSubject()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Vorlat.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), db}).exitCode, 0);
        const QStringList before = planByName(db);
        QVERIFY(before.size() > 100);

        const QString reversed = dir.filePath(QStringLiteral("倒序.csv"));
        QVERIFY(writeText(reversed, sampleWithSubjects({13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0})));
        CliRun run = runCli({QStringLiteral("import-assignment"), reversed, QStringLiteral("--db"), db});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains(QStringLiteral("语文：第 1 → 第 14 个科目")), qPrintable(run.out));
        QCOMPARE(planByName(db), before);

        const QString withoutLast = dir.filePath(QStringLiteral("少一科.csv"));
        QVERIFY(writeText(withoutLast, sampleWithSubjects({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
        const QByteArray unchanged = fileHash(db);
        run = runCli({QStringLiteral("import-assignment"), withoutLast, QStringLiteral("--db"), db});
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains(QStringLiteral("--drop-missing")), qPrintable(run.err));
        QVERIFY2(run.out.contains(QStringLiteral("心理健康（原第 1 个科目）：周课时 3 个年级、固定科目 2 节")), qPrintable(run.out));
        QCOMPARE(fileHash(db), unchanged);

        run = runCli({QStringLiteral("import-assignment"), withoutLast, QStringLiteral("--drop-missing"), QStringLiteral("--db"), db});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QStringList kept;
        for (const QString& fact : before)
            if (!fact.contains(QStringLiteral("心理健康")))
                kept << fact;
        QCOMPARE(planByName(db), kept);

        const QString twice = dir.filePath(QStringLiteral("重复.csv"));
        QVERIFY(writeText(twice, "年级,班级,语文\n七年级,七(1)班,王海燕\n七年级,七(2)班,李建国\n七年级,七(1)班 ,赵丽华\n"));
        const QByteArray saved = fileHash(db);
        run = runCli({QStringLiteral("import-assignment"), twice, QStringLiteral("--db"), db});
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains(QStringLiteral("班级名称重复：第 2、4 行都是“七(1)班”")), qPrintable(run.err));
        QCOMPARE(fileHash(db), saved);
    }

    // A blank header cell: vorlat-cli says which header texts are not subjects.
    void blankHeaderCellIsNoted()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("Vorlat.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--db"), db}).exitCode, 0);
        const QString gap = dir.filePath(QStringLiteral("空白.csv"));
        QVERIFY(writeText(gap, "年级,班级,语文,,英语\n七年级,七(1)班,王海燕,,赵丽华\n"));
        const CliRun run = runCli({QStringLiteral("import-assignment"), gap, QStringLiteral("--db"), db});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains(QStringLiteral("第 1 行 D 列是空白，任教科目到此为止；其后的 E 列“英语” 不会作为科目导入")),
                 qPrintable(run.out));
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
