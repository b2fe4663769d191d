#include "DialogTestSupport.h"

#include "dialogs/constraints/CStableSubDlg.h"
#include "dialogs/constraints/CSubYaoPaiDlg.h"
#include "dialogs/constraints/CTeacherYaoPaiDlg.h"
#include "dialogs/plan/CClassNumProDlg.h"
#include "dialogs/plan/CCombineSetDlg.h"
#include "dialogs/plan/CDayNumDlg.h"
#include "dialogs/plan/CFenGongDlg.h"
#include "dialogs/plan/CSchoolDlg.h"
#include "store/DemoSchool.h"

#include <QtTest>

#include <functional>
#include <memory>

using Opener = std::function<std::unique_ptr<PlanDialog>()>;
Q_DECLARE_METATYPE(Opener)

// Every dialog, on the demo school, after a few clicks: Esc closes it and the
// database file is exactly as it was.
class CloseWritesNothingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escapeWritesNothing_data()
    {
        QTest::addColumn<Opener>("open");
        QTest::newRow("CDayNumDlg") << Opener([] { return std::make_unique<CDayNumDlg>(nullptr); });
        QTest::newRow("CFenGongDlg") << Opener([] { return std::make_unique<CFenGongDlg>(nullptr); });
        QTest::newRow("CClassNumProDlg") << Opener([] { return std::make_unique<CClassNumProDlg>(nullptr); });
        QTest::newRow("CCombineSetDlg") << Opener([] { return std::make_unique<CCombineSetDlg>(nullptr); });
        QTest::newRow("CStableSubDlg") << Opener([] { return std::make_unique<CStableSubDlg>(nullptr); });
        QTest::newRow("CSubYaoPaiDlg") << Opener([] { return std::make_unique<CSubYaoPaiDlg>(nullptr); });
        QTest::newRow("CTeacherYaoPaiDlg") << Opener([] { return std::make_unique<CTeacherYaoPaiDlg>(nullptr); });
        QTest::newRow("CSchoolDlg") << Opener([] { return std::make_unique<CSchoolDlg>(nullptr); });
    }
    void escapeWritesNothing()
    {
        QFETCH(Opener, open);
        ScratchDatabase db;
        DemoSchool::write();
        const QByteArray before = fileHash(db.path());
        std::unique_ptr<PlanDialog> dialog = open();
        QVERIFY(dialog->openRefusal().isEmpty());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        // Click the first row of every list, then leave.
        for (ReportList* list : dialog->findChildren<ReportList*>())
            if (list->isVisible() && list->rowCount() > 0)
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->cellCentre(0, 0));
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(fileHash(db.path()), before);
    }
};

QTEST_MAIN(CloseWritesNothingTest)
#include "CloseWritesNothingTest.moc"
