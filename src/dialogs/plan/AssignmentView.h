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
// Everything said under the list, one line each: the import's notes (header
// texts after a blank header cell, teacher cells outside the subjects), then
// the skipped rows. The list's tooltip.
QStringList noteLines(const AssignmentImport& import);
// The text of the line under the list: the notes, then the skipped rows'
// summary; empty when there is nothing to say.
QString noteSummary(const AssignmentImport& import);

// The line under the list about changed teachers: how many were changed
// (and, for the stored assignment, that "保存" writes them); with none, for
// the stored assignment, how to change one; otherwise empty.
QString changeNote(bool stored, int changed);

// The question before "保存" when the new subjects move or drop stored ones:
// what moves with its subject and what is deleted with a subject that is
// gone. Empty when saving keeps every subject where it is.
QString saveQuestion(const SubjectRemap& remap);

} // namespace AssignmentView

// Picture 348: how a teacher-assignment sheet is laid out, painted.
QImage assignmentInstructionPicture();
