#include "app/OutputRun.h"

#include "base/Failure.h"

#include <QProgressDialog>
#include <QPushButton>

#include <atomic>
#include <exception>
#include <thread>

namespace OutputRun {

OutputResult run(QWidget* parent, const QString& caption, const QString& label,
                 const std::function<OutputResult(const OutputProgress&)>& work)
{
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    QProgressDialog dialog(label, QStringLiteral("取消"), 0, 0, parent);
    dialog.setObjectName(QStringLiteral("outputProgress"));
    dialog.setWindowTitle(caption);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumWidth(360);
    // 取消 asks the work to stop; the dialog waits for it to clean up.
    QObject::disconnect(&dialog, &QProgressDialog::canceled, &dialog, &QProgressDialog::cancel);
    const auto askStop = [&] {
        if (cancel.exchange(true))
            return;
        dialog.setLabelText(QStringLiteral("正在取消，删除已写的文件……"));
        if (auto* button = dialog.findChild<QPushButton*>())
            button->setEnabled(false);
    };
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, askStop);

    OutputProgress progress;
    progress.cancel = &cancel;
    progress.step = [&dialog](int done, int total) {
        // From the worker: the dialog is told on its own thread.
        QMetaObject::invokeMethod(
            &dialog,
            [&dialog, done, total] {
                if (dialog.maximum() != total)
                    dialog.setMaximum(total);
                dialog.setValue(done);
            },
            Qt::QueuedConnection);
    };

    OutputResult result;
    std::thread worker([&] {
        try {
            result = work(progress);
        } catch (const std::exception& error) {
            result = OutputResult();
            result.status = Failure::file(QStringLiteral("输出没有完成。"), QString::fromLocal8Bit(error.what()));
        }
        finished = true;
        QMetaObject::invokeMethod(&dialog, [&dialog] { dialog.done(QDialog::Accepted); }, Qt::QueuedConnection);
    });
    // Closing the dialog's window is a cancel too; it comes back until the work has returned.
    while (!finished) {
        dialog.exec();
        if (!finished)
            askStop();
    }
    worker.join();
    return result;
}

} // namespace OutputRun
