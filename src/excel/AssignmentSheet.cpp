#include "excel/AssignmentSheet.h"

#include "base/Naming.h"
#include "excel/ColumnName.h"
#include "excel/SheetCells.h"
#include "store/TextRules.h"

#include <QHash>

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

// A teacher cell as stored: without its outer blanks; blanks alone are no
// teacher. The empty text of a truth value stays what it is.
QString teacherText(const QString& cell)
{
    if (cell.isEmpty() || TextRules::isEmpty(cell))
        return cell;
    const QString name = cell.trimmed();
    return name.isEmpty() ? TextRules::emptyMarker() : name;
}

// A text quoted in a message, cut short when it is long.
QString shortened(const QString& text)
{
    constexpr int kShown = 20;
    return text.size() > kShown ? text.left(kShown) + QStringLiteral("…") : text;
}

// The first column of row r whose cell is too long; -1 when none is.
int tooLongColumn(const SheetCells& cells, int r)
{
    for (int c = 0; c < kColumns; ++c)
        if (cells.tooLong(r, c))
            return c;
    return -1;
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
    sheet.noteTooLong(0, tooLongColumn(cells, 0));
    QHash<QString, int> subjectAt; // name → index into m_duplicateSubjects, or -1
    int c = 2;
    for (; c < kColumns; ++c) {
        const QString& cell = cells.cell(0, c);
        if (isBlank(cell))
            break;
        const QString name = cell.trimmed();
        sheet.subjectSlots[c - 2] = name;
        const auto seen = subjectAt.constFind(name);
        if (seen == subjectAt.constEnd()) {
            subjectAt.insert(name, -1);
            continue;
        }
        if (seen.value() < 0) {
            subjectAt[name] = static_cast<int>(sheet.m_duplicateSubjects.size());
            sheet.m_duplicateSubjects.push_back({name, {ColumnName(Plan::SubjectNumber(sheet.subjectSlots, name) + 1)}});
        }
        sheet.m_duplicateSubjects[static_cast<size_t>(subjectAt.value(name))].second << ColumnName(c);
    }
    // What stands in the header after the gap is not a subject; say so.
    for (int after = c + 1; after < kColumns; ++after)
        if (!isBlank(cells.cell(0, after)))
            sheet.ignoredHeaders.push_back({after, cells.cell(0, after).trimmed()});
    if (!sheet.ignoredHeaders.empty())
        sheet.headerGap = c;

    // Rows that hold nothing are neither classes nor worth a word.
    QHash<QString, int> classAt; // name → index into m_duplicateClasses, or -1 for one row so far
    QHash<QString, int> firstRowOf;
    for (const int r : cells.usedRows()) {
        if (r == 0)
            continue;
        const QString& grade = cells.cell(r, 0);
        const QString& classCell = cells.cell(r, 1);
        QString reason;
        if (isBlank(grade) || isBlank(classCell)) {
            if (rowIsEmpty(cells, r))
                continue;
            if (isBlank(grade) && isBlank(classCell))
                reason = QStringLiteral("没有年级和班级");
            else if (isBlank(grade))
                reason = QStringLiteral("没有年级");
            else
                reason = QStringLiteral("没有班级");
        } else if (GradeIndex(grade) < 0) {
            reason = QStringLiteral("年级“%1”无法识别").arg(shortened(grade));
        }
        if (!reason.isEmpty()) {
            sheet.skippedRows.push_back({r + 1, reason});
            continue;
        }
        sheet.noteTooLong(r, tooLongColumn(cells, r));

        const QString className = classCell.trimmed();
        const auto seen = classAt.constFind(className);
        if (seen == classAt.constEnd()) {
            classAt.insert(className, -1);
            firstRowOf.insert(className, r + 1);
        } else {
            if (seen.value() < 0) {
                classAt[className] = static_cast<int>(sheet.m_duplicateClasses.size());
                sheet.m_duplicateClasses.push_back({className, {firstRowOf.value(className)}});
            }
            sheet.m_duplicateClasses[static_cast<size_t>(classAt.value(className))].second.push_back(r + 1);
        }

        sheet.assignmentRows << grade << className;
        for (int t = 2; t < kColumns; ++t)
            sheet.assignmentRows << teacherText(cells.cell(r, t));
        sheet.classSheetRows.push_back(r + 1);
    }
    return sheet;
}

QString AssignmentSheet::refusal(bool* tooLong) const
{
    if (tooLong)
        *tooLong = m_tooLongRow >= 0;
    if (m_tooLongRow >= 0)
        return SheetCells::TooLongReason(m_tooLongRow, m_tooLongColumn);
    QStringList clashes;
    for (const auto& [name, rows] : m_duplicateClasses) {
        QStringList numbers;
        for (const int row : rows)
            numbers << QString::number(row);
        clashes << QStringLiteral("第 %1 行都是“%2”").arg(numbers.join(QStringLiteral("、")), name);
    }
    if (!clashes.isEmpty())
        return QStringLiteral("班级名称重复：%1。同名的班级无法区分，请改正后重新导入").arg(clashes.join(QStringLiteral("；")));
    for (const auto& [name, columns] : m_duplicateSubjects)
        clashes << QStringLiteral("%1 列都是“%2”").arg(columns.join(QStringLiteral("、")), name);
    if (!clashes.isEmpty())
        return QStringLiteral("第 1 行的科目名称重复：%1。同名的科目无法区分，请改正后重新导入").arg(clashes.join(QStringLiteral("；")));
    return QString();
}

void AssignmentSheet::noteTooLong(int r, int c)
{
    if (c >= 0 && m_tooLongRow < 0) {
        m_tooLongRow = r;
        m_tooLongColumn = c;
    }
}

int AssignmentSheet::subjectCount() const
{
    int count = 0;
    while (count < Plan::kSubjectSlots && !TextRules::isEmpty(subjectSlots[count]))
        ++count;
    return count;
}
