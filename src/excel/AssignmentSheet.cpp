#include "excel/AssignmentSheet.h"

#include "base/Naming.h"
#include "store/TextRules.h"

namespace {

constexpr int kColumns = Plan::kAssignmentTexts; // A..Z

const QString& cellAt(const QStringList& cellTable, int r, int c)
{
    return cellTable[r * kColumns + c];
}

bool rowIsEmpty(const QStringList& cellTable, int r)
{
    for (int c = 0; c < kColumns; ++c)
        if (!TextRules::isEmpty(cellAt(cellTable, r, c)))
            return false;
    return true;
}

} // namespace

AssignmentSheet AssignmentSheet::Parse(const QStringList& cellTable)
{
    AssignmentSheet sheet;
    const int rows = static_cast<int>(cellTable.size() / kColumns);
    if (rows == 0)
        return sheet;

    // Header: subject names from column C until the first empty cell.
    for (int c = 2; c < kColumns; ++c) {
        const QString& name = cellAt(cellTable, 0, c);
        if (TextRules::isEmpty(name))
            break;
        sheet.subjectSlots[c - 2] = name;
    }

    for (int r = 1; r < rows; ++r) {
        const QString& grade = cellAt(cellTable, r, 0);
        const QString& className = cellAt(cellTable, r, 1);
        QString reason;
        if (TextRules::isEmpty(grade) || TextRules::isEmpty(className)) {
            if (rowIsEmpty(cellTable, r))
                continue;
            if (TextRules::isEmpty(grade) && TextRules::isEmpty(className))
                reason = QStringLiteral("没有年级和班级");
            else if (TextRules::isEmpty(grade))
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
            sheet.assignmentRows << cellAt(cellTable, r, c);
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
