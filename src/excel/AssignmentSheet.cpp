#include "excel/AssignmentSheet.h"

#include "base/Naming.h"
#include "excel/SheetCells.h"
#include "store/TextRules.h"

namespace {

constexpr int kColumns = Plan::kAssignmentTexts; // A..Z

// An empty cell, or one whose text is empty or only blanks: nothing a name can be.
bool isBlank(const QString& text)
{
    return TextRules::isEmpty(text) || text.trimmed().isEmpty();
}

bool rowIsEmpty(const SheetCells& cells, int r)
{
    for (int c = 0; c < kColumns; ++c)
        if (!TextRules::isEmpty(cells.cell(r, c)))
            return false;
    return true;
}

} // namespace

AssignmentSheet AssignmentSheet::Parse(const QStringList& cellTable)
{
    return Parse(SheetCells::fromTable(cellTable));
}

AssignmentSheet AssignmentSheet::Parse(const SheetCells& cells)
{
    AssignmentSheet sheet;
    if (cells.rowCount() == 0)
        return sheet;

    // Header: subject names from column C until the first empty cell.
    for (int c = 2; c < kColumns; ++c) {
        const QString& name = cells.cell(0, c);
        if (isBlank(name))
            break;
        sheet.subjectSlots[c - 2] = name;
    }

    // Rows that hold nothing are neither classes nor worth a word.
    for (const int r : cells.usedRows()) {
        if (r == 0)
            continue;
        const QString& grade = cells.cell(r, 0);
        const QString& className = cells.cell(r, 1);
        QString reason;
        if (isBlank(grade) || isBlank(className)) {
            if (rowIsEmpty(cells, r))
                continue;
            if (isBlank(grade) && isBlank(className))
                reason = QStringLiteral("没有年级和班级");
            else if (isBlank(grade))
                reason = QStringLiteral("没有年级");
            else
                reason = QStringLiteral("没有班级");
        } else if (GradeIndex(grade) < 0) {
            reason = QStringLiteral("年级“%1”无法识别").arg(grade);
        }
        if (!reason.isEmpty()) {
            sheet.skippedRows.push_back({r + 1, reason});
            continue;
        }
        for (int c = 0; c < kColumns; ++c)
            sheet.assignmentRows << cells.cell(r, c);
    }
    return sheet;
}

int AssignmentSheet::subjectCount() const
{
    int count = 0;
    while (count < Plan::kSubjectSlots && !TextRules::isEmpty(subjectSlots[count]))
        ++count;
    return count;
}
