#include "CliRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Runs a program with extra environment variables.
CliRun runWith(const QString& program, const QStringList& args, const QStringList& environment)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : environment)
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.start(program, args);
    return collect(process);
}

// vorlat-cli copied alone into dir, without the program it hands the document commands to.
QString lightProgramAlone(const QTemporaryDir& dir)
{
    const QString copy = dir.filePath(QStringLiteral("vorlat-cli"));
    if (!QFile::copy(qEnvironmentVariable("VORLAT_CLI"), copy))
        return QString();
    QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner);
    return copy;
}

// Puts a file where vorlat-cli-docs belongs, beside the copy in dir.
bool writeSibling(const QTemporaryDir& dir, const QByteArray& bytes, bool executable)
{
    QFile file(dir.filePath(QStringLiteral("vorlat-cli-docs")));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (executable)
        permissions |= QFileDevice::ExeOwner;
    return file.setPermissions(permissions);
}

// Where the copy in dir looks for vorlat-cli-docs: its own folder, as the system names it.
QString siblingPath(const QTemporaryDir& dir)
{
    return QDir(QFileInfo(dir.path()).canonicalFilePath()).filePath(QStringLiteral("vorlat-cli-docs"));
}

} // namespace

// vorlat-cli runs the commands that need only QtCore and QtSql itself and
// hands the document commands to vorlat-cli-docs beside it.
class ProgramSplitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What the dynamic loader reports loading (LD_DEBUG=libs), at start and
    // later (the SQL driver): none of the workbook or painting libraries.
    void lightCommandsLoadNoDocumentLibraries_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("help") << QStringList{"--help"};
        QTest::newRow("init demo") << QStringList{"init", "--demo", "--db", "@dir/new.db"};
        QTest::newRow("show") << QStringList{"show", "--db", "@demo"};
        QTest::newRow("solve") << QStringList{"solve", "--db", "@demo", "--seed", "1", "--no-spread", "--json"};
        QTest::newRow("substitutes") << QStringList{"substitutes", "--date", "2026-03-09", "--db", "@demo"};
    }
    void lightCommandsLoadNoDocumentLibraries()
    {
        QFETCH(QStringList, args);
        QTemporaryDir dir;
        const QString demo = dir.filePath(QStringLiteral("demo.db"));
        QCOMPARE(runCli({QStringLiteral("init"), QStringLiteral("--demo"), QStringLiteral("--db"), demo}).exitCode, 0);
        for (QString& arg : args)
            arg.replace(QStringLiteral("@demo"), demo).replace(QStringLiteral("@dir"), dir.path());

        const CliRun run = runWith(qEnvironmentVariable("VORLAT_CLI"), args, {QStringLiteral("LD_DEBUG=libs")});
        QVERIFY2(run.exitCode >= 0, qPrintable(run.err.right(2000)));
        QStringList loaded;
        const QRegularExpression init(QStringLiteral("calling init: (\\S+)"));
        for (auto it = init.globalMatch(run.err); it.hasNext();)
            loaded << QFileInfo(it.next().captured(1)).fileName();
        if (loaded.isEmpty())
            QSKIP("the dynamic loader does not report the libraries it loads (LD_DEBUG)");
        QVERIFY2(loaded.filter(QStringLiteral("libQt6Core")).size() == 1, qPrintable(loaded.join(QLatin1Char(' '))));
        const QRegularExpression heavy(QStringLiteral("^lib(orcus|ixion|freexl|xlsxwriter|boost|Qt6Gui|Qt6Widgets|EGL|GL|X11|xcb|fontconfig|freetype|harfbuzz)"));
        QCOMPARE(loaded.filter(heavy), QStringList());
    }

    // Without its sibling, vorlat-cli names the missing program for every
    // document command and exits with the file-error code.
    void documentCommandsWithoutTheSibling_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("sibling"); // the file put where vorlat-cli-docs belongs; empty: none
        QTest::addColumn<bool>("executable");
        QTest::newRow("export, missing") << QStringList{"export", "@dir/out.xlsx", "--db", "@dir/x.db"} << QByteArray() << false;
        QTest::newRow("import-assignment, missing") << QStringList{"import-assignment", "@dir/a.csv", "--db", "@dir/x.db"} << QByteArray() << false;
        QTest::newRow("notice, missing") << QStringList{"notice", "--date", "2026-03-09", "@dir/n.pdf", "--db", "@dir/x.db"} << QByteArray() << false;
        QTest::newRow("counts, missing") << QStringList{"counts", "--month", "2026-03", "--db", "@dir/x.db"} << QByteArray() << false;
        QTest::newRow("export, not executable") << QStringList{"export", "@dir/out.pdf", "--db", "@dir/x.db"} << QByteArray("#!/bin/sh\nexit 0\n") << false;
        QTest::newRow("export, not a program") << QStringList{"export", "@dir/out.pdf", "--db", "@dir/x.db"} << QByteArray("\x01\x02garbage") << true;
    }
    void documentCommandsWithoutTheSibling()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, sibling);
        QFETCH(bool, executable);
        QTemporaryDir dir;
        const QString program = lightProgramAlone(dir);
        QVERIFY(!program.isEmpty());
        if (!sibling.isEmpty())
            QVERIFY(writeSibling(dir, sibling, executable));
        for (QString& arg : args)
            arg.replace(QStringLiteral("@dir"), dir.path());

        const CliRun run = runWith(program, args, {});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(siblingPath(dir)), qPrintable(run.err));
        QVERIFY2(run.err.contains(args.first()), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        // The light commands still run from the lone copy.
        QCOMPARE(runWith(program, {QStringLiteral("--help")}, {}).exitCode, 0);
    }

    // The sibling gets the arguments exactly as given, and its output and exit
    // code are the command's.
    void handOverKeepsArgumentsOutputAndExitCode()
    {
        QTemporaryDir dir;
        const QString program = lightProgramAlone(dir);
        QVERIFY(!program.isEmpty());
        QVERIFY(writeSibling(dir, "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\necho \"$0\" >&2\nexit 7\n", true));
        const QStringList args{QStringLiteral("export"), QStringLiteral("总课表 一.xlsx"), QString(),
                               QStringLiteral("--db=a b.db"), QStringLiteral("-platform"), QStringLiteral("xcb")};

        const CliRun run = runWith(program, args, {});
        QCOMPARE(run.exitCode, 7);
        QString expected;
        for (const QString& arg : args)
            expected += QLatin1Char('[') + arg + QStringLiteral("]\n");
        QCOMPARE(run.out, expected);
        QCOMPARE(run.err.trimmed(), siblingPath(dir)); // its own path as its name
    }
};

QTEST_GUILESS_MAIN(ProgramSplitTest)
#include "ProgramSplitTest.moc"
