#pragma once

#include "base/OutputProgress.h"

#include <QString>

#include <vector>

struct PrintPage;

// Writes class or teacher pages (PrintLayout) to an .xlsx workbook, a sheet
// per page in the page's layout (title, term, the period rows with the 午休
// band, each cell the subject over the teacher or class, the footer), every
// sheet set to print on one A4 page. Sheet names come from the page names,
// made valid and unique. The workbook is written beside the target and
// renamed over it once whole, as TimetableExport does.
namespace PageSheetsExport {

OutputResult Write(const std::vector<PrintPage>& pages, const QString& path, const OutputProgress& progress = {});

// A valid, unused sheet name for `name` (at most 31 characters, none of
// [ ] : * ? / \, not empty, not starting or ending with "'"); `used` holds the
// names given so far, compared without case.
QString SheetName(const QString& name, std::vector<QString>& used);

} // namespace PageSheetsExport
