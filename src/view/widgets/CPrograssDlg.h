#pragma once

#include "view/widgets/ProgressTicker.h"

#include <QDialog>
#include <QImage>

#include <atomic>
#include <functional>

class QTimer;

// The progress picture of a workbook import or export: a borderless popup
// whose text cycles its dots every 210 ms while the work runs, shows
// "数据处理完成！" once it has finished, and closes by itself.
//
// The work runs on a worker thread and writes progressState (0 running,
// 1 finished, 2 failed, see ExcelProgress); this dialog runs on the GUI thread
// and only reads it. The usual way in is run():
//
//     std::atomic<int> state{ExcelProgress::Running};
//     Status read;
//     CPrograssDlg::run(this, state, [&] { read = import.Import(path, state); });
//     if (!read.ok()) QMessageBox::warning(this, title, read.message());
//
// run() returns once the picture has closed and the work has returned.
class CPrograssDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kPictureWidth = 560;
    static constexpr int kPictureHeight = 69;

    explicit CPrograssDlg(const std::atomic<int>& progressState, QWidget* parent = nullptr);

    // Starts work on a worker thread, shows the picture modally until it
    // closes, then waits for the work. A work that returns while the state is
    // still "running" counts as finished; one that throws counts as failed.
    static void run(QWidget* parent, std::atomic<int>& progressState, const std::function<void()>& work);

    // The pictures 318..323, painted: yellow text on dark grey, 560 x 69.
    static QImage picture(int number);

    const ProgressTicker& ticker() const { return m_ticker; }

    // Esc or a close request does not take the picture away while the work
    // runs: the picture closes itself once the work has ended.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onTick();

    const std::atomic<int>& m_progressState;
    ProgressTicker m_ticker;
    QTimer* m_timer;
};
