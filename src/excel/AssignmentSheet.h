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
// is skipped. The grade is kept as written ("初一" stays "初一"). Subject,
// class and teacher names lose their leading and trailing blanks, and a
// teacher cell of blanks alone is no teacher ("H"). Teacher cells of columns
// after the last subject are kept too; they belong to no subject.
//
// The parse also finds what makes a sheet unfit to import (see refusal()):
// a cell of the header row or of a class row that is longer than a cell may
// be, two class rows with the same class name, two subjects with the same
// name. Text anywhere else (a note under the table) is not looked at.
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

    // A header cell after the blank one that ends the subject list.
    struct IgnoredHeader
    {
        int column = 0; // 0-based, A = 0
        QString text;
    };

    // Subject number n (1..24) at n - 1; "H" where there is none.
    QStringList subjectSlots = QStringList(Plan::kSubjectSlots, Plan::emptyMarker());
    // 26 texts per class, in sheet order.
    QStringList assignmentRows;
    // Rows that were not taken, with the reason. Rows that are empty in every
    // column are not listed.
    std::vector<SkippedRow> skippedRows;
    // 1-based sheet row of each class, in the order of assignmentRows.
    std::vector<int> classSheetRows;
    // The blank header cell that ended the subject list (0-based column),
    // -1 when the list ran to its end or to the last header cell; and the
    // header texts after it, which are not subjects.
    int headerGap = -1;
    std::vector<IgnoredHeader> ignoredHeaders;

    // Parses the cells of a sheet; a header cell whose text is empty or blank
    // ends the subject list like an empty cell.
    static AssignmentSheet Parse(const SheetCells& cells);
    // The same for a cell table of 26 texts per sheet row (row 1 first).
    static AssignmentSheet Parse(const QStringList& cellTable);

    // Why the sheet cannot be imported as it is, in the user's words; empty
    // when it can. tooLong tells a cell beyond the length limit (a limit of
    // the file) from a clash of names (a rule of the plan).
    QString refusal(bool* tooLong = nullptr) const;

    int classCount() const { return static_cast<int>(assignmentRows.size() / Plan::kAssignmentTexts); }
    // Subjects before the first "H".
    int subjectCount() const;
    const QString& gradeName(int k) const { return assignmentRows[k * Plan::kAssignmentTexts]; }
    const QString& className(int k) const { return assignmentRows[k * Plan::kAssignmentTexts + 1]; }
    // Teacher of subject number n (1..24) in class k; "H" for none.
    const QString& teacher(int k, int n) const { return assignmentRows[k * Plan::kAssignmentTexts + 1 + n]; }

private:
    // Keeps the first cell of the header row or a class row that is beyond
    // the length limit (c = -1: none in row r).
    void noteTooLong(int r, int c);
    int m_tooLongRow = -1; // 0-based; -1 when there is none
    int m_tooLongColumn = -1;
    // Class names that occur in more than one row, with those rows (1-based).
    std::vector<std::pair<QString, std::vector<int>>> m_duplicateClasses;
    // Subject names that occur in more than one header column, with the columns ("C", "F").
    std::vector<std::pair<QString, QStringList>> m_duplicateSubjects;
};
