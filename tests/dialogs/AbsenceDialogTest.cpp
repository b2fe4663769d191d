#include "DialogTestSupport.h"
#include "view/DailyFixture.h"

#include "dialogs/daily/AbsenceDialog.h"
#include "store/PlanStore.h"
#include "view/TimetableStore.h"
#include "view/daily/DailyStore.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>

namespace {

void saveSmallSchool()
{
    TimetableData school = smallSchool();
    PlanStore::saveWeek(school.dayCount, school.periodCount);
    PlanStore::saveSubjects(school.subjectNames);
    TimetableStore::SaveTimetable(school);
    DailyStore::SaveCalendar(springTerm());
}

// Clicks into a field where the user would, selects what it holds and types.
void typeInto(QWidget* field, const QString& text)
{
    // The click goes to the widget under the pointer there (a date field's
    // text, not its arrows).
    const QPoint point(field->width() / 3, field->height() / 2);
    QWidget* under = field->childAt(point);
    if (under)
        QTest::mouseClick(under, Qt::LeftButton, Qt::NoModifier, under->mapFrom(field, point));
    else
        QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, point);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(field, static_cast<char>(ch.unicode()));
        else // a character an input method would give
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

} // namespace

class AbsenceDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The office types an absence of two periods over two days and saves it:
    // it is recorded and its lessons are listed at once.
    void savedAbsenceListsItsLessons()
    {
        ScratchDatabase db;
        saveSmallSchool();
        AbsenceDialog dialog;
        QVERIFY(dialog.loadData());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        typeInto(dialog.teacherBox()->lineEdit(), QStringLiteral("张"));
        typeInto(dialog.fromEdit(), QStringLiteral("2026-03-09"));
        typeInto(dialog.toEdit(), QStringLiteral("2026-03-10"));
        QCOMPARE(dialog.fromEdit()->date(), QDate(2026, 3, 9));
        QCOMPARE(dialog.toEdit()->date(), QDate(2026, 3, 10));
        typeInto(dialog.periodsEdit(), QStringLiteral("1,2"));
        typeInto(dialog.reasonEdit(), QStringLiteral("病假"));
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);

        const std::vector<Absence> stored = DailyStore::ReadAbsences();
        QCOMPARE(stored.size(), size_t(1));
        QCOMPARE(stored.front().teacher, QStringLiteral("张"));
        QCOMPARE(stored.front().periods, (std::vector<int>{0, 1}));
        QCOMPARE(stored.front().reason, QStringLiteral("病假"));
        QCOMPARE(dialog.absenceTable()->rowCount(), 1);
        QCOMPARE(dialog.absenceTable()->item(0, 4)->text(), QStringLiteral("第1,2节"));

        // 张 teaches 初一(1)班 语文 in period 1 on Monday and in period 2 on Tuesday.
        QTableWidget* lessons = dialog.lessonTable();
        QCOMPARE(lessons->rowCount(), 2);
        QCOMPARE(lessons->item(0, 0)->text(), QStringLiteral("2026-03-09"));
        QCOMPARE(lessons->item(1, 0)->text(), QStringLiteral("2026-03-10"));
        for (int r = 0; r < 2; ++r) {
            QCOMPARE(lessons->item(r, 3)->text(), kClassA);
            QCOMPARE(lessons->item(r, 4)->text(), QStringLiteral("语文"));
        }
    }

    // A teacher the saved timetable does not have is refused in a message
    // box and nothing is written.
    void unknownTeacherRefused()
    {
        ScratchDatabase db;
        saveSmallSchool();
        AbsenceDialog dialog;
        QVERIFY(dialog.loadData());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        typeInto(dialog.teacherBox()->lineEdit(), QStringLiteral("孙"));
        MessageBoxAnswerer answerer;
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QVERIFY(answerer.answered());
        QVERIFY(answerer.text().contains(QStringLiteral("没有教师“孙”")));
        QVERIFY(DailyStore::ReadAbsences().empty());
        QCOMPARE(dialog.absenceTable()->rowCount(), 0);
    }

    // A database that refuses the write: the driver's message is shown and
    // nothing is listed as recorded.
    void storeFailureShown()
    {
        ScratchDatabase db;
        saveSmallSchool();
        AbsenceDialog dialog;
        QVERIFY(dialog.loadData());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        injectWriteFailure(QStringLiteral("教师请假"));
        typeInto(dialog.teacherBox()->lineEdit(), QStringLiteral("张"));
        MessageBoxAnswerer answerer;
        QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
        QVERIFY(answerer.answered());
        QVERIFY(answerer.text().contains(QStringLiteral("injected failure")));
        QCOMPARE(dialog.absenceTable()->rowCount(), 0);
    }
};

QTEST_MAIN(AbsenceDialogTest)
#include "AbsenceDialogTest.moc"
