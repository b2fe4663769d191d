#include "dialogs/plan/AssignmentTable.h"

#include "dialogs/plan/AssignmentView.h"
#include "dialogs/plan/PlanTables.h"
#include "store/PlanStore.h"
#include "store/TextRules.h"
#include "store/Transaction.h"

namespace {

// Subjects shown: those before the first "H" or empty name, as the list shows them.
int shownSubjects(const QStringList& slots)
{
    int n = 0;
    while (n < slots.size() && n < Plan::kSubjectSlots && !TextRules::isEmpty(slots[n]) && !slots[n].isEmpty())
        ++n;
    return n;
}

} // namespace

void AssignmentTable::loadStored()
{
    AssignmentImport stored;
    stored.subjectSlots = PlanTables::readSubjectSlots();
    stored.assignmentRows = PlanTables::readAssignmentRows();
    m_origin = Origin::Stored;
    m_storedSubjects = stored.subjectSlots;
    m_originalRows = stored.assignmentRows;
    m_shown = std::move(stored);
}

void AssignmentTable::takeImport(const AssignmentImport& import)
{
    m_origin = Origin::Imported;
    m_shown = import;
    m_originalRows = import.assignmentRows;
    m_storedSubjects.clear();
}

std::vector<QStringList> AssignmentTable::rows() const
{
    return AssignmentView::resultRows(m_shown);
}

int AssignmentTable::teacherIndex(int row, int column) const
{
    if (row < 1 || row > classCount() || column < 2 || column >= 2 + shownSubjects(m_shown.subjectSlots))
        return -1;
    return (row - 1) * Plan::kAssignmentTexts + column;
}

bool AssignmentTable::isTeacherCell(int row, int column) const
{
    return teacherIndex(row, column) >= 0;
}

QString AssignmentTable::setTeacher(int row, int column, const QString& text)
{
    const int index = teacherIndex(row, column);
    if (index < 0) {
        if (row >= 0 && row <= classCount() && column >= 0) {
            const std::vector<QStringList> shown = rows();
            const QStringList& cells = shown[static_cast<size_t>(row)];
            return column < cells.size() ? cells[column] : QString();
        }
        return QString();
    }
    const QString name = text.trimmed();
    m_shown.assignmentRows[index] = name.isEmpty() ? TextRules::emptyMarker() : name;
    return name;
}

bool AssignmentTable::isChanged(int row, int column) const
{
    const int index = teacherIndex(row, column);
    return index >= 0 && m_shown.assignmentRows[index] != m_originalRows[index];
}

int AssignmentTable::changedCount() const
{
    int changed = 0;
    for (qsizetype i = 0; i < m_shown.assignmentRows.size(); ++i)
        if (m_shown.assignmentRows[i] != m_originalRows[i])
            ++changed;
    return changed;
}

Status AssignmentTable::SaveChanges() const
{
    const int classes = classCount();
    if (classes == 0)
        return Failure::refused(QStringLiteral("未设置教师分工！"));
    std::vector<QStringList> rows;
    rows.reserve(static_cast<size_t>(classes));
    for (int k = 0; k < classes; ++k)
        rows.push_back(m_shown.assignmentRows.mid(k * Plan::kAssignmentTexts, Plan::kAssignmentTexts));

    Transaction transaction(QStringLiteral("保存教师分工"));
    // The changes were made to what was read when the dialog opened; over
    // anything else they would put a teacher in the wrong class or subject.
    if (PlanTables::readSubjectSlots() != m_storedSubjects || PlanTables::readAssignmentRows() != m_originalRows)
        return Failure::refused(
            QStringLiteral("任教科目或教师分工在打开之后被其他程序改动了，没有保存。请关闭后重新打开“教师分工”再修改。"));
    PlanStore::saveAssignments(rows);
    transaction.commit();
    return Status::done();
}
