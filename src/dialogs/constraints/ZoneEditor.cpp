#include "dialogs/constraints/ZoneEditor.h"

#include "dialogs/plan/PlanTables.h"
#include "store/Schema.h"
#include "store/TextRules.h"

#include <QHash>

void ZoneEditor::refresh()
{
    grid.clear();
    if (!selectionMade())
        return;
    for (const auto& [c, s] : markedPairs())
        zones.addToGrid(c, s, days, periods, grid.chosen());
}

void ZoneEditor::commitGrid()
{
    if (!selectionMade())
        return;
    for (const auto& [c, s] : markedPairs())
        zones.storeGrid(c, s, days, periods, grid.chosen());
}

void ZoneEditor::save()
{
    commitGrid();
    zones.save(table());
}

void ZoneEditor::setUpCommon(int dayCount, int periodCount, const QStringList& classNames,
                             const std::vector<QStringList>& stored)
{
    days = dayCount;
    periods = periodCount;
    classes = classNames;
    zones.reset(classNames);
    zones.merge(stored);
    grid.setUp(WeekGridGeometry::fitted(days, periods, gridArea.x(), gridArea.y(), gridArea.width(),
                                        gridArea.height()));
}

// --- subject zones ---------------------------------------------------------

QString SubjectZoneLogic::load()
{
    const PlanTables::Week week = PlanTables::readWeek();
    QString beyond;
    const QStringList slots = PlanTables::readSubjectSlots(&beyond);
    const QString refusal = PlanTables::limitsRefusal(week, beyond);
    if (!refusal.isEmpty())
        return refusal;
    setUp(week.days, week.periods, PlanTables::leadingSubjects(slots),
          PlanTables::classNames(PlanTables::readAssignmentRows()), ZoneTable::readStored(Schema::kSubjectZonesTable));
    return QString();
}

void SubjectZoneLogic::setUp(int dayCount, int periodCount, const QStringList& subjectNames,
                             const QStringList& classNames, const std::vector<QStringList>& stored)
{
    subjects = subjectNames;
    subjectMarks.resize(static_cast<int>(subjects.size()));
    classMarks.resize(static_cast<int>(classNames.size()));
    setUpCommon(dayCount, periodCount, classNames, stored);
}

void SubjectZoneLogic::clickSubject(int row)
{
    subjectMarks.toggle(row);
    refresh();
}

void SubjectZoneLogic::clickClass(int row)
{
    classMarks.toggle(row);
    refresh();
}

QString SubjectZoneLogic::subjectHeaderClicked()
{
    const QString header = subjectMarks.headerClicked();
    refresh();
    return header;
}

QString SubjectZoneLogic::classHeaderClicked()
{
    const QString header = classMarks.headerClicked();
    refresh();
    return header;
}

std::vector<std::pair<int, int>> SubjectZoneLogic::markedPairs() const
{
    std::vector<std::pair<int, int>> pairs;
    for (int b = 0; b < classMarks.size(); ++b)
        if (classMarks.isMarked(b))
            for (int i = 0; i < subjectMarks.size(); ++i)
                if (subjectMarks.isMarked(i))
                    pairs.emplace_back(b, i);
    return pairs;
}

QString SubjectZoneLogic::table() const
{
    return Schema::kSubjectZonesTable;
}

// --- teacher zones ---------------------------------------------------------

QString TeacherZoneLogic::load()
{
    const PlanTables::Week week = PlanTables::readWeek();
    const QString refusal = PlanTables::limitsRefusal(week, QString());
    if (!refusal.isEmpty())
        return refusal;
    setUp(week.days, week.periods, PlanTables::readAssignmentRows(), ZoneTable::readStored(Schema::kTeacherZonesTable));
    return QString();
}

void TeacherZoneLogic::setUp(int dayCount, int periodCount, const QStringList& rows,
                             const std::vector<QStringList>& stored)
{
    assignmentRows = rows;
    teachers.clear();
    m_lessons.clear();
    QHash<QString, int> teacherRow;
    const int classCount = PlanTables::classCount(rows);
    for (int c = 0; c < classCount; ++c)
        for (int s = 0; s < ZoneTable::kSlots; ++s) {
            const QString& name = rows[c * PlanTables::kAssignmentStride + 2 + s];
            if (TextRules::isEmpty(name))
                continue;
            auto found = teacherRow.constFind(name);
            if (found == teacherRow.constEnd()) {
                found = teacherRow.insert(name, static_cast<int>(teachers.size()));
                teachers << name;
                m_lessons.emplace_back();
            }
            m_lessons[static_cast<size_t>(found.value())].emplace_back(c, s);
        }
    teacherMarks.resize(static_cast<int>(teachers.size()));
    setUpCommon(dayCount, periodCount, PlanTables::classNames(rows), stored);
}

void TeacherZoneLogic::clickTeacher(int row)
{
    teacherMarks.toggle(row);
    refresh();
}

QString TeacherZoneLogic::teacherHeaderClicked()
{
    const QString header = teacherMarks.headerClicked();
    refresh();
    return header;
}

std::vector<std::pair<int, int>> TeacherZoneLogic::markedPairs() const
{
    std::vector<std::pair<int, int>> pairs;
    for (int t = 0; t < teacherMarks.size(); ++t)
        if (teacherMarks.isMarked(t))
            pairs.insert(pairs.end(), m_lessons[static_cast<size_t>(t)].begin(),
                         m_lessons[static_cast<size_t>(t)].end());
    return pairs;
}

QString TeacherZoneLogic::table() const
{
    return Schema::kTeacherZonesTable;
}
