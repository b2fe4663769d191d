#include "SheetFixtures.h"
#include "XlsFixture.h"
#include "ZipFixture.h"

#include "excel/AssignmentImport.h"
#include "excel/AssignmentSheet.h"
#include "excel/SheetParser.h"
#include "excel/SheetReader.h"
#include "excel/SheetReply.h"

#include <QDir>
#include <QtTest>

#include <atomic>

#include <sys/stat.h>

// Workbooks from elsewhere, damaged or made to hurt: each is read to the end
// or refused with a message that names the file and the reason; none takes
// the program down, and none may make the reader allocate beyond its limits.
namespace {

const QByteArray kOdsHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">"
    "<office:body><office:spreadsheet><table:table table:name=\"教师分工\">";
const QByteArray kOdsTail = "</table:table></office:spreadsheet></office:body></office:document-content>";

QByteArray odsTable(const QByteArray& rows)
{
    return ZipFixture::ods(kOdsHead + rows + kOdsTail);
}

QByteArray odsText(const QByteArray& inner)
{
    return "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>" + inner
        + "</text:p></table:table-cell></table:table-row>";
}

QByteArray repeated(const QByteArray& piece, int times)
{
    QByteArray out;
    out.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

QByteArray xlsxRows(int count)
{
    QByteArray rows;
    for (int r = 1; r <= count; ++r)
        rows += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r)
            + "\" t=\"inlineStr\"><is><t>x</t></is></c></row>";
    return ZipFixture::sheetXml(rows);
}

const QByteArray kBigSpaces(33 * 1024 * 1024, ' '); // beyond the 32 MB an entry may inflate to

} // namespace

class HostileWorkbookTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Columns of every reader's table: the file, then either the refusal
    // expected (a piece of the message) or, for a file that must be read, the
    // text expected in one cell and the row count.
    static void addColumns()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("cell"); // "A2=text"
        QTest::addColumn<int>("rows");
    }

    void check()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        QFETCH(QString, cell);
        QFETCH(int, rows);
        const QString file = m_dir.filePath(name);
        QVERIFY(writeFile(file, bytes));
        // fuzz/measure.sh times the import of each of these files.
        const QString keep = qEnvironmentVariable("VORLAT_KEEP_HOSTILE");
        if (!keep.isEmpty())
            QVERIFY(writeFile(QDir(keep).filePath(name), bytes));

        const SheetReader::Result read = SheetReader::Read(file);
        if (!refusal.isEmpty()) {
            QVERIFY2(!read.ok(), "the file was read");
            QVERIFY2(read.error().contains(QDir::toNativeSeparators(file)), qPrintable(read.error()));
            QVERIFY2(read.error().contains(refusal), qPrintable(read.error()));
            QVERIFY2(!read.error().contains(QLatin1String("std::")), qPrintable(read.error()));
            QCOMPARE(read.cells.rowCount(), 0);
            return;
        }
        QVERIFY2(read.ok(), qPrintable(read.error()));
        QCOMPARE(read.cells.rowCount(), rows);
        const int eq = static_cast<int>(cell.indexOf(QLatin1Char('=')));
        const QString address = cell.left(eq);
        const int column = address.at(0).unicode() - 'A';
        const int row = address.mid(1).toInt() - 1;
        QCOMPARE(read.cells.cell(row, column), cell.mid(eq + 1));
    }

private Q_SLOTS:
    void xlsxFiles_data()
    {
        addColumns();
        using namespace ZipFixture;
        const QByteArray header = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>";
        const QByteArray strings = sharedStrings({QStringLiteral("年级"), QStringLiteral("班级")});

        QTest::newRow("inline strings are text")
            << "inline.xlsx"
            << xlsx(sheetXml(header + "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>七年</t><r><t>级</t></r></is></c>"
                                      "<c r=\"B2\" t=\"inlineStr\"><is><t>七(1)班</t></is></c></row>"),
                    strings)
            << QString() << QStringLiteral("A2=七年级") << 2;
        QTest::newRow("shared string past the table")
            << "sst.xlsx" << xlsx(sheetXml(header + "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>5</v></c></row>"), strings)
            << QStringLiteral("单元格 A2 引用的共享文字（第 5 条）不存在") << QString() << 0;
        QTest::newRow("shared string without a table")
            << "nosst.xlsx" << xlsx(sheetXml("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"))
            << QStringLiteral("文件已损坏") << QString() << 0;
        QTest::newRow("one cell in the last row")
            << "lastrow.xlsx"
            << xlsx(sheetXml("<row r=\"1048576\"><c r=\"B1048576\" t=\"inlineStr\"><is><t>末行</t></is></c></row>"))
            << QString() << QStringLiteral("B1048576=末行") << 1048576;
        QTest::newRow("row beyond the last")
            << "row.xlsx" << xlsx(sheetXml("<row r=\"1048577\"><c t=\"n\"><v>1</v></c></row>"))
            << QStringLiteral("行号“1048577”无效") << QString() << 0;
        QTest::newRow("entry that claims 4 GB")
            << "claims.xlsx" << xlsx(sheetXml(header), strings, 0xFFFFFFF0LL) << QStringLiteral("解压后超过 32 MB 的上限")
            << QString() << 0;
        QTest::newRow("zip bomb with a modest header")
            << "bomb.xlsx" << xlsx(kBigSpaces, {}, 1000) << QStringLiteral("解压后超过 32 MB 的上限") << QString() << 0;
        QTest::newRow("entry shorter than it claims")
            << "short.xlsx" << xlsx(sheetXml(header), strings, 100000) << QStringLiteral("大小与记录不符") << QString() << 0;
        // A cell beyond 200 characters is kept as its first 201: too long, but
        // the sheet is read (the import decides whether the cell matters).
        QTest::newRow("cell text beyond 200 characters")
            << "long.xlsx"
            << xlsx(sheetXml("<row r=\"2\"><c r=\"C2\" t=\"inlineStr\"><is><t>" + QByteArray(300, 'x') + "</t></is></c></row>"))
            << QString() << QStringLiteral("C2=") + QString(201, QLatin1Char('x')) << 2;
        QTest::newRow("more rows than a sheet may hold")
            << "rows.xlsx" << xlsx(xlsxRows(10001)) << QStringLiteral("有内容的行超过 10000 行的上限") << QString() << 0;
        QTest::newRow("number of 250 digits")
            << "digits.xlsx" << xlsx(sheetXml("<row r=\"2\"><c r=\"C2\"><v>1e250</v></c></row>"))
            << QString() << QStringLiteral("C2=") + SheetCells::NumberText(1e250).left(201) << 2;
        // The reason quotes the file; the part of it that goes back is capped.
        QTest::newRow("row number of 2,000 characters")
            << "rownumber.xlsx" << xlsx(sheetXml("<row r=\"" + QByteArray(2000, '7') + "\"></row>"))
            << QStringLiteral("工作表中的行号“7777777777") << QString() << 0;
        QTest::newRow("cut short") << "cut.xlsx" << xlsx(sheetXml(header), strings).left(300)
                                   << QStringLiteral("文件已损坏") << QString() << 0;
        QTest::newRow("not xml") << "xml.xlsx" << xlsx("<worksheet><sheetData><row>", strings)
                                 << QStringLiteral("内容无法解析") << QString() << 0;
    }
    void xlsxFiles() { check(); }

    void odsFiles_data()
    {
        addColumns();
        QByteArray deep = repeated("<text:span>", 100000) + "深" + repeated("</text:span>", 100000);
        QTest::newRow("spans nested 100,000 deep")
            << "deep.ods" << odsTable(odsText(deep)) << QString() << QStringLiteral("A1=深") << 1;
        QTest::newRow("one row repeated to the end of the sheet")
            << "repeat.ods"
            << odsTable("<table:table-row table:number-rows-repeated=\"1048576\"><table:table-cell office:value-type=\"string\">"
                        "<text:p>七年级</text:p></table:table-cell></table:table-row>")
            << QStringLiteral("有内容的行超过 10000 行的上限") << QString() << 0;
        QTest::newRow("one cell in the last row")
            << "lastrow.ods"
            << odsTable("<table:table-row table:number-rows-repeated=\"1048575\"><table:table-cell/></table:table-row>"
                        + odsText("末行"))
            << QString() << QStringLiteral("A1048576=末行") << 1048576;
        QTest::newRow("200,000 runs of 1,000 spaces")
            << "spaces.ods" << odsTable(odsText(repeated("<text:s text:c=\"1000\"/>", 200000)))
            << QString() << QStringLiteral("A1=") + QString(201, QLatin1Char(' ')) << 1;
        QTest::newRow("content that claims 4 GB")
            << "claims.ods" << ZipFixture::ods(kOdsHead + kOdsTail, 0xFFFFFFF0LL)
            << QStringLiteral("解压后超过 32 MB 的上限") << QString() << 0;
        QTest::newRow("zip bomb with a modest header")
            << "bomb.ods" << ZipFixture::ods(kBigSpaces, 1000) << QStringLiteral("解压后超过 32 MB 的上限") << QString() << 0;
        QTest::newRow("not xml") << "xml.ods" << ZipFixture::ods("<office:document-content><office:body")
                                 << QStringLiteral("表格内容无法解析") << QString() << 0;
    }
    void odsFiles() { check(); }

    void csvFiles_data()
    {
        addColumns();
        QTest::newRow("cell text beyond 200 characters")
            << "long.csv" << QByteArray("年级,班级,") + QByteArray(300, 'y') + "\n" << QString()
            << QStringLiteral("C1=") + QString(201, QLatin1Char('y')) << 1;
        QTest::newRow("one cell in the last row")
            << "lastrow.csv" << QByteArray(1048575, '\n') + "末行\n" << QString() << QStringLiteral("A1048576=末行") << 1048576;
        QTest::newRow("beyond 8 MB") << "big.csv" << QByteArray(8 * 1024 * 1024 + 1, ',') << QStringLiteral("超过 8 MB 的上限")
                                     << QString() << 0;
        QTest::newRow("a line of 1,100 fields")
            << "wide.csv" << QByteArray("年级,班级") + repeated(",x", 1100) + "\n七年级,1班\n" << QString()
            << QStringLiteral("A2=七年级") << 2;
        QTest::newRow("a class in row 1,048,577")
            << "rows.csv" << QByteArray(1048576, '\n') + "七年级,1班\n" << QStringLiteral("第 1048577 行")
            << QString() << 0;
        QTest::newRow("neither UTF-8 nor GB18030") << "code.csv" << QByteArray("\xFF\xFF\x80,\x81\n")
                                                   << QStringLiteral("既不是 UTF-8 也不是 GB18030") << QString() << 0;
    }
    void csvFiles() { check(); }

    void xlsFiles_data()
    {
        addColumns();
        QTest::newRow("cell text beyond 200 characters")
            << "long.xls" << XlsFixture::workbook({textCell(0, 0, QStringLiteral("年级")), textCell(1, 3, QString(201, QLatin1Char('z')))})
            << QString() << QStringLiteral("D2=") + QString(201, QLatin1Char('z')) << 2;
        QTest::newRow("one cell in the last row")
            << "lastrow.xls" << XlsFixture::workbook({numberCell(65535, 1, 2301)}) << QString() << QStringLiteral("B65536=2301")
            << 65536;
    }
    void xlsFiles() { check(); }

    // The regression inputs the fuzz targets found, by format: read or
    // refused, never a crash.
    void fuzzFindings_data()
    {
        QTest::addColumn<QString>("file");
        const QDir dir(QString::fromLocal8Bit(qgetenv("VORLAT_SOURCE_DIR")) + QStringLiteral("/fuzz/regressions"));
        for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(info.fileName())) << info.absoluteFilePath();
        if (dir.entryInfoList(QDir::Files).isEmpty())
            QTest::newRow("none") << QString();
    }
    void fuzzFindings()
    {
        QFETCH(QString, file);
        if (file.isEmpty())
            QSKIP("no regression inputs");
        const SheetReader::Result read = SheetReader::Read(file);
        QVERIFY2(read.ok() || read.error().contains(QDir::toNativeSeparators(file)), qPrintable(read.error()));
        QVERIFY2(!read.error().contains(QLatin1String("std::")), qPrintable(read.error()));
    }

    // The child that reads misbehaves in every way it can; the program says
    // the file cannot be read and goes on.
    void childMisbehaviour_data()
    {
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<QString>("reason");
        QTest::newRow("crash") << QByteArray("crash") << QStringLiteral("读取时程序崩溃"); // SIGSEGV, or SIGABRT from a sanitizer
        QTest::newRow("endless computing") << QByteArray("spin") << QStringLiteral("计算时间上限");
        QTest::newRow("endless waiting") << QByteArray("sleep") << QStringLiteral("秒的时间上限");
        QTest::newRow("endless memory") << QByteArray("hog") << QStringLiteral("文件已损坏或无法读取");
        QTest::newRow("endless output") << QByteArray("flood") << QStringLiteral("读出的内容超过 1 MB 的上限");
        QTest::newRow("a reply that is none") << QByteArray("garbage") << QStringLiteral("回复不完整");
        QTest::newRow("an error exit") << QByteArray("exit") << QStringLiteral("退出码 3");
        QTest::newRow("output closed, then endless waiting") << QByteArray("linger") << QStringLiteral("秒的时间上限");
    }
    void childMisbehaviour()
    {
        QFETCH(QByteArray, word);
        QFETCH(QString, reason);
        if (word == "hog" && !SheetReader::addressSpaceLimited())
            QSKIP("this build's sanitizer needs an unlimited address space");
        const QString file = m_dir.filePath(QStringLiteral("misbehaving.xlsx"));
        QVERIFY(writeFile(file, word));

        const QByteArray saved = qgetenv("VORLAT_SHEET_READER");
        const SheetReader::Limits before = SheetReader::limits();
        qputenv("VORLAT_SHEET_READER", STUB_SHEET_READER);
        SheetReader::Limits limits;
        limits.addressSpaceBytes = qint64(512) * 1024 * 1024;
        limits.cpuSeconds = 1;
        limits.wallSeconds = 8; // well above the CPU second, even on a loaded machine
        limits.outputBytes = 1024 * 1024;
        SheetReader::setLimits(limits);
        const SheetReader::Result read = SheetReader::Read(file);
        SheetReader::setLimits(before);
        qputenv("VORLAT_SHEET_READER", saved);

        QVERIFY(!read.ok());
        QVERIFY2(read.error().contains(QDir::toNativeSeparators(file)), qPrintable(read.error()));
        QVERIFY2(read.error().contains(reason), qPrintable(read.error()));
    }

    // Only a regular file is read: a pipe would keep the program waiting for
    // a writer, a device would be read without end.
    void specialFilesAreRefused_data()
    {
        QTest::addColumn<QString>("file");
        const QString fifo = m_dir.filePath(QStringLiteral("pipe.csv"));
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 || QFileInfo::exists(fifo));
        QTest::newRow("named pipe") << fifo;
        QTest::newRow("device") << QStringLiteral("/dev/zero");
    }
    void specialFilesAreRefused()
    {
        QFETCH(QString, file);
        const SheetReader::Result read = SheetReader::Read(file);
        QVERIFY2(read.error().contains(QStringLiteral("这不是普通文件")), qPrintable(read.error()));
        // The child, should the file change after the program looked at it.
        SheetCells cells;
        const QString reason = SheetParser::Parse(file, cells);
        QVERIFY2(reason.contains(QStringLiteral("这不是普通文件")), qPrintable(reason));
    }

    // A sheet that repeats one long text in every cell: the reply carries the
    // text once, and the program keeps one copy of it.
    void replyIsCompact()
    {
        const QString text(SheetCells::kMaxCellChars, QChar(0x6559));
        SheetCells cells;
        cells.resize(SheetCells::kMaxUsedRows);
        for (int r = 0; r < SheetCells::kMaxUsedRows; ++r)
            for (int c = 0; c < SheetCells::kColumns; ++c)
                cells.setString(r, c, text);
        const QByteArray reply = SheetReader::EncodeReply(QString(), cells);
        QVERIFY2(reply.size() < 2 * 1024 * 1024, qPrintable(QString::number(reply.size())));

        QString reason;
        SheetCells back;
        QVERIFY(SheetReader::DecodeReply(reply, reason, back));
        QVERIFY(reason.isEmpty());
        QCOMPARE(back.rowCount(), SheetCells::kMaxUsedRows);
        QCOMPARE(back.cell(9999, 25), text);
        QVERIFY(back.cell(9999, 25).isSharedWith(back.cell(0, 0)));

        // The program decodes it piece by piece as it comes out of the pipe.
        SheetReply::Decoder decoder;
        for (qsizetype at = 0; at < reply.size(); at += 7)
            QVERIFY(decoder.feed(reply.constData() + at, std::min<qsizetype>(7, reply.size() - at)));
        SheetCells pieces;
        QVERIFY(decoder.finish(reason, pieces));
        QCOMPARE(pieces.table(), back.table());
    }

    void missingReaderIsNamed()
    {
        const QString file = m_dir.filePath(QStringLiteral("any.csv"));
        QVERIFY(writeFile(file, "年级,班级\n"));
        const QByteArray saved = qgetenv("VORLAT_SHEET_READER");
        qputenv("VORLAT_SHEET_READER", QFile::encodeName(m_dir.filePath(QStringLiteral("no-such-reader"))));
        const SheetReader::Result read = SheetReader::Read(file);
        qputenv("VORLAT_SHEET_READER", saved);
        QVERIFY2(read.error().contains(QStringLiteral("找不到读取程序")), qPrintable(read.error()));
    }

    // Beyond the rows: a sheet of more classes than any school has.
    void tooManyClassesAreRefused()
    {
        QByteArray csv = "年级,班级,语文\n";
        for (int k = 0; k <= AssignmentSheet::kMaxClasses; ++k)
            csv += "七年级,班" + QByteArray::number(k) + ",王\n";
        const QString file = m_dir.filePath(QStringLiteral("classes.csv"));
        QVERIFY(writeFile(file, csv));
        AssignmentImport import;
        std::atomic<int> progressState{0};
        const QString error = import.Import(file, progressState).message();
        QVERIFY2(error.contains(QStringLiteral("班级超过 5000 个的上限")), qPrintable(error));
        QCOMPARE(import.classCount(), 0);
    }

    // A header cell holding empty text (a formula that gives "", a truth
    // value) ends the subjects like an empty cell; it is no subject named "".
    void emptyHeaderTextEndsTheSubjects()
    {
        QStringList table(2 * 26, QStringLiteral("H"));
        table[0] = QStringLiteral("年级");
        table[1] = QStringLiteral("班级");
        table[2] = QStringLiteral("语文");
        table[3] = QString();
        table[4] = QStringLiteral("数学");
        table[26] = QStringLiteral("七年级");
        table[27] = QStringLiteral("  ");
        const AssignmentSheet sheet = AssignmentSheet::Parse(table);
        QCOMPARE(sheet.subjectCount(), 1);
        QCOMPARE(sheet.classCount(), 0);
        QCOMPARE(sheet.skippedRows.size(), size_t(1));
        QCOMPARE(sheet.skippedRows[0].reason, QStringLiteral("没有班级"));
    }
};

QTEST_GUILESS_MAIN(HostileWorkbookTest)
#include "HostileWorkbookTest.moc"
