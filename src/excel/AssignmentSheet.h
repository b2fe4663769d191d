#pragma once

#include "base/PlanVocabulary.h"

#include <QString>
#include <QStringList>

#include <vector>

class SheetCells;

// A teacher-assignment sheet taken apart: the subject names of the header row
// and one group of 26 texts per accepted class row.
//
//   Sheet row 1:      A "年级", B "班级", then subject names from C on; the first
//                     empty header cell ends the subject list (at most 24).
//   Rows 2 and below: grade, class, and the teacher of the class for the
//                     subject of each column ("H" where the cell is empty).
//
// A row without a grade or a class, or whose grade GradeIndex does not know,
// is skipped. The grade is kept as written ("初一" stays "初一"). Teacher cells
// of columns after the last subject are kept too; they belong to no subject.
class AssignmentSheet
{
public:
    // Far above any school; a sheet with more class rows is refused.
    static constexpr int kMaxClasses = 5000;

    struct SkippedRow
    {
        int sheetRow = 0; // 1-based, as the spreadsheet numbers it
        QString reason;
    };

    // Subject number n (1..24) at n - 1; "H" where there is none.
    QStringList subjectSlots = QStringList(Plan::kSubjectSlots, Plan::emptyMarker());
    // 26 texts per class, in sheet order.
    QStringList assignmentRows;
    // Rows that were not taken, with the reason. Rows that are empty in every
    // column are not listed.
    std::vector<SkippedRow> skippedRows;

    // Parses the cells of a sheet; a header cell whose text is empty or blank
    // ends the subject list like an empty cell.
    static AssignmentSheet Parse(const SheetCells& cells);
    // The same for a cell table of 26 texts per sheet row (row 1 first).
    static AssignmentSheet Parse(const QStringList& cellTable);

    int classCount() const { return static_cast<int>(assignmentRows.size() / Plan::kAssignmentTexts); }
    // Subjects before the first "H".
    int subjectCount() const;
    const QString& gradeName(int k) const { return assignmentRows[k * Plan::kAssignmentTexts]; }
    const QString& className(int k) const { return assignmentRows[k * Plan::kAssignmentTexts + 1]; }
    // Teacher of subject number n (1..24) in class k; "H" for none.
    const QString& teacher(int k, int n) const { return assignmentRows[k * Plan::kAssignmentTexts + 1 + n]; }
};
