#include "SheetFixtures.h"
#include "TestSupport.h"
#include "XlsFixture.h"

#include "excel/AssignmentImport.h"
#include "excel/AssignmentSheet.h"
#include "excel/ExcelProgress.h"
#include "excel/SheetReader.h"
#include "store/Database.h"
#include "store/PlanReader.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/StoreError.h"

#include "base/ZoneText.h"

#include <QSqlQuery>
#include <QtTest>

#include <iconv.h>
#include <unistd.h>

namespace {

// The sheet most cases read: a header with a gap, numbers as class names, a
// truth value, grades the parse must refuse, a note under the table and cells
// beyond column Z.
FixtureSheet assignmentFixture()
{
    return {
        textCell(0, 0, QStringLiteral("年级")), textCell(0, 1, QStringLiteral("班级")),
        textCell(0, 2, QStringLiteral("语文")), textCell(0, 3, QStringLiteral("数学")),
        /* E1 empty: ends the subject list */ textCell(0, 5, QStringLiteral("英语")),
        textCell(0, 26, QStringLiteral("多余的科目")),

        textCell(1, 0, QStringLiteral("七年级")), numberCell(1, 1, 2301),
        textCell(1, 2, QStringLiteral("王海燕")), textCell(1, 3, QStringLiteral("H")),
        textCell(1, 4, QStringLiteral("李建国")), textCell(1, 5, QStringLiteral("赵丽华")),
        textCell(1, 25, QStringLiteral("末列教师")), textCell(1, 26, QStringLiteral("超出的教师")),

        textCell(2, 0, QStringLiteral("初一")), numberCell(2, 1, 2301.6),
        truthCell(2, 2, true), textCell(2, 3, QStringLiteral("钱志强")),

        textCell(3, 0, QStringLiteral("七年级 ")), textCell(3, 1, QStringLiteral("七(3)班")),
        textCell(3, 2, QStringLiteral("孙秀英")),

        textCell(4, 0, QStringLiteral("7年级")), textCell(4, 1, QStringLiteral("七(4)班")),

        textCell(5, 0, QStringLiteral("八年级")), textCell(5, 2, QStringLiteral("吴敏")),

        /* row 7 empty */
        textCell(7, 0, QStringLiteral("九年级")), textCell(7, 1, QStringLiteral("九(1)班")),
        textCell(7, 2, QStringLiteral("周晓明")),

        textCell(8, 0, QStringLiteral("备注：本表由教务处填写")),
    };
}

QByteArray toGb18030(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    iconv_t converter = iconv_open("GB18030", "UTF-8");
    QByteArray out(utf8.size() * 4, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = static_cast<size_t>(utf8.size());
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    out.truncate(out.size() - static_cast<qsizetype>(outLeft));
    return out;
}

// A sheet written row by row: one list of texts per sheet row, "" for an empty cell.
FixtureSheet sheetOf(const QList<QStringList>& rows)
{
    FixtureSheet sheet;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].isEmpty())
                sheet.push_back(textCell(r, c, rows[r][c]));
    return sheet;
}

// Every write of 教师分工 fails, as a full disk would.
void injectAssignmentFailure()
{
    Database::exec(QStringLiteral("CREATE TRIGGER fail_assignment BEFORE UPDATE ON %1 BEGIN SELECT RAISE(ABORT, "
                                  "'injected failure'); END")
                       .arg(Schema::quoted(Schema::kAssignmentsTable)),
                   {}, QStringLiteral("inject a failure"));
}

QStringList assignmentRow(const QStringList& start)
{
    QStringList row = start;
    while (row.size() < Plan::kAssignmentTexts)
        row << QStringLiteral("H");
    return row;
}

} // namespace

class AssignmentImportTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Writes the fixture in the given format; skips the test when that cannot be done here.
    QString writeFixture(const QString& format, const FixtureSheet& sheet, const QString& baseName)
    {
        const QString file = path(baseName + QLatin1Char('.') + format);
        if (format == QLatin1String("xlsx")) {
            if (!writeXlsx(file, sheet))
                return QString();
        } else if (format == QLatin1String("csv")) {
            if (!writeFile(file, csvText(sheet)))
                return QString();
        } else if (format == QLatin1String("ods")) {
            if (!zipAvailable() || !writeOdsPackage(file, odsContent(odsRows(sheet))))
                return QString();
        } else if (format == QLatin1String("xls")) {
            if (!writeFile(file, XlsFixture::workbook(sheet)))
                return QString();
        }
        return file;
    }

private Q_SLOTS:
    void parsesTheSheet_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("truthText"); // what a TRUE cell becomes
        QTest::newRow("xlsx") << QStringLiteral("xlsx") << QString();
        QTest::newRow("ods") << QStringLiteral("ods") << QString();
        QTest::newRow("csv (TRUE is plain text there)") << QStringLiteral("csv") << QStringLiteral("TRUE");
        // libfreexl hands truth values over as the numbers 1 and 0.
        QTest::newRow("xls (TRUE arrives as 1)") << QStringLiteral("xls") << QStringLiteral("1");
    }

    void parsesTheSheet()
    {
        QFETCH(QString, format);
        QFETCH(QString, truthText);
        if (format == QLatin1String("ods") && !zipAvailable())
            QSKIP("the zip program is not installed: no .ods fixture");
        const QString file = writeFixture(format, assignmentFixture(), QStringLiteral("parse"));
        QVERIFY(!file.isEmpty());

        const SheetReader::Result read = SheetReader::Read(file);
        QVERIFY2(read.ok(), qPrintable(read.error()));
        QCOMPARE(read.cells.rowCount(), 9);

        const AssignmentSheet sheet = AssignmentSheet::Parse(read.cells);
        // The gap in E1 ends the subject list; F1 and everything after Z are not read.
        QStringList subjects(24, QStringLiteral("H"));
        subjects[0] = QStringLiteral("语文");
        subjects[1] = QStringLiteral("数学");
        QCOMPARE(sheet.subjectSlots, subjects);
        QCOMPARE(sheet.subjectCount(), 2);

        QStringList first = assignmentRow({QStringLiteral("七年级"), QStringLiteral("2301"), QStringLiteral("王海燕"),
                                           QStringLiteral("H"), QStringLiteral("李建国"), QStringLiteral("赵丽华")});
        first[25] = QStringLiteral("末列教师"); // column Z: teacher position 24, kept
        const QStringList second = assignmentRow(
            {QStringLiteral("初一"), QStringLiteral("2302"), truthText, QStringLiteral("钱志强")});
        const QStringList third = assignmentRow({QStringLiteral("九年级"), QStringLiteral("九(1)班"), QStringLiteral("周晓明")});
        QCOMPARE(sheet.classCount(), 3);
        QCOMPARE(sheet.assignmentRows, first + second + third);
        QCOMPARE(sheet.teacher(0, 3), QStringLiteral("李建国")); // under the gap, kept for Save
        QCOMPARE(sheet.gradeName(1), QStringLiteral("初一"));      // kept as written

        QCOMPARE(static_cast<int>(sheet.skippedRows.size()), 4);
        QCOMPARE(sheet.skippedRows[0].sheetRow, 4);
        QCOMPARE(sheet.skippedRows[0].reason, QStringLiteral("年级“七年级 ”无法识别"));
        QCOMPARE(sheet.skippedRows[1].sheetRow, 5);
        QCOMPARE(sheet.skippedRows[1].reason, QStringLiteral("年级“7年级”无法识别"));
        QCOMPARE(sheet.skippedRows[2].sheetRow, 6);
        QCOMPARE(sheet.skippedRows[2].reason, QStringLiteral("没有班级"));
        QCOMPARE(sheet.skippedRows[3].sheetRow, 9);
        QCOMPARE(sheet.skippedRows[3].reason, QStringLiteral("没有班级"));
    }

    // A table that starts at row 3: rows are read from sheet row 1 down to the
    // last used row, so the empty row 1 is the header and no class is lost.
    void tableStartingAtRowThree_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("xlsx") << QStringLiteral("xlsx");
        QTest::newRow("ods") << QStringLiteral("ods");
        QTest::newRow("csv") << QStringLiteral("csv");
        QTest::newRow("xls") << QStringLiteral("xls");
    }

    void tableStartingAtRowThree()
    {
        QFETCH(QString, format);
        if (format == QLatin1String("ods") && !zipAvailable())
            QSKIP("the zip program is not installed: no .ods fixture");
        FixtureSheet sheet{textCell(2, 0, QStringLiteral("年级")), textCell(2, 1, QStringLiteral("班级")),
                           textCell(2, 2, QStringLiteral("语文"))};
        for (int r = 3; r < 22; ++r) {
            sheet.push_back(textCell(r, 0, QStringLiteral("八年级")));
            sheet.push_back(textCell(r, 1, QStringLiteral("八(%1)班").arg(r - 2)));
            sheet.push_back(textCell(r, 2, QStringLiteral("教师%1").arg(r - 2)));
        }
        const QString file = writeFixture(format, sheet, QStringLiteral("row3"));
        QVERIFY(!file.isEmpty());
        const SheetReader::Result read = SheetReader::Read(file);
        QVERIFY2(read.ok(), qPrintable(read.error()));
        QCOMPARE(read.cells.rowCount(), 22); // the used range has 20 rows; all 22 sheet rows are read
        const AssignmentSheet parsed = AssignmentSheet::Parse(read.cells);
        QCOMPARE(parsed.subjectCount(), 0);
        QCOMPARE(parsed.classCount(), 19);
        QCOMPARE(parsed.className(18), QStringLiteral("八(19)班"));
        QCOMPARE(static_cast<int>(parsed.skippedRows.size()), 1); // the real header row, at row 3
        QCOMPARE(parsed.skippedRows[0].sheetRow, 3);
    }

    // A formula cell gives the value the workbook last calculated, as a plain cell would.
    void xlsxFormulaCellsGiveTheirResults()
    {
        const QString file = path(QStringLiteral("formulas.xlsx"));
        const FixtureSheet sheet{textCell(0, 0, QStringLiteral("年级")), textCell(0, 1, QStringLiteral("班级")),
                                 textCell(0, 2, QStringLiteral("语文"))};
        QVERIFY(writeXlsx(file, sheet, [](lxw_worksheet* worksheet) {
            worksheet_write_formula_str(worksheet, 1, 0, "=\"七\"&\"年级\"", nullptr, "七年级");
            worksheet_write_formula_num(worksheet, 1, 1, "=2300+1.6", nullptr, 2301.6);
            worksheet_write_formula_str(worksheet, 1, 2, "=\"王\"&\"海燕\"", nullptr, "王海燕");
        }));
        const SheetReader::Result read = SheetReader::Read(file);
        QVERIFY2(read.ok(), qPrintable(read.error()));
        const AssignmentSheet parsed = AssignmentSheet::Parse(read.cells);
        QCOMPARE(parsed.classCount(), 1);
        QCOMPARE(parsed.gradeName(0), QStringLiteral("七年级"));
        QCOMPARE(parsed.className(0), QStringLiteral("2302"));
        QCOMPARE(parsed.teacher(0, 1), QStringLiteral("王海燕"));
    }

    void csvEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("年级,班级,语文\r\n七年级,七(1)班,王海燕\r\n");
        QTest::newRow("UTF-8") << text.toUtf8();
        QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("GB18030") << toGb18030(text);
    }

    void csvEncodings()
    {
        QFETCH(QByteArray, bytes);
        const QString file = path(QStringLiteral("encoding.csv"));
        QVERIFY(writeFile(file, bytes));
        const SheetReader::Result read = SheetReader::Read(file);
        QVERIFY2(read.ok(), qPrintable(read.error()));
        QCOMPARE(read.cells.cell(0, 0), QStringLiteral("年级"));
        const AssignmentSheet sheet = AssignmentSheet::Parse(read.cells);
        QCOMPARE(sheet.subjectSlots[0], QStringLiteral("语文"));
        QCOMPARE(sheet.assignmentRows.mid(0, 3),
                 (QStringList{QStringLiteral("七年级"), QStringLiteral("七(1)班"), QStringLiteral("王海燕")}));
    }

    // Cells of a merged range that an office suite keeps as covered cells keep
    // their columns; a cell to the right of a merge stays under its subject.
    void odsMergedCellsKeepTheirColumns()
    {
        if (!zipAvailable())
            QSKIP("the zip program is not installed: no .ods fixture");
        const QString cell = QStringLiteral("<table:table-cell office:value-type=\"string\"><text:p>%1</text:p></table:table-cell>");
        const QStringList rows{
            cell.arg(QStringLiteral("年级")) + cell.arg(QStringLiteral("班级")) + cell.arg(QStringLiteral("语文"))
                + cell.arg(QStringLiteral("数学")) + cell.arg(QStringLiteral("英语")),
            // 语文 and 数学 of 七(1)班 merged across: the covered cell stands for D2.
            cell.arg(QStringLiteral("七年级")) + cell.arg(QStringLiteral("七(1)班"))
                + QStringLiteral("<table:table-cell table:number-columns-spanned=\"2\" table:number-rows-spanned=\"2\""
                                 " office:value-type=\"string\"><text:p>王海燕</text:p></table:table-cell>")
                + QStringLiteral("<table:covered-table-cell/>") + cell.arg(QStringLiteral("李建国")),
            // The merge reaches down into row 3.
            cell.arg(QStringLiteral("七年级")) + cell.arg(QStringLiteral("七(2)班"))
                + QStringLiteral("<table:covered-table-cell table:number-columns-repeated=\"2\"/>")
                + QStringLiteral("<table:table-cell office:value-type=\"string\"><text:p>赵<text:s text:c=\"2\"/>丽华"
                                 "<office:annotation><text:p>批注不读</text:p></office:annotation></text:p></table:table-cell>"),
        };
        const QString file = path(QStringLiteral("merged.ods"));
        QVERIFY(writeOdsPackage(file, odsContent(rows)));
        const SheetReader::Result read = SheetReader::Read(file);
        QVERIFY2(read.ok(), qPrintable(read.error()));
        QCOMPARE(read.cells.rowCount(), 3);
        const AssignmentSheet sheet = AssignmentSheet::Parse(read.cells);
        QCOMPARE(sheet.classCount(), 2);
        QCOMPARE(sheet.teacher(0, 1), QStringLiteral("王海燕"));
        QCOMPARE(sheet.teacher(0, 2), QStringLiteral("H"));
        QCOMPARE(sheet.teacher(0, 3), QStringLiteral("李建国"));
        QCOMPARE(sheet.teacher(1, 1), QStringLiteral("H"));
        QCOMPARE(sheet.teacher(1, 3), QStringLiteral("赵  丽华"));
    }

    // Files that cannot be read: a message naming the file and the reason,
    // progressState Failed, and the results of the last import untouched.
    void refusesUnreadableFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: do not create the file
        QTest::addColumn<QString>("reason");

        QTest::newRow("missing") << QStringLiteral("缺失.xlsx") << QByteArray() << QStringLiteral("文件不存在");
        QTest::newRow("text named .xlsx") << QStringLiteral("note.xlsx") << QByteArray("这不是工作簿\n")
                                          << QStringLiteral("文件内容不是工作簿");
        QTest::newRow("garbage named .xls") << QStringLiteral("old.xls") << QByteArray(600, '\x07')
                                            << QStringLiteral("文件内容不是工作簿");
        QTest::newRow("unknown type") << QStringLiteral("plan.pdf") << QByteArray("%PDF-1.4\n")
                                      << QStringLiteral("不支持的文件类型");
        QTest::newRow("broken zip named .xlsx") << QStringLiteral("broken.xlsx")
                                                << QByteArray("PK\x03\x04", 4) + QByteArray(300, 'x')
                                                << QStringLiteral("文件已损坏");
        QByteArray encrypted("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        encrypted += QByteArray(504, '\0');
        encrypted += QByteArrayLiteral("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0");
        encrypted += QByteArray(2000, '\0');
        QTest::newRow("password-protected .xlsx") << QStringLiteral("locked.xlsx") << encrypted
                                                  << QStringLiteral("文件受密码保护");
        QByteArray brokenCompound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
        brokenCompound += QByteArray(1000, '\x01');
        QTest::newRow("broken compound document") << QStringLiteral("broken.xls") << brokenCompound
                                                  << QStringLiteral("无法读取");
    }

    void refusesUnreadableFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString good = writeFixture(QStringLiteral("xlsx"), assignmentFixture(), QStringLiteral("good"));
        QVERIFY(!good.isEmpty());
        const QString file = path(name);
        if (!content.isEmpty())
            QVERIFY(writeFile(file, content));

        AssignmentImport import;
        std::atomic<int> progressState{-1};
        QVERIFY(import.Import(good, progressState).ok());
        QCOMPARE(progressState.load(), ExcelProgress::Finished);
        const QStringList rowsBefore = import.assignmentRows;
        const QStringList subjectsBefore = import.subjectSlots;

        const Status failed = import.Import(file, progressState);
        QVERIFY(failed.is(Failure::Kind::File));
        const QString error = failed.message();
        QVERIFY2(error.contains(QDir::toNativeSeparators(file)), qPrintable(error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(progressState.load(), ExcelProgress::Failed);
        QCOMPARE(import.assignmentRows, rowsBefore);
        QCOMPARE(import.subjectSlots, subjectsBefore);
    }

    void refusesAFolderAndAnUnreadableFile()
    {
        std::atomic<int> progressState{0};
        AssignmentImport import;
        QString error = import.Import(m_dir.path(), progressState).message();
        QVERIFY2(error.contains(QStringLiteral("文件夹")), qPrintable(error));

        if (geteuid() == 0)
            QSKIP("running as root: file permissions do not stop reading");
        const QString file = writeFixture(QStringLiteral("xlsx"), assignmentFixture(), QStringLiteral("locked"));
        QVERIFY(QFile::setPermissions(file, QFileDevice::Permissions()));
        error = import.Import(file, progressState).message();
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY2(error.contains(QStringLiteral("无法打开")), qPrintable(error));
    }

    void refusesAPasswordProtectedXls()
    {
        const QString file = path(QStringLiteral("locked.xls"));
        QVERIFY(writeFile(file, XlsFixture::workbook(assignmentFixture(), true)));
        const SheetReader::Result read = SheetReader::Read(file);
        QVERIFY(!read.ok());
        QVERIFY2(read.error().contains(QStringLiteral("文件受密码保护")), qPrintable(read.error()));
    }

    void refusesAPasswordProtectedOds()
    {
        if (!zipAvailable())
            QSKIP("the zip program is not installed: no .ods fixture");
        const QByteArray manifest =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
            "<manifest:file-entry manifest:full-path=\"/\" manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>"
            "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\">"
            "<manifest:encryption-data manifest:checksum-type=\"SHA1/1K\" manifest:checksum=\"AAAA\"/>"
            "</manifest:file-entry></manifest:manifest>";
        const QString file = path(QStringLiteral("locked.ods"));
        QVERIFY(writeOdsPackage(file, QByteArray(64, '\x11'), manifest));
        const SheetReader::Result read = SheetReader::Read(file);
        QVERIFY(!read.ok());
        QVERIFY2(read.error().contains(QStringLiteral("文件受密码保护")), qPrintable(read.error()));
    }

    // Damaged copies of a good workbook: read or refused, never a crash.
    void damagedWorkbooksNeverCrash_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("xlsx") << QStringLiteral("xlsx");
        QTest::newRow("ods") << QStringLiteral("ods");
        QTest::newRow("xls") << QStringLiteral("xls");
    }

    void damagedWorkbooksNeverCrash()
    {
        QFETCH(QString, format);
        if (format == QLatin1String("ods") && !zipAvailable())
            QSKIP("the zip program is not installed: no .ods fixture");
        const QString good = writeFixture(format, assignmentFixture(), QStringLiteral("intact"));
        QVERIFY(!good.isEmpty());
        QFile source(good);
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        const QString file = path(QStringLiteral("damaged.") + format);
        for (int step = 1; step < 16; ++step) {
            const qsizetype cut = bytes.size() * step / 16;
            QVERIFY(writeFile(file, bytes.left(cut)));
            const SheetReader::Result truncated = SheetReader::Read(file);
            QVERIFY(truncated.ok() || truncated.error().contains(QDir::toNativeSeparators(file)));

            QByteArray flipped = bytes;
            for (qsizetype i = cut; i < flipped.size(); i += 97)
                flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
            QVERIFY(writeFile(file, flipped));
            const SheetReader::Result scrambled = SheetReader::Read(file);
            QVERIFY(scrambled.ok() || scrambled.error().contains(QDir::toNativeSeparators(file)));
        }
    }

    // Sheets that are refused, with the reason naming the cell, the rows or
    // the columns, and sheets that are read, with what is said about them.
    // Only the header row and the class rows are held to the length of a
    // cell; a refusal keeps the import before it.
    void sheetsRefusedOrNoted_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QString>("outcome"); // "read", "file" or "refused"
        QTest::addColumn<QString>("said");    // a piece of the refusal, or of the notes ("" for none)
        QTest::addColumn<int>("classes");

        const QString longText = QString(250, QChar(u'长'));
        const QStringList header{QStringLiteral("年级"), QStringLiteral("班级"), QStringLiteral("语文"), QStringLiteral("数学")};
        const QStringList first{QStringLiteral("七年级"), QStringLiteral("七(1)班"), QStringLiteral("王海燕"), QStringLiteral("李建国")};
        const QStringList second{QStringLiteral("七年级"), QStringLiteral("七(2)班"), QStringLiteral("王海燕"), QStringLiteral("赵丽华")};

        QTest::newRow("a long note under the table")
            << QList<QStringList>{header, first, second, {}, {QStringLiteral("备注：") + longText}} << "read" << ""
            << 2;
        QTest::newRow("a long text beside the table, in a row that is no class")
            << QList<QStringList>{header, first, {QStringLiteral("说明"), QString(), QString(), QString(), longText}, second}
            << "read" << "" << 2;
        QTest::newRow("a long teacher name in a class row")
            << QList<QStringList>{header, first, {QStringLiteral("七年级"), QStringLiteral("七(2)班"), longText}} << "file"
            << QStringLiteral("单元格 C3 的文字超过 200 个字符的上限") << 0;
        QTest::newRow("a long text at the end of a class row")
            << QList<QStringList>{header, first + QStringList(21, QString()) + QStringList{longText}} << "file"
            << QStringLiteral("单元格 Z2 的文字超过 200 个字符的上限") << 0;
        QTest::newRow("a long text in the header row")
            << QList<QStringList>{header + QStringList{QString(), longText}, first} << "file"
            << QStringLiteral("单元格 F1 的文字超过 200 个字符的上限") << 0;
        QTest::newRow("two classes with one name")
            << QList<QStringList>{header, first, second, first} << "refused"
            << QStringLiteral("班级名称重复：第 2、4 行都是“七(1)班”") << 0;
        QTest::newRow("one name, once with blanks around it")
            << QList<QStringList>{header, first, {QStringLiteral("七年级"), QStringLiteral(" 七(1)班\u3000")}} << "refused"
            << QStringLiteral("第 2、3 行都是“七(1)班”") << 0;
        QTest::newRow("two subjects with one name")
            << QList<QStringList>{header + QStringList{QStringLiteral(" 语文")}, first} << "refused"
            << QStringLiteral("第 1 行的科目名称重复：C、E 列都是“语文”") << 0;
        QTest::newRow("a blank header cell before more subjects")
            << QList<QStringList>{{QStringLiteral("年级"), QStringLiteral("班级"), QStringLiteral("语文"), QStringLiteral(" "),
                                   QStringLiteral("英语"), QStringLiteral("体育")},
                                  first}
            << "read" << QStringLiteral("第 1 行 D 列是空白，任教科目到此为止；其后的 E 列“英语”、F 列“体育” 不会作为科目导入")
            << 1;
        QTest::newRow("a teacher under no subject")
            << QList<QStringList>{header, first + QStringList{QString(), QStringLiteral("钱志强")}} << "read"
            << QStringLiteral("班级七(1)班在科目之外的列有内容（F 列“钱志强”）") << 1;
    }

    void sheetsRefusedOrNoted()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, outcome);
        QFETCH(QString, said);
        QFETCH(int, classes);
        const QString good = writeFixture(QStringLiteral("xlsx"), assignmentFixture(), QStringLiteral("earlier"));
        const QString file = writeFixture(QStringLiteral("xlsx"), sheetOf(rows), QStringLiteral("sheet"));
        QVERIFY(!good.isEmpty() && !file.isEmpty());

        AssignmentImport import;
        std::atomic<int> progressState{-1};
        QVERIFY(import.Import(good, progressState).ok());
        const QStringList earlier = import.assignmentRows;
        const Status status = import.Import(file, progressState);
        if (outcome == QLatin1String("read")) {
            QVERIFY2(status.ok(), qPrintable(status.message()));
            QCOMPARE(import.classCount(), classes);
            const QString notes = import.Notes().join(QLatin1Char('\n'));
            if (said.isEmpty())
                QVERIFY2(notes.isEmpty(), qPrintable(notes));
            else
                QVERIFY2(notes.contains(said), qPrintable(notes));
            return;
        }
        QVERIFY(status.is(outcome == QLatin1String("file") ? Failure::Kind::File : Failure::Kind::Refused));
        QVERIFY2(status.message().contains(said), qPrintable(status.message()));
        QVERIFY2(status.message().contains(QDir::toNativeSeparators(file)), qPrintable(status.message()));
        QCOMPARE(progressState.load(), ExcelProgress::Failed);
        QCOMPARE(import.assignmentRows, earlier);
    }

    // Subject, class and teacher names lose their outer blanks (a full-width
    // one too); a teacher cell of blanks alone is no teacher. The grade is
    // compared as written.
    void namesLoseTheirBlanks()
    {
        const QString file = writeFixture(
            QStringLiteral("xlsx"),
            sheetOf({{QStringLiteral("年级"), QStringLiteral("班级"), QStringLiteral(" 语文 "), QStringLiteral("\u3000数学\t")},
                     {QStringLiteral("七年级"), QStringLiteral("  七(1)班 "), QStringLiteral(" 王海燕\u3000"), QStringLiteral("   ")}}),
            QStringLiteral("blanks"));
        AssignmentImport import;
        std::atomic<int> progressState{0};
        QVERIFY(import.Import(file, progressState).ok());
        QCOMPARE(import.subjectSlots.mid(0, 3), (QStringList{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("H")}));
        QCOMPARE(import.classCount(), 1);
        QCOMPARE(import.className(0), QStringLiteral("七(1)班"));
        QCOMPARE(import.teacher(0, 1), QStringLiteral("王海燕"));
        QCOMPARE(import.teacher(0, 2), QStringLiteral("H"));
        QVERIFY(import.Teachers().size() == 1);
    }

    // A re-import with the subject columns in another order: the weekly
    // counts and zones stay with their subjects' names, in the same
    // transaction as the assignment; a save the database no longer matches
    // is refused, and a failing write leaves every table as it was.
    void reimportKeepsDataWithItsSubject()
    {
        ScratchDatabase db;
        const auto importRows = [&](const QList<QStringList>& rows, const QString& name) {
            AssignmentImport import;
            std::atomic<int> progressState{0};
            const Status read = import.Import(writeFixture(QStringLiteral("xlsx"), sheetOf(rows), name), progressState);
            return read.ok() ? import : AssignmentImport();
        };
        const AssignmentImport first = importRows(
            {{QStringLiteral("年级"), QStringLiteral("班级"), QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语")},
             {QStringLiteral("七年级"), QStringLiteral("七(1)班"), QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("赵")}},
            QStringLiteral("first"));
        QVERIFY(first.Save().ok());
        PlanStore::saveWeeklyPlanRow(6, 12, {6, 4, 2});
        std::vector<QStringList> zones;
        for (int s = 0; s < Plan::kSubjectSlots; ++s)
            zones.push_back({QStringLiteral("七(1)班"), s == 0 ? QStringLiteral("012") : QStringLiteral("9"), "9", "9", "9", "9", "9", "9"});
        PlanStore::saveSubjectZones(zones);

        const AssignmentImport reordered = importRows(
            {{QStringLiteral("年级"), QStringLiteral("班级"), QStringLiteral("英语"), QStringLiteral("数学"), QStringLiteral("语文")},
             {QStringLiteral("七年级"), QStringLiteral("七(1)班"), QStringLiteral("赵"), QStringLiteral("李"), QStringLiteral("王")}},
            QStringLiteral("reordered"));
        QCOMPARE(reordered.classCount(), 1);

        // Confirmed, then the subjects change under it: nothing is written.
        const SubjectRemap confirmed = reordered.PrepareSave();
        QCOMPARE(AssignmentImport::MovedLines(confirmed),
                 (QStringList{QStringLiteral("语文：第 1 → 第 3 个科目"), QStringLiteral("英语：第 3 → 第 1 个科目")}));
        PlanStore::saveSubjects({QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"), QStringLiteral("音乐")});
        const QByteArray changed = fileHash(db.path());
        const Status stale = reordered.Save(confirmed);
        QVERIFY(stale.is(Failure::Kind::Refused));
        QCOMPARE(fileHash(db.path()), changed);
        PlanStore::saveSubjects({QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语")});

        // The assignment cannot be written: the counts have not moved either.
        injectAssignmentFailure();
        const QByteArray before = fileHash(db.path());
        QVERIFY_THROWS_EXCEPTION(StoreError, (void)reordered.Save(reordered.PrepareSave()));
        QCOMPARE(fileHash(db.path()), before);
        Database::exec(QStringLiteral("DROP TRIGGER fail_assignment"), {}, QStringLiteral("test"));

        QVERIFY(reordered.Save(reordered.PrepareSave()).ok());
        SchoolPlan plan;
        QVERIFY(PlanReader::Load(plan).ok());
        QCOMPARE(plan.SubjectNumber(QStringLiteral("语文")), 3);
        QCOMPARE(plan.plan(6, 3), 6); // 语文
        QCOMPARE(plan.plan(6, 2), 4); // 数学
        QCOMPARE(plan.plan(6, 1), 2); // 英语
        QCOMPARE(plan.subjectZones[SchoolPlan::zoneIndex(0, 3, 0)], QStringLiteral("012"));
        QCOMPARE(plan.subjectZones[SchoolPlan::zoneIndex(0, 1, 0)], ZoneText::defaultZone(plan.periodCount));
        QCOMPARE(plan.teacher(0, 3), QStringLiteral("王"));
    }

    void saveRefusesWithoutClasses()
    {
        ScratchDatabase db;
        PlanStore::saveAssignments({assignmentRow({QStringLiteral("七年级"), QStringLiteral("七(1)班")})});
        AssignmentImport import; // nothing imported yet
        QVERIFY(import.Save().is(Failure::Kind::Refused));
        QCOMPARE(import.Save().message(), QStringLiteral("未设置教师分工！"));

        // A sheet without an accepted class row refuses the same way.
        const QString file = path(QStringLiteral("noclass.csv"));
        QVERIFY(writeFile(file, "年级,班级,语文\r\n7年级,七(1)班,王海燕\r\n"));
        std::atomic<int> progressState{0};
        QVERIFY(import.Import(file, progressState).ok());
        QCOMPARE(import.Save().message(), QStringLiteral("未设置教师分工！"));

        QSqlQuery query = Database::exec(QStringLiteral("select 班级 from 教师分工 order by 编号 asc"), {},
                                         QStringLiteral("test"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("七(1)班"));
    }

    // The second worksheet: teachers' times off by day. A damaged row, an
    // unknown teacher and a column that is no day are named and left out.
    void secondSheetGivesTimesOff()
    {
        ScratchDatabase db;
        const FixtureSheet off{
            textCell(0, 0, QStringLiteral("教师")), textCell(0, 1, QStringLiteral("星期一")),
            textCell(0, 2, QStringLiteral("周三")), textCell(0, 3, QStringLiteral("备注")),
            textCell(1, 0, QStringLiteral("王海燕")), textCell(1, 1, QStringLiteral("全天")), textCell(1, 2, QStringLiteral("1,2")),
            textCell(1, 3, QStringLiteral("教研")),
            textCell(2, 0, QStringLiteral("钱志强")), textCell(2, 1, QStringLiteral("上午")), textCell(2, 2, QStringLiteral("第九节")),
            textCell(3, 0, QStringLiteral("无名氏")), textCell(3, 1, QStringLiteral("全天")),
            textCell(4, 0, QStringLiteral("周晓明")), textCell(4, 2, QStringLiteral("下午")), numberCell(4, 1, 3),
        };
        const QString file = path(QStringLiteral("off.xlsx"));
        QVERIFY(writeXlsx(file, assignmentFixture(), {}, &off));
        AssignmentImport import;
        std::atomic<int> progressState{0};
        const Status imported = import.Import(file, progressState);
        QVERIFY2(imported.ok(), qPrintable(imported.message()));
        QVERIFY(import.hasTeacherOff);
        const QStringList notes = import.Notes();
        const QStringList expected{
            QStringLiteral("第二个工作表（教师不排课）：2 位教师有不排课的时间，保存时替换原有的教师不排课设置。"),
            QStringLiteral("注意：第二个工作表（教师不排课）第 1 行的 D 列“备注” 不是星期几，这些列没有导入。"),
            QStringLiteral("注意：第二个工作表（教师不排课）第 3 行（钱志强）C 列“第九节”不是全天、上午、下午或 1 到 9 的节次，这一行没有导入。"),
            QStringLiteral("注意：第二个工作表（教师不排课）第 4 行（无名氏）的教师不在教师分工中，这一行没有导入。"),
        };
        QVERIFY2(notes.mid(notes.size() - expected.size()) == expected, qPrintable(notes.join(QLatin1Char('\n'))));
        QVERIFY(import.Save().ok());
        QStringList stored;
        for (const QStringList& row : tableRows(QStringLiteral("教师不排课")))
            stored << row.join(QLatin1Char(','));
        QCOMPARE(stored, (QStringList{"王海燕,1,0", "王海燕,3,1", "王海燕,3,2", "周晓明,1,3", "周晓明,3,下午"}));

        // A workbook without such a sheet leaves them as they are.
        const QString plain = writeFixture(QStringLiteral("xlsx"), assignmentFixture(), QStringLiteral("plain"));
        AssignmentImport again;
        QVERIFY(again.Import(plain, progressState).ok());
        QVERIFY(!again.hasTeacherOff);
        QVERIFY(again.Save().ok());
        QCOMPARE(tableRows(QStringLiteral("教师不排课")).size(), size_t(5));
    }

    void saveReplacesSubjectsAndAssignment()
    {
        ScratchDatabase db;
        // A larger earlier assignment: its extra rows must become placeholders.
        std::vector<QStringList> earlier;
        for (int k = 0; k < 5; ++k)
            earlier.push_back(assignmentRow({QStringLiteral("八年级"), QStringLiteral("旧%1班").arg(k)}));
        PlanStore::saveAssignments(earlier);

        const QString file = writeFixture(QStringLiteral("xlsx"), assignmentFixture(), QStringLiteral("save"));
        AssignmentImport import;
        std::atomic<int> progressState{0};
        QVERIFY(import.Import(file, progressState).ok());
        QVERIFY(import.Save().ok());

        QSqlQuery subjects = Database::exec(QStringLiteral("select 科目 from 任教科目 order by 编号 asc"), {},
                                            QStringLiteral("test"));
        QStringList names;
        while (subjects.next())
            names << subjects.value(0).toString();
        QCOMPARE(names.size(), 24);
        QCOMPARE(names.mid(0, 3), (QStringList{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("H")}));

        QSqlQuery rows = Database::exec(QStringLiteral("select * from 教师分工 order by 编号 asc"), {},
                                        QStringLiteral("test"));
        std::vector<QStringList> stored;
        while (rows.next()) {
            QStringList row;
            for (int c = 1; c <= 26; ++c)
                row << rows.value(c).toString();
            stored.push_back(row);
        }
        QCOMPARE(static_cast<int>(stored.size()), 5);
        QCOMPARE(stored[0], import.assignmentRows.mid(0, 26));
        QCOMPARE(stored[0][4], QStringLiteral("李建国")); // the teacher under the header gap
        QCOMPARE(stored[0][25], QStringLiteral("末列教师"));
        QCOMPARE(stored[1][0], QStringLiteral("初一"));
        QCOMPARE(stored[2][1], QStringLiteral("九(1)班"));
        QCOMPARE(stored[3], QStringList(26, QStringLiteral("H")));
        QCOMPARE(stored[4], QStringList(26, QStringLiteral("H")));
    }
};

QTEST_GUILESS_MAIN(AssignmentImportTest)
#include "AssignmentImportTest.moc"
