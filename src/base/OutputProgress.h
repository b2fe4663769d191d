#pragma once

#include "base/Failure.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// How long output work (a PDF of many pages, a folder of pictures, a workbook
// of many sheets) tells its progress and learns that it should stop. Both are
// optional; the step is called on the working thread after each page, picture
// or sheet, so a desktop progress dialog posts it to its own thread.
struct OutputProgress
{
    std::function<void(int done, int total)> step;
    const std::atomic<bool>* cancel = nullptr;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    void report(int done, int total) const
    {
        if (step)
            step(done, total);
    }
};

// The end of output work: done (the files named in `written`), cancelled
// (nothing left behind) or failed (nothing left behind; the failure names the
// file and the reason).
struct OutputResult
{
    Status status;          // a File failure naming the file and the reason
    bool cancelled = false; // stopped by the cancel flag
    QStringList written;    // the files written, when done

    bool ok() const { return status.ok() && !cancelled; }
};
