#include "DialogTestSupport.h"

#include "dialogs/plan/CSchoolDlg.h"
#include "dialogs/plan/SchoolDetailsLogic.h"
#include "store/PlanStore.h"
#include "store/SchoolStore.h"
#include "store/StoreError.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

namespace {

const QString kSchool = QStringLiteral("学校信息");

void storeRow(const QVariant& name, const QVariant& term, const QVariant& morning)
{
    Database::exec(QStringLiteral("INSERT INTO \"学校信息\" (\"学校名称\", \"学期\", \"上午节数\") VALUES (?, ?, ?)"),
                   {name, term, morning}, QStringLiteral("test"));
}

// A click in the middle of a button, where a user presses it.
void press(QPushButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

// Text typed through an input method, as Chinese is typed: the committed words reach the editor.
void type(QWidget* editor, const QString& text)
{
    QTest::mouseClick(editor, Qt::LeftButton, {}, editor->rect().center());
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(editor, &commit);
}

} // namespace

class SchoolDetailsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What is read for the rows stored.
    void load_data()
    {
        QTest::addColumn<QVariantList>("row"); // name, term, morning; empty: no row
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("term");
        QTest::addColumn<int>("morning");
        QTest::newRow("no row gives the defaults") << QVariantList{} << "" << "" << 4;
        QTest::newRow("stored row") << QVariantList{"第一中学", "2026—2027学年第一学期", "5"} << "第一中学"
                                    << "2026—2027学年第一学期" << 5;
        QTest::newRow("empty marker and NULL read as empty")
            << QVariantList{"H", QVariant(), "3"} << "" << "" << 3;
        QTest::newRow("a count that is not a number gives the default")
            << QVariantList{"实验小学", "", "H"} << "实验小学" << "" << 4;
    }
    void load()
    {
        QFETCH(QVariantList, row);
        QFETCH(QString, name);
        QFETCH(QString, term);
        QFETCH(int, morning);
        ScratchDatabase db;
        if (!row.isEmpty())
            storeRow(row[0], row[1], row[2]);
        const SchoolDetails details = SchoolStore::Load();
        QCOMPARE(details.name, name);
        QCOMPARE(details.term, term);
        QCOMPARE(details.morningPeriods, morning);
    }

    // An older file opened for reading has no 学校信息: the defaults, and the
    // file is left alone.
    void missingTableGivesDefaults()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vorlat.db"));
        Database::open(path);
        Database::exec(QStringLiteral("DROP TABLE \"学校信息\""), {}, QStringLiteral("test"));
        Database::close();
        const QByteArray before = fileHash(path);
        Database::open(path, Database::Opening::ReadOnly);
        const SchoolDetails details = SchoolStore::Load();
        QCOMPARE(details.name, QString());
        QCOMPARE(details.morningPeriods, SchoolDetails::kDefaultMorningPeriods);
        QVERIFY_THROWS_EXCEPTION(StoreError, SchoolStore::Save(details));
        Database::close();
        QCOMPARE(fileHash(path), before);
    }

    // 保存 in the logic: what is written, or refused with nothing written.
    void save_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("morning");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QStringList>("stored"); // the one row after the save; empty: no row
        QTest::newRow("empty name allowed") << "" << 4 << false << QStringList{"H", "2026—2027学年第一学期", "4"};
        QTest::newRow("names trimmed") << "  第一中学 " << 3 << false
                                       << QStringList{"第一中学", "2026—2027学年第一学期", "3"};
        QTest::newRow("no morning periods") << "第一中学" << 0 << false
                                            << QStringList{"第一中学", "2026—2027学年第一学期", "0"};
        QTest::newRow("the whole day") << "第一中学" << 7 << false
                                       << QStringList{"第一中学", "2026—2027学年第一学期", "7"};
        QTest::newRow("beyond the day refused") << "第一中学" << 8 << true << QStringList{};
        QTest::newRow("negative refused") << "第一中学" << -1 << true << QStringList{};
    }
    void save()
    {
        QFETCH(QString, name);
        QFETCH(int, morning);
        QFETCH(bool, refused);
        QFETCH(QStringList, stored);
        ScratchDatabase db;
        PlanStore::saveWeek(5, 7);
        SchoolDetailsLogic logic;
        logic.load();
        QCOMPARE(logic.periods, 7);
        logic.details.name = name;
        logic.details.term = QStringLiteral("2026—2027学年第一学期");
        logic.details.morningPeriods = morning;
        const QString refusal = logic.save();
        QCOMPARE(!refusal.isEmpty(), refused);
        if (refused)
            QVERIFY2(refusal.contains(QStringLiteral("0 到 7")), qPrintable(refusal));
        const std::vector<QStringList> rows = tableRows(kSchool);
        QCOMPARE(rows, stored.isEmpty() ? std::vector<QStringList>{} : std::vector<QStringList>{stored});
    }

    // A second save changes the one row rather than adding another.
    void saveKeepsOneRow()
    {
        ScratchDatabase db;
        SchoolStore::Save({QStringLiteral("甲校"), QStringLiteral("秋季"), 4});
        SchoolStore::Save({QStringLiteral("乙校"), QString(), 5});
        QCOMPARE(tableRows(kSchool), (std::vector<QStringList>{{"乙校", "H", "5"}}));
    }

    // The dialog as a user works it: a morning count beyond the day is
    // refused with a message and the dialog stays open with nothing written;
    // a failed write shows the driver's words; a good count is saved and
    // closes the dialog.
    void dialogSavesAndRefuses()
    {
        ScratchDatabase db;
        PlanStore::saveWeek(5, 6);
        CSchoolDlg dialog;
        QVERIFY(dialog.openRefusal().isEmpty());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.morningBox()->value(), 4);

        type(dialog.nameEdit(), QStringLiteral("第一中学"));
        type(dialog.termEdit(), QStringLiteral("2026—2027学年第一学期"));
        dialog.morningBox()->selectAll();
        QTest::keyClicks(dialog.morningBox(), QStringLiteral("8"));
        {
            MessageBoxAnswerer answer;
            press(dialog.saveButton());
            QTRY_VERIFY(answer.answered());
            QVERIFY2(answer.text().contains(QStringLiteral("上午节数")), qPrintable(answer.text()));
        }
        QVERIFY(dialog.isVisible());
        QVERIFY(tableRows(kSchool).empty());

        dialog.morningBox()->selectAll();
        QTest::keyClicks(dialog.morningBox(), QStringLiteral("5"));
        injectWriteFailure(kSchool);
        {
            MessageBoxAnswerer answer;
            press(dialog.saveButton());
            QTRY_VERIFY(answer.answered());
            QVERIFY2(answer.text().contains(QStringLiteral("injected failure")), qPrintable(answer.text()));
        }
        QVERIFY(dialog.isVisible());
        QVERIFY(tableRows(kSchool).empty());

        for (const char* event : {"UPDATE", "INSERT"})
            Database::exec(QStringLiteral("DROP TRIGGER \"fail_学校信息_%1\"").arg(QString::fromLatin1(event)), {},
                           QStringLiteral("test"));
        press(dialog.saveButton());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(tableRows(kSchool), (std::vector<QStringList>{{"第一中学", "2026—2027学年第一学期", "5"}}));
    }
};

QTEST_MAIN(SchoolDetailsTest)
#include "SchoolDetailsTest.moc"
