#include "DialogTestSupport.h"
#include "excel/SheetFixtures.h"
#include "excel/XlsFixture.h"

#include "dialogs/plan/AssignmentTable.h"
#include "dialogs/plan/AssignmentView.h"
#include "dialogs/plan/CFenGongDlg.h"
#include "store/PlanStore.h"

#include <QLabel>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <iconv.h>

namespace {

// Two subjects (a gap in E1 ends the list), three classes, one row with a
// misspelt grade and one with the grade written as "初一".
FixtureSheet sampleSheet()
{
    return {
        textCell(0, 0, QStringLiteral("年级")), textCell(0, 1, QStringLiteral("班级")),
        textCell(0, 2, QStringLiteral("语文")), textCell(0, 3, QStringLiteral("数学")),
        textCell(0, 5, QStringLiteral("体育")),
        textCell(1, 0, QStringLiteral("七年级")), textCell(1, 1, QStringLiteral("七(1)班")),
        textCell(1, 2, QStringLiteral("王老师")), textCell(1, 3, QStringLiteral("李老师")),
        textCell(2, 0, QStringLiteral("7年级")), textCell(2, 1, QStringLiteral("七(2)班")),
        textCell(2, 2, QStringLiteral("王老师")),
        textCell(3, 0, QStringLiteral("初一")), textCell(3, 1, QStringLiteral("七(3)班")),
        textCell(3, 3, QStringLiteral("李老师")), textCell(3, 5, QStringLiteral("赵老师")),
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

QString writeSample(const QString& dir, const QString& kind)
{
    const QString path = dir + QStringLiteral("/分工.") + kind;
    bool ok = false;
    if (kind == QLatin1String("xlsx"))
        ok = writeXlsx(path, sampleSheet());
    else if (kind == QLatin1String("xls"))
        ok = writeFile(path, XlsFixture::workbook(sampleSheet()));
    else if (kind == QLatin1String("csv"))
        ok = writeFile(path, toGb18030(QString::fromUtf8(csvText(sampleSheet()))));
    return ok ? path : QString();
}

// Answers the next message box by clicking the button with the given text in
// its middle, as a user would, and keeps the box's text.
class ButtonAnswerer : public QObject
{
public:
    explicit ButtonAnswerer(const QString& button) : m_button(button)
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    bool answered() const { return m_answered; }
    const QString& text() const { return m_text; }
    const QString& defaultButton() const { return m_default; }

private:
    void poll()
    {
        if (++m_polls > 250) {
            m_timer.stop();
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_timer.stop();
        m_text = box->text();
        m_default = box->defaultButton() ? box->defaultButton()->text() : QString();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == m_button) {
                m_answered = true;
                QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
                return;
            }
        box->close();
    }

    QString m_button;
    QTimer m_timer;
    int m_polls = 0;
    bool m_answered = false;
    QString m_text;
    QString m_default;
};

// A stored plan of three subjects with 七年级's counts 6, 5, 2 and a fixed
// 体育 lesson, as a first import and the lesson plan dialog leave it.
void storeThreeSubjects()
{
    QStringList subjects{QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("体育")};
    while (subjects.size() < 24)
        subjects << QStringLiteral("H");
    PlanStore::saveSubjects(subjects);
    QStringList row{QStringLiteral("七年级"), QStringLiteral("七(1)班")};
    while (row.size() < 26)
        row << QStringLiteral("H");
    PlanStore::saveAssignments({row});
    PlanStore::saveWeeklyPlanRow(6, 13, {6, 5, 2});
    PlanStore::saveFixedLessons({{QStringLiteral("七(1)班"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("体育")}});
}

// The same subjects with two classes and their teachers (体育 untaught in 七(2)班).
void storeTwoClasses()
{
    storeThreeSubjects();
    QStringList first{QStringLiteral("七年级"), QStringLiteral("七(1)班"), QStringLiteral("王老师"),
                      QStringLiteral("李老师"), QStringLiteral("赵老师")};
    QStringList second{QStringLiteral("七年级"), QStringLiteral("七(2)班"), QStringLiteral("王老师"),
                       QStringLiteral("刘老师"), QStringLiteral("H")};
    while (first.size() < 26)
        first << QStringLiteral("H");
    while (second.size() < 26)
        second << QStringLiteral("H");
    PlanStore::saveAssignments({first, second});
}

// A double-click in the middle of a cell: the first click, then the second.
void doubleClick(ReportList* list, int row, int column)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(row, column));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(row, column));
}

// Types into a cell editor: ASCII by keys, Chinese as an input method commits it.
void typeText(QWidget* editor, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClick(editor, static_cast<char>(ch.unicode()));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(ch));
            QApplication::sendEvent(editor, &commit);
        }
    }
}

// The line editor open in a list cell, with the keyboard focus; null when none is open.
QLineEdit* openEditor(const ReportList* list)
{
    auto* editor = list->viewport()->findChild<QLineEdit*>();
    return editor && editor->isVisible() && editor->hasFocus() ? editor : nullptr;
}

QStringList listRow(const ReportList* list, int row)
{
    QStringList texts;
    for (int c = 0; c < 6; ++c)
        texts << list->text(row, c);
    return texts;
}

} // namespace

class AssignmentDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resultRows()
    {
        AssignmentImport import;
        import.subjectSlots = QStringList(24, QStringLiteral("H"));
        import.subjectSlots[0] = QStringLiteral("语文");
        import.subjectSlots[1] = QStringLiteral("数学");
        import.subjectSlots[3] = QStringLiteral("体育"); // after the gap: not shown
        QStringList row{QStringLiteral("七年级"), QStringLiteral("七(1)班"), QStringLiteral("H"), QStringLiteral("李")};
        while (row.size() < 26)
            row << QStringLiteral("赵");
        import.assignmentRows = row;
        const std::vector<QStringList> rows = AssignmentView::resultRows(import);
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[0], (QStringList{"年级", "班级", "语文", "数学"}));
        QCOMPARE(rows[1], (QStringList{"七年级", "七(1)班", "", "李"}));
        QVERIFY(AssignmentView::skippedSummary(import).isEmpty());
        import.skippedRows.push_back({5, QStringLiteral("年级“7年级”无法识别")});
        QCOMPARE(AssignmentView::skippedSummary(import), QStringLiteral("未导入 1 行：第 5 行：年级“7年级”无法识别"));
    }

    // The table shows what is stored; only a teacher cell of a subject shown
    // can be changed, and a change is told from the text stored.
    void storedTableCells_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("a teacher, blanks dropped") << 1 << 3 << "  孙老师 " << "孙老师" << "孙老师";
        QTest::newRow("full-width blanks dropped") << 2 << 2 << QStringLiteral("\u3000周老师\u3000") << "周老师" << "周老师";
        QTest::newRow("an empty cell is no teacher") << 1 << 4 << "" << "" << "H";
        QTest::newRow("blanks only are no teacher") << 1 << 2 << "   " << "" << "H";
        QTest::newRow("a teacher where there was none") << 2 << 4 << "钱老师" << "钱老师" << "钱老师";
        QTest::newRow("the same teacher again") << 1 << 2 << "王老师 " << "王老师" << "王老师";
        QTest::newRow("header row") << 0 << 2 << "化学" << "语文" << "";
        QTest::newRow("grade") << 1 << 0 << "八年级" << "七年级" << "七年级";
        QTest::newRow("class name") << 1 << 1 << "七(9)班" << "七(1)班" << "七(1)班";
        QTest::newRow("beyond the subjects") << 1 << 5 << "吴老师" << "" << "H";
    }
    void storedTableCells()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        ScratchDatabase db;
        storeTwoClasses();
        AssignmentTable table;
        table.loadStored();
        QCOMPARE(table.origin(), AssignmentTable::Origin::Stored);
        const std::vector<QStringList> rows = table.rows();
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows[0], (QStringList{"年级", "班级", "语文", "数学", "体育"}));
        QCOMPARE(rows[2], (QStringList{"七年级", "七(2)班", "王老师", "刘老师", ""}));

        const bool teacherCell = row >= 1 && column >= 2 && column <= 4;
        QCOMPARE(table.isTeacherCell(row, column), teacherCell);
        const QString before = table.rows()[size_t(row)].value(column);
        QCOMPARE(table.setTeacher(row, column, typed), shown);
        QCOMPARE(table.rows()[size_t(row)].value(column), shown);
        if (row >= 1)
            QCOMPARE(table.assignment().assignmentRows[(row - 1) * 26 + column], stored);
        QCOMPARE(table.isModified(), shown != before);
        QCOMPARE(table.isChanged(row, column), shown != before);
        // Back to what was stored: nothing is changed any more.
        table.setTeacher(row, column, before);
        QVERIFY(!table.isModified());
    }

    // Saving changed teachers rewrites 教师分工 alone; what is kept by subject
    // stays. When another program changed the assignment after it was read,
    // nothing is written.
    void storedTableSave()
    {
        ScratchDatabase db;
        storeTwoClasses();
        const std::vector<QStringList> subjects = tableRows(Schema::kSubjectsTable);
        const std::vector<QStringList> weekly = tableRows(Schema::kWeeklyPlanTable);
        const std::vector<QStringList> fixed = tableRows(Schema::kFixedTable);
        AssignmentTable table;
        table.loadStored();
        table.setTeacher(1, 3, QStringLiteral("孙老师"));
        table.setTeacher(2, 2, QString());
        QCOMPARE(table.changedCount(), 2);
        QVERIFY(table.SaveChanges().ok());
        const std::vector<QStringList> classes = tableRows(Schema::kAssignmentsTable);
        QCOMPARE(classes[0].mid(0, 5), (QStringList{"七年级", "七(1)班", "王老师", "孙老师", "赵老师"}));
        QCOMPARE(classes[1].mid(0, 5), (QStringList{"七年级", "七(2)班", "H", "刘老师", "H"}));
        QCOMPARE(tableRows(Schema::kSubjectsTable), subjects);
        QCOMPARE(tableRows(Schema::kWeeklyPlanTable), weekly);
        QCOMPARE(tableRows(Schema::kFixedTable), fixed);

        AssignmentTable stale;
        stale.loadStored();
        stale.setTeacher(1, 2, QStringLiteral("钱老师"));
        storeTwoClasses(); // another program puts the old assignment back
        const QByteArray before = fileHash(db.path());
        const Status refused = stale.SaveChanges();
        QVERIFY(!refused.ok());
        QVERIFY2(refused.message().contains(QStringLiteral("被其他程序改动")), qPrintable(refused.message()));
        QCOMPARE(fileHash(db.path()), before);
    }

    // A teacher changed in an import is part of what "保存" saves as the import.
    void importedTableChange()
    {
        AssignmentImport import;
        import.subjectSlots = QStringList(24, QStringLiteral("H"));
        import.subjectSlots[0] = QStringLiteral("语文");
        QStringList row{QStringLiteral("七年级"), QStringLiteral("七(1)班"), QStringLiteral("王老师")};
        while (row.size() < 26)
            row << QStringLiteral("H");
        import.assignmentRows = row;
        AssignmentTable table;
        table.takeImport(import);
        QCOMPARE(table.origin(), AssignmentTable::Origin::Imported);
        QCOMPARE(table.setTeacher(1, 2, QStringLiteral(" 孙老师")), QStringLiteral("孙老师"));
        QCOMPARE(table.assignment().teacher(0, 1), QStringLiteral("孙老师"));
        QCOMPARE(table.changedCount(), 1);
        QVERIFY(!table.isTeacherCell(1, 3));
    }

    // The dialog opens on the stored assignment. A double-click on a teacher
    // opens it for typing, Enter takes the text (and does not press "保存"),
    // F2 edits the cell that is current; "保存" writes the class's teachers
    // without a question. Esc after a change writes nothing.
    void changeOneTeacherInTheDialog()
    {
        ScratchDatabase db;
        storeTwoClasses();
        const std::vector<QStringList> subjects = tableRows(Schema::kSubjectsTable);
        const QByteArray stored = fileHash(db.path());
        for (const bool keep : {false, true}) {
            CFenGongDlg dialog;
            dialog.show();
            dialog.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            ReportList* list = dialog.list();
            QVERIFY(list->isVisible());
            QCOMPARE(list->rowCount(), 3);
            QCOMPARE(listRow(list, 0), (QStringList{"年级", "班级", "语文", "数学", "体育", ""}));
            QCOMPARE(listRow(list, 1), (QStringList{"七年级", "七(1)班", "王老师", "李老师", "赵老师", ""}));

            doubleClick(list, 1, 3);
            auto* editor = openEditor(list);
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            typeText(editor, QStringLiteral(" 孙老师 "));
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(list->text(1, 3), QStringLiteral("孙老师"));
            QVERIFY(dialog.isVisible());
            QCOMPARE(fileHash(db.path()), stored);
            QTRY_COMPARE(list->currentRow(), 2); // Enter went on to the next class
            QCOMPARE(list->currentColumn(), 3);
            QTest::keyClick(list, Qt::Key_Return); // not editing: still not "保存"
            QVERIFY(dialog.isVisible());
            QCOMPARE(fileHash(db.path()), stored);

            // A grade or class name does not open for typing.
            doubleClick(list, 2, 1);
            QVERIFY(!openEditor(list));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(2, 2));
            QTest::keyClick(list, Qt::Key_F2);
            editor = openEditor(list);
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(editor, Qt::Key_Delete);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_COMPARE(list->text(2, 2), QString());
            QVERIFY2(dialog.skippedLabel()->text().contains(QStringLiteral("已修改 2 处")),
                     qPrintable(dialog.skippedLabel()->text()));

            if (!keep) {
                QTest::keyClick(&dialog, Qt::Key_Escape);
                QCOMPARE(dialog.result(), int(QDialog::Rejected));
                QCOMPARE(fileHash(db.path()), stored);
                continue;
            }
            MessageBoxAnswerer noQuestion;
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton, {}, dialog.saveButton()->rect().center());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!noQuestion.answered());
        }
        const std::vector<QStringList> classes = tableRows(Schema::kAssignmentsTable);
        QCOMPARE(classes[0].mid(0, 5), (QStringList{"七年级", "七(1)班", "王老师", "孙老师", "赵老师"}));
        QCOMPARE(classes[1].mid(0, 5), (QStringList{"七年级", "七(2)班", "H", "刘老师", "H"}));
        QCOMPARE(tableRows(Schema::kSubjectsTable), subjects);
        QCOMPARE(tableRows(Schema::kFixedTable).front().front(), QStringLiteral("七(1)班"));

        // Opened again, it shows what was saved; "保存" without a change writes nothing.
        CFenGongDlg again;
        again.show();
        QCOMPARE(listRow(again.list(), 1)[3], QStringLiteral("孙老师"));
        const QByteArray saved = fileHash(db.path());
        QTest::mouseClick(again.saveButton(), Qt::LeftButton, {}, again.saveButton()->rect().center());
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QCOMPARE(fileHash(db.path()), saved);
    }

    // An import over unsaved changes asks first; "取消" keeps the changes.
    void importOverChangesAsks()
    {
        ScratchDatabase db;
        storeTwoClasses();
        const QString path = writeSample(db.dir(), QStringLiteral("xlsx"));
        CFenGongDlg dialog;
        bool chosen = false;
        dialog.setFileChooser([&](QWidget*) {
            chosen = true;
            return path;
        });
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        ReportList* list = dialog.list();
        doubleClick(list, 1, 2);
        auto* editor = openEditor(list);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        typeText(editor, QStringLiteral("孙老师"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(list->text(1, 2), QStringLiteral("孙老师"));
        {
            ButtonAnswerer answer(QStringLiteral("取消"));
            QTest::mouseClick(dialog.importButton(), Qt::LeftButton, {}, dialog.importButton()->rect().center());
            QVERIFY(answer.answered());
            QVERIFY2(answer.text().contains(QStringLiteral("1 处任课教师还没有保存")), qPrintable(answer.text()));
            QCOMPARE(answer.defaultButton(), QStringLiteral("取消"));
        }
        QVERIFY(!chosen);
        QCOMPARE(list->text(1, 2), QStringLiteral("孙老师"));
        ButtonAnswerer answer(QStringLiteral("导入"));
        QTest::mouseClick(dialog.importButton(), Qt::LeftButton, {}, dialog.importButton()->rect().center());
        QVERIFY(answer.answered());
        QVERIFY(chosen);
        QCOMPARE(dialog.table().origin(), AssignmentTable::Origin::Imported);
        QCOMPARE(listRow(list, 2), (QStringList{"初一", "七(3)班", "", "李老师", "", ""}));
    }

    // The question before a save that moves or drops subjects lists both;
    // there is none when every subject stays where it is.
    void saveQuestion()
    {
        ScratchDatabase db;
        storeThreeSubjects();
        const auto questionFor = [](const QStringList& names) {
            QStringList slots = names;
            while (slots.size() < 24)
                slots << QStringLiteral("H");
            return AssignmentView::saveQuestion(SubjectRemap::Prepare(slots));
        };
        QVERIFY(questionFor({QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("体育")}).isEmpty());
        QVERIFY(questionFor({QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("体育"), QStringLiteral("美术")})
                    .isEmpty());
        const QString question = questionFor({QStringLiteral("数学"), QStringLiteral("语文"), QStringLiteral("美术")});
        QVERIFY2(question.contains(QStringLiteral("语文：第 1 → 第 2 个科目")), qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("数学：第 2 → 第 1 个科目")), qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("它们的设置将被删除")), qPrintable(question));
        QVERIFY2(question.contains(QStringLiteral("体育（原第 3 个科目）：周课时 1 个年级、固定科目 1 节")), qPrintable(question));
        QVERIFY(question.endsWith(QStringLiteral("是否保存？")));
    }

    // A re-import with the columns in another order and 体育 gone: "保存"
    // asks first; "取消" writes nothing, "保存" moves the counts with their
    // subjects and drops 体育's.
    void reimportAsksBeforeSaving()
    {
        ScratchDatabase db;
        storeThreeSubjects();
        const QString path = db.dir() + QStringLiteral("/新分工.xlsx");
        QVERIFY(writeXlsx(path, {textCell(0, 0, QStringLiteral("年级")), textCell(0, 1, QStringLiteral("班级")),
                                 textCell(0, 2, QStringLiteral("数学")), textCell(0, 3, QStringLiteral("语文")),
                                 textCell(1, 0, QStringLiteral("七年级")), textCell(1, 1, QStringLiteral("七(1)班")),
                                 textCell(1, 2, QStringLiteral("李老师")), textCell(1, 3, QStringLiteral("王老师"))}));
        CFenGongDlg dialog;
        dialog.setFileChooser([&](QWidget*) { return path; });
        dialog.show();
        QTest::mouseClick(dialog.importButton(), Qt::LeftButton, {}, dialog.importButton()->rect().center());
        QCOMPARE(dialog.list()->rowCount(), 2);

        const QByteArray before = fileHash(db.path());
        {
            ButtonAnswerer answer(QStringLiteral("取消"));
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton, {}, dialog.saveButton()->rect().center());
            QVERIFY(answer.answered());
            QVERIFY2(answer.text().contains(QStringLiteral("体育（原第 3 个科目）")), qPrintable(answer.text()));
            QCOMPARE(answer.defaultButton(), QStringLiteral("取消")); // Enter deletes nothing
        }
        QVERIFY(dialog.isVisible());
        QCOMPARE(fileHash(db.path()), before);

        ButtonAnswerer answer(QStringLiteral("保存"));
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton, {}, dialog.saveButton()->rect().center());
        QVERIFY(answer.answered());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const std::vector<QStringList> weekly = tableRows(Schema::kWeeklyPlanTable);
        QCOMPARE(weekly[6].mid(2, 3), (QStringList{QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("0")}));
        QCOMPARE(weekly[6][0], QStringLiteral("11"));
        QCOMPARE(tableRows(Schema::kFixedTable).front().front(), QStringLiteral("H"));
    }

    // The same sheet as .xlsx, .xls and GB18030 text, through the button:
    // the list shows the sheet, the skipped row is named under it, and
    // "保存" writes the subjects and the classes.
    void importThroughTheDialog_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("xls") << "xls";
        QTest::newRow("GB18030 csv") << "csv";
    }
    void importThroughTheDialog()
    {
        QFETCH(QString, kind);
        ScratchDatabase db;
        const QString path = writeSample(db.dir(), kind);
        QVERIFY(!path.isEmpty());
        CFenGongDlg dialog;
        dialog.setFileChooser([&](QWidget*) { return path; });
        dialog.show();
        QVERIFY(!dialog.list()->isVisible());
        QTest::mouseClick(dialog.importButton(), Qt::LeftButton);
        QVERIFY(dialog.list()->isVisible());
        QCOMPARE(dialog.list()->rowCount(), 3);
        QCOMPARE(listRow(dialog.list(), 0), (QStringList{"年级", "班级", "语文", "数学", "", ""}));
        QCOMPARE(listRow(dialog.list(), 2), (QStringList{"初一", "七(3)班", "", "李老师", "", ""}));
        QVERIFY2(dialog.skippedLabel()->toolTip().contains(QStringLiteral("第 3 行")),
                 qPrintable(dialog.skippedLabel()->toolTip()));
        // The blank E1 ends the subjects: the dialog says so, as vorlat-cli does.
        QVERIFY2(dialog.skippedLabel()->text().startsWith(QStringLiteral("注意：第 1 行 E 列是空白")),
                 qPrintable(dialog.skippedLabel()->text()));
        QVERIFY2(dialog.skippedLabel()->toolTip().contains(QStringLiteral("其后的 F 列“体育” 不会作为科目导入")),
                 qPrintable(dialog.skippedLabel()->toolTip()));

        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const std::vector<QStringList> subjects = tableRows(Schema::kSubjectsTable);
        QCOMPARE(subjects[0].front(), QStringLiteral("语文"));
        QCOMPARE(subjects[1].front(), QStringLiteral("数学"));
        QCOMPARE(subjects[2].front(), QStringLiteral("H"));
        const std::vector<QStringList> classes = tableRows(Schema::kAssignmentsTable);
        QCOMPARE(classes.size(), size_t(2));
        QCOMPARE(classes[1].mid(0, 4), (QStringList{"初一", "七(3)班", "H", "李老师"}));
        QCOMPARE(classes[1][5], QStringLiteral("赵老师")); // under the column after the gap
    }

    // A file that cannot be read: the reason in a message box, the earlier
    // import still shown and still the one "保存" would write.
    void damagedFileKeepsThePreviousImport_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a workbook") << QByteArray::fromRawData("PK\x03\x04 broken zip", sizeof("PK\x03\x04 broken zip") - 1) << "坏.xlsx" << "坏.xlsx";
        QTest::newRow("password") << XlsFixture::workbook(sampleSheet(), true) << "密码.xls" << "密码";
    }
    void damagedFileKeepsThePreviousImport()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        ScratchDatabase db;
        const QString good = writeSample(db.dir(), QStringLiteral("xlsx"));
        const QString bad = db.dir() + QLatin1Char('/') + name;
        QVERIFY(writeFile(bad, bytes));
        CFenGongDlg dialog;
        dialog.show();
        dialog.importFile(good);
        MessageBoxAnswerer answer;
        dialog.importFile(bad);
        QVERIFY(answer.answered());
        QVERIFY2(answer.text().contains(reason), qPrintable(answer.text()));
        QCOMPARE(dialog.currentImport().classCount(), 2);
        QCOMPARE(dialog.list()->rowCount(), 3);
    }

    // "保存" with nothing stored and nothing imported refuses; a failing
    // write shows the store's message and leaves the file as it was.
    void saveRefusalsAndFailure()
    {
        ScratchDatabase db;
        const QString good = writeSample(db.dir(), QStringLiteral("csv"));
        {
            CFenGongDlg dialog;
            dialog.show();
            MessageBoxAnswerer answer;
            QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
            QCOMPARE(answer.text(), QStringLiteral("未设置教师分工！"));
            QVERIFY(dialog.isVisible());
        }
        injectWriteFailure(Schema::kAssignmentsTable);
        const QByteArray before = fileHash(db.path());
        CFenGongDlg dialog;
        dialog.show();
        dialog.importFile(good);
        MessageBoxAnswerer answer;
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QVERIFY2(answer.text().contains(QStringLiteral("injected failure")), qPrintable(answer.text()));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.list()->rowCount(), 3);
        QCOMPARE(fileHash(db.path()), before);
    }

    void instructionPicture()
    {
        const QImage picture = assignmentInstructionPicture();
        QVERIFY(!picture.isNull());
        QVERIFY(picture.width() > picture.height());
    }
};

QTEST_MAIN(AssignmentDialogTest)
#include "AssignmentDialogTest.moc"
