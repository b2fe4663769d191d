#pragma once

#include "base/OutputProgress.h"

#include <QString>

#include <functional>

class QWidget;

// Long output work (a PDF of every class, a folder of teacher pictures) on a
// worker thread behind a modal progress dialog: pages done of all, and 取消,
// which asks the work to stop; the work then removes what it wrote. The
// dialog stays until the work has returned, so nothing is left half-written
// behind the user's back.
namespace OutputRun {

OutputResult run(QWidget* parent, const QString& caption, const QString& label,
                 const std::function<OutputResult(const OutputProgress&)>& work);

} // namespace OutputRun
