#include "app/CPrintDlg.h"
#include "app/OutputRun.h"
#include "print/PageOutput.h"
#include "print/PrintDocument.h"
#include "view/TimetableData.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <thread>

using Kind = PrintChoice::Kind;

namespace {

// Three classes of a 5 × 6 week, a few lessons each.
TimetableData threeClasses()
{
    TimetableData data;
    data.subjectNames[0] = QStringLiteral("语文");
    data.subjectNames[1] = QStringLiteral("数学");
    data.resetGrids(5, 6, {QStringLiteral("一班"), QStringLiteral("二班"), QStringLiteral("三班")});
    for (int c = 0; c < 3; ++c) {
        data.setLesson(c, 0, c, QStringLiteral("语文"), QStringLiteral("张%1").arg(c));
        data.setLesson(c, 1, 0, QStringLiteral("数学"), QStringLiteral("李"));
    }
    return data;
}

// A click in the middle of a widget, where a user clicks it.
void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// Runs `body` on the modal widget of type T once it is up (polled: it opens
// from a nested event loop).
template <typename T>
void whenModal(std::function<void(T*)> body)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, body] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget()); widget && widget->isVisible()) {
            timer->stop();
            timer->deleteLater();
            body(widget);
        }
    });
    timer->start(10);
}

} // namespace

class DesktopOutputTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // 取消 in the progress dialog stops a PDF part way: the dialog waits for
    // the work, which leaves no file behind, and the result says cancelled.
    void cancelledPdfLeavesNoFile()
    {
        const TimetableData data = threeClasses();
        const PrintDocument document = PrintDocument::Classes(data, SchoolDetails{});
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("班级课表.pdf"));
        // The first page is written, then the work waits until 取消 was pressed.
        const auto work = [&](const OutputProgress& progress) {
            OutputProgress held = progress;
            held.step = [&progress](int done, int total) {
                progress.report(done, total);
                while (done == 1 && !progress.cancelled())
                    std::this_thread::yield();
            };
            return PageOutput::WritePdf(document, path, held);
        };
        bool pressed = false;
        whenModal<QProgressDialog>([&pressed](QProgressDialog* dialog) {
            QPushButton* cancel = dialog->findChild<QPushButton*>();
            QVERIFY(cancel);
            QCOMPARE(cancel->text(), QStringLiteral("取消"));
            click(cancel);
            pressed = true;
        });
        const OutputResult result = OutputRun::run(nullptr, QStringLiteral("导出 PDF"), QStringLiteral("正在写入"), work);
        QVERIFY(pressed);
        QVERIFY(result.cancelled);
        QVERIFY(!result.ok());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    // Work that runs to its end closes the dialog by itself and hands back its result.
    void finishedWorkReturns()
    {
        const OutputResult result = OutputRun::run(nullptr, QStringLiteral("导出"), QStringLiteral("正在写入"),
                                                   [](const OutputProgress& progress) {
                                                       progress.report(1, 1);
                                                       OutputResult done;
                                                       done.written << QStringLiteral("a.pdf");
                                                       return done;
                                                   });
        QVERIFY(result.ok());
        QCOMPARE(result.written, QStringList{QStringLiteral("a.pdf")});
        QVERIFY(!QApplication::activeModalWidget());
    }

    // The choice dialog as a user works it: the teacher pages, all cleared by
    // 全选, 打印预览 refused with a message; one teacher ticked by a click on
    // the name, and the dialog goes on with that teacher alone.
    void choiceDialog()
    {
        PrintChoice choice({"一班", "二班"}, {"张", "李", "王"});
        CPrintDlg dialog(nullptr, QStringLiteral("打印课表"), QStringLiteral("打印预览…"), choice);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.list()->count(), 2);
        click(dialog.kindButton(Kind::Teachers));
        QCOMPARE(dialog.choice().kind(), Kind::Teachers);
        QCOMPARE(dialog.list()->count(), 3);
        QVERIFY(dialog.allBox()->isChecked());
        click(dialog.allBox());
        QCOMPARE(dialog.choice().chosenCount(), 0);

        QString refusal;
        whenModal<QMessageBox>([&refusal](QMessageBox* box) {
            refusal = box->text();
            box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->accept();
        });
        click(dialog.goButton());
        QTRY_COMPARE(refusal, QStringLiteral("请至少选择一位教师。"));
        QVERIFY(dialog.isVisible());

        QListWidget* list = dialog.list();
        const QRect row = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(row.left() + row.width() / 2, row.center().y()));
        QCOMPARE(dialog.choice().chosenNames(), QStringList{QStringLiteral("李")});
        click(dialog.goButton());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // The workbook of pages has no overview: those choices are not offered.
    void workbookOffersNoOverview()
    {
        PrintChoice choice({"一班"}, {"张"});
        choice.setKind(Kind::MasterOverview);
        CPrintDlg dialog(nullptr, QStringLiteral("导出工作簿"), QStringLiteral("导出…"), choice);
        dialog.offerOverviews(false);
        QVERIFY(!dialog.kindButton(Kind::MasterOverview)->isEnabled());
        QVERIFY(!dialog.kindButton(Kind::TeacherOverview)->isEnabled());
        QCOMPARE(dialog.choice().kind(), Kind::Classes);
        QVERIFY(dialog.kindButton(Kind::Classes)->isChecked());
    }
};

QTEST_MAIN(DesktopOutputTest)
#include "DesktopOutputTest.moc"
