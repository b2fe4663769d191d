#pragma once

#include "excel/AssignmentImport.h"

#include <QString>
#include <QImage>
#include <QStringList>

#include <vector>

// What the teacher-assignment dialog shows of an import: the sheet as read
// (row 0 repeats the header: "年级", "班级", the subjects up to the first gap;
// then one row per class, "H" shown empty), and the rows that were skipped.
namespace AssignmentView {

std::vector<QStringList> resultRows(const AssignmentImport& import);
// One line per skipped row: "第 5 行：reason".
QStringList skippedLines(const AssignmentImport& import);
// The line under the list: how many rows were skipped and why; empty when none.
QString skippedSummary(const AssignmentImport& import);

} // namespace AssignmentView

// Picture 348: how a teacher-assignment sheet is laid out, painted.
QImage assignmentInstructionPicture();
