#include "dialogs/plan/CombineLogic.h"

#include "dialogs/plan/PlanTables.h"
#include "store/PlanStore.h"
#include "store/Schema.h"
#include "store/TextRules.h"

#include <QSet>

void CombineLogic::load()
{
    assignmentRows = PlanTables::readAssignmentRows();
    subjectSlots = PlanTables::readSubjectSlots();
    setUp(PlanTables::readListRows(Schema::kCombinedTable, QStringLiteral("科目"), 1, 6));
}

void CombineLogic::setUp(const std::vector<QStringList>& stored)
{
    subjects.clear();
    subjectNumbers.clear();
    for (int n = 0; n < subjectSlots.size(); ++n)
        if (!TextRules::isEmpty(subjectSlots[n])) {
            subjects << subjectSlots[n];
            subjectNumbers.push_back(n + 1);
        }
    subjectMarks.resize(static_cast<int>(subjects.size()));

    // Before a subject is marked: every class, no teacher.
    classRows.clear();
    const QStringList names = PlanTables::classNames(assignmentRows);
    for (const QString& name : names)
        classRows.push_back({name, QString(), false});

    const QSet<QString> known(names.begin(), names.end());
    groups.clear();
    for (const QStringList& group : stored) {
        if (group.size() < 1 + kMembers || !subjectSlots.contains(group[0]))
            continue;
        bool membersKnown = true;
        QStringList shown{group[0]};
        for (int k = 1; k <= kMembers; ++k) {
            if (TextRules::isEmpty(group[k])) {
                shown << QString();
                continue;
            }
            membersKnown = membersKnown && known.contains(group[k]);
            shown << group[k];
        }
        if (membersKnown)
            groups.push_back(shown);
    }
}

void CombineLogic::fillClasses(int subjectNumber)
{
    classRows.clear();
    const int classes = PlanTables::classCount(assignmentRows);
    QSet<QString> handled;
    for (int r = 0; r < classes; ++r) {
        const QString teacher = assignmentRows[r * PlanTables::kAssignmentStride + 1 + subjectNumber];
        if (handled.contains(teacher))
            continue;
        handled.insert(teacher);
        for (int k = r; k < classes; ++k) {
            const int base = k * PlanTables::kAssignmentStride;
            if (assignmentRows[base + 1 + subjectNumber] == teacher)
                classRows.push_back(
                    {assignmentRows[base + 1], TextRules::isEmpty(teacher) ? QString() : teacher, false});
        }
    }
}

void CombineLogic::clickSubject(int row)
{
    if (row < 0 || row >= subjectMarks.size()) {
        subjectMarks.clear();
        classRows.clear();
        return;
    }
    const bool wasMarked = subjectMarks.isMarked(row);
    subjectMarks.choose(row);
    if (wasMarked) {
        subjectMarks.clear();
        classRows.clear();
    } else {
        subjectMarks.marks[row] = ListMarks::check();
        fillClasses(subjectNumbers[static_cast<size_t>(row)]);
    }
}

void CombineLogic::clickClass(int row)
{
    if (row < 0 || row >= static_cast<int>(classRows.size()))
        return;
    ClassRow& clicked = classRows[static_cast<size_t>(row)];
    if (clicked.teacher.isEmpty())
        return;
    clicked.ticked = !clicked.ticked;
}

int CombineLogic::tickedCount() const
{
    int count = 0;
    for (const ClassRow& row : classRows)
        count += row.ticked ? 1 : 0;
    return count;
}

bool CombineLogic::sameTeacherTicks() const
{
    const QString* first = nullptr;
    for (const ClassRow& row : classRows) {
        if (!row.ticked)
            continue;
        if (!first)
            first = &row.teacher;
        else if (row.teacher != *first)
            return false;
    }
    return true;
}

bool CombineLogic::canAdd() const
{
    const int ticked = tickedCount();
    return ticked >= 2 && ticked <= kMembers && sameTeacherTicks();
}

QString CombineLogic::status() const
{
    return tickedCount() > kMembers && sameTeacherTicks() ? tooManyMessage() : QString();
}

QString CombineLogic::add()
{
    if (!canAdd())
        return QString();
    QString subject;
    for (int i = 0; i < subjectMarks.size(); ++i)
        if (subjectMarks.isMarked(i)) {
            subject = subjects[i];
            break;
        }
    QStringList members;
    for (const ClassRow& row : classRows) {
        if (!row.ticked)
            continue;
        for (const QStringList& group : groups)
            if (group[0] == subject && group.mid(1).contains(row.className))
                return existsMessage(row.className);
        members << row.className;
    }
    QStringList group{subject};
    group << members;
    while (group.size() < 1 + kMembers)
        group << QString();
    groups.push_back(group);
    for (ClassRow& row : classRows)
        row.ticked = false;
    return QString();
}

void CombineLogic::removeGroup(int row)
{
    if (row >= 0 && row < static_cast<int>(groups.size()))
        groups.erase(groups.begin() + row);
}

std::vector<QStringList> CombineLogic::storedGroups() const
{
    std::vector<QStringList> rows;
    for (const QStringList& group : groups) {
        QStringList row;
        for (const QString& text : group)
            row << (text.isEmpty() ? TextRules::emptyMarker() : text);
        rows.push_back(row);
    }
    return rows;
}

void CombineLogic::save() const
{
    PlanStore::saveCombinedClasses(storedGroups());
}
