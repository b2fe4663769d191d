#include "view/widgets/CPrograssDlg.h"
#include "view/widgets/ProgressTicker.h"
#include "excel/ExcelProgress.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <thread>

class ProgressPictureTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The state seen at each tick, one paint per tick, and what must follow.
    void ticksAndPictures_data()
    {
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<int>("closingTick");    // 1-based tick that closes, 0: still open
        QTest::addColumn<QList<int>>("pictures"); // picture painted after each tick that did not close

        QTest::newRow("running cycles the dots")
            << QList<int>{0, 0, 0, 0, 0, 0, 0} << 0 << QList<int>{318, 319, 320, 321, 322, 318, 319};
        // Finished from the first tick: seven more dot paints, the completion
        // picture for four ticks, closing on the twelfth.
        QTest::newRow("finished")
            << QList<int>(12, ExcelProgress::Finished) << 12
            << QList<int>{318, 319, 320, 321, 322, 318, 319, 323, 323, 323, 323};
        QTest::newRow("failed closes on the next tick without the completion picture")
            << QList<int>{0, 2, 2} << 3 << QList<int>{318, 319};
        QTest::newRow("failed at once") << QList<int>{2, 2} << 2 << QList<int>{318};
        QTest::newRow("finished after running")
            << QList<int>{0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1} << 14
            << QList<int>{318, 319, 320, 321, 322, 318, 319, 320, 321, 323, 323, 323, 323};
    }
    void ticksAndPictures()
    {
        QFETCH(QList<int>, states);
        QFETCH(int, closingTick);
        QFETCH(QList<int>, pictures);
        ProgressTicker ticker;
        QList<int> painted;
        int closedAt = 0;
        for (int i = 0; i < states.size(); ++i) {
            if (ticker.tick(states[i])) {
                closedAt = i + 1;
                break;
            }
            painted << ticker.paintPicture();
        }
        QCOMPARE(closedAt, closingTick);
        QCOMPARE(painted, pictures);
    }

    void picturesArePaintedAtTheirSize()
    {
        for (int number = 318; number <= 323; ++number) {
            const QImage image = CPrograssDlg::picture(number);
            QCOMPARE(image.size(), QSize(560, 69));
            QCOMPARE(image.pixelColor(2, 2), QColor(64, 64, 64));
            bool yellow = false;
            for (int x = 0; x < image.width() && !yellow; ++x)
                for (int y = 0; y < image.height() && !yellow; ++y)
                    yellow = image.pixelColor(x, y) == QColor(255, 255, 0);
            QVERIFY2(yellow, qPrintable(QString::number(number)));
        }
        QVERIFY(CPrograssDlg::picture(318) != CPrograssDlg::picture(322));
    }

    // The work on a worker thread, the picture on this one: run() returns
    // once both are done, whatever the work's outcome.
    void runWaitsForWorkAndPicture_data()
    {
        // 0 returns leaving the state, 1 sets failed, 2 throws, 3 returns late
        // after the user pressed Esc on the picture
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("finalState");
        QTest::addColumn<int>("minimumMs");
        QTest::newRow("returns") << 0 << int(ExcelProgress::Finished) << 11 * ProgressTicker::kTickMs;
        QTest::newRow("fails") << 1 << int(ExcelProgress::Failed) << ProgressTicker::kTickMs;
        QTest::newRow("throws") << 2 << int(ExcelProgress::Failed) << ProgressTicker::kTickMs;
        QTest::newRow("Esc keeps the picture until the end")
            << 3 << int(ExcelProgress::Finished) << 600 + 8 * ProgressTicker::kTickMs;
    }
    void runWaitsForWorkAndPicture()
    {
        QFETCH(int, outcome);
        QFETCH(int, finalState);
        QFETCH(int, minimumMs);
        std::atomic<int> state{ExcelProgress::Failed};
        std::thread::id workThread;
        QElapsedTimer clock;
        clock.start();
        if (outcome == 3)
            QTimer::singleShot(100, [] {
                if (QWidget* picture = QApplication::activeModalWidget())
                    QTest::keyClick(picture, Qt::Key_Escape);
            });
        CPrograssDlg::run(nullptr, state, [&] {
            workThread = std::this_thread::get_id();
            std::this_thread::sleep_for(std::chrono::milliseconds(outcome == 3 ? 600 : 50));
            if (outcome == 1)
                state = ExcelProgress::Failed;
            if (outcome == 2)
                throw std::runtime_error("broken");
        });
        QCOMPARE(state.load(), finalState);
        QVERIFY(workThread != std::this_thread::get_id());
        QVERIFY2(clock.elapsed() >= minimumMs, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(ProgressPictureTest)
#include "ProgressPictureTest.moc"
