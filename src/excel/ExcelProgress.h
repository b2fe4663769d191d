#pragma once

#include <atomic>

// Values of progressState, the progress of one workbook import or export.
// The work (on whatever thread runs it) writes the value; the progress picture
// polls it and closes once it leaves Running.
namespace ExcelProgress {

constexpr int Running = 0;
constexpr int Finished = 1;
constexpr int Failed = 2;

} // namespace ExcelProgress
