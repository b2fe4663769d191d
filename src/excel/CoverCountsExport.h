#pragma once

#include "excel/TimetableExport.h"

#include <QString>

#include <atomic>

struct CoverCounts;

// Writes a month's substitution counts to an .xlsx workbook: a title row, then
// one row per teacher (教师, 代课节数, 缺课节数, 调课节数), the counts as
// numbers so that the office can sum them. Written like the timetables: into
// a part file beside the target, renamed over it once whole.
namespace CoverCountsExport {

TimetableExport::Result Write(const CoverCounts& counts, const QString& chosenPath, std::atomic<int>& progressState);

} // namespace CoverCountsExport
