#include "view/TimetableModel.h"

#include "engine/PlanningModel.h"
#include "store/Schema.h"
#include "store/TextRules.h"
#include "view/TimetableStore.h"

#include <QHash>

#include <algorithm>

TimetableModel::TimetableModel() = default;

// ---- Shape and accessors ---------------------------------------------------

void TimetableModel::resetGrids(int days, int periods, const QStringList& classNames)
{
    dayCount = days;
    periodCount = periods;
    classCount = static_cast<int>(classNames.size());
    subjectGrid.clear();
    teacherGrid.clear();
    const int slots = slotCount();
    subjectGrid.reserve(classCount * (slots + 1));
    teacherGrid.reserve(classCount * (slots + 1));
    for (const QString& name : classNames) {
        subjectGrid << name;
        teacherGrid << name;
        for (int s = 0; s < slots; ++s) {
            subjectGrid << TextRules::emptyMarker();
            teacherGrid << TextRules::emptyMarker();
        }
    }
    teacherTable.clear();
}

TimetableModel::FixedLesson TimetableModel::fixedLesson(int i) const
{
    const size_t at = static_cast<size_t>(i * Plan::kFixedGroup);
    return {fixedLessons[at], fixedLessons[at + 1], fixedLessons[at + 2], fixedLessons[at + 3]};
}

void TimetableModel::setFixedLesson(int i, const FixedLesson& lesson)
{
    const size_t at = static_cast<size_t>(i * Plan::kFixedGroup);
    fixedLessons[at] = lesson.classIndex;
    fixedLessons[at + 1] = lesson.day;
    fixedLessons[at + 2] = lesson.period;
    fixedLessons[at + 3] = lesson.subject;
}

void TimetableModel::appendFixedLesson(const FixedLesson& lesson)
{
    fixedLessons.insert(fixedLessons.end(), {lesson.classIndex, lesson.day, lesson.period, lesson.subject});
}

void TimetableModel::appendCombinedGroup(int subjectNumber, const std::vector<int>& members)
{
    combinedClasses.push_back(subjectNumber);
    for (int k = 0; k < Plan::kCombinedMembers; ++k)
        combinedClasses.push_back(k < static_cast<int>(members.size()) ? members[static_cast<size_t>(k)] : -1);
}

QString TimetableModel::SlotCode(int day, int period)
{
    return Schema::slotColumn(day, period);
}

// ---- Queries ------------------------------------------------------------------

int TimetableModel::SubjectNumber(const QString& name) const
{
    return Plan::SubjectNumber(subjectNames, name);
}

int TimetableModel::ClassIndex(const QString& name) const
{
    return Plan::ClassIndex(classCount, [this](int c) -> const QString& { return className(c); }, name);
}

int TimetableModel::FindTeacherClash(const QString& teacherName, int excludedClass, int day, int period) const
{
    if (TextRules::isEmpty(teacherName) || day < 0 || day >= dayCount || period < 0 || period >= periodCount)
        return -1;
    for (int c = 0; c < classCount; ++c) {
        if (c == excludedClass)
            continue;
        const QString& other = teacher(c, day, period);
        if (!TextRules::isEmpty(other) && other == teacherName)
            return c;
    }
    return -1;
}

bool TimetableModel::IsCombinedLesson(int classIndex, int subjectNumber) const
{
    if (classIndex < 0)
        return false; // -1 marks an empty member place, not a class
    for (int g = 0; g < combinedGroupCount(); ++g) {
        if (combinedSubject(g) != subjectNumber)
            continue;
        for (int k = 0; k < Plan::kCombinedMembers; ++k)
            if (combinedMember(g, k) == classIndex)
                return true;
    }
    return false;
}

int TimetableModel::FindFixedLesson(int classIndex, int day, int period, int subjectNumber) const
{
    for (int i = 0; i < fixedLessonCount(); ++i) {
        const FixedLesson lesson = fixedLesson(i);
        if (lesson.classIndex == classIndex && lesson.day == day && lesson.period == period
            && lesson.subject == subjectNumber)
            return i;
    }
    return -1;
}

void TimetableModel::BuildTeacherTable()
{
    const int slots = slotCount();
    const int stride = teacherStride();

    // 1. Distinct teachers in order of first appearance, class by class, slot by slot.
    QStringList names;
    QHash<QString, int> rowOf;
    for (int c = 0; c < classCount; ++c)
        for (int d = 0; d < dayCount; ++d)
            for (int p = 0; p < periodCount; ++p) {
                const QString& name = teacher(c, d, p);
                if (TextRules::isEmpty(name) || rowOf.contains(name))
                    continue;
                rowOf.insert(name, static_cast<int>(names.size()));
                names << name;
            }

    // 2. One row per teacher: name, count place, S free slots.
    teacherTable.clear();
    teacherTable.reserve(names.size() * stride);
    for (const QString& name : names) {
        teacherTable << name;
        for (int i = 0; i <= slots; ++i)
            teacherTable << TextRules::emptyMarker();
    }

    // 3. and 4. Count every booking (a combined lesson counts once per class) and
    // fill the slots; a later class overwrites an earlier one in the same slot.
    std::vector<int> counts(static_cast<size_t>(names.size()), 0);
    for (int c = 0; c < classCount; ++c)
        for (int d = 0; d < dayCount; ++d)
            for (int p = 0; p < periodCount; ++p) {
                const QString& name = teacher(c, d, p);
                if (TextRules::isEmpty(name))
                    continue;
                const int t = rowOf.value(name);
                ++counts[static_cast<size_t>(t)];
                teacherTable[t * stride + 2 + slotColumn(d, p)] = className(c) + QLatin1Char(' ') + subject(c, d, p);
            }
    for (int t = 0; t < static_cast<int>(names.size()); ++t)
        teacherTable[t * stride + 1] = TextRules::fromInt(counts[static_cast<size_t>(t)]);
}

TimetableModel::CellMark TimetableModel::MarkOf(int c, int d, int p) const
{
    const QString& subjectName = subject(c, d, p);
    const QString& teacherName = teacher(c, d, p);
    if (TextRules::isEmpty(subjectName) || TextRules::isEmpty(teacherName))
        return CellMark::Normal;
    const int n = SubjectNumber(subjectName);
    if (FindFixedLesson(c, d, p, n) != -1)
        return CellMark::Fixed;
    if (IsCombinedLesson(c, n))
        return CellMark::Combined;
    if (FindTeacherClash(teacherName, c, d, p) != -1)
        return CellMark::Conflict;
    return CellMark::Normal;
}

bool TimetableModel::IsMovableSlot(int d, int p) const
{
    if (!isCell(selectedClass, selectedDay, selectedPeriod) || !isCell(selectedClass, d, p))
        return false;
    const QString& selectedTeacher = teacher(selectedClass, selectedDay, selectedPeriod);
    const QString& slotTeacher = teacher(selectedClass, d, p);
    return FindTeacherClash(selectedTeacher, selectedClass, d, p) == -1
        && FindTeacherClash(slotTeacher, selectedClass, selectedDay, selectedPeriod) == -1;
}

// ---- Filling the model -------------------------------------------------------

void TimetableModel::PublishToView(const PlanningModel& plan)
{
    dayCount = plan.dayCount;
    periodCount = plan.periodCount;
    const int stride = classStride();
    // The grids hold one group of S + 1 per class; never claim more classes than both hold.
    const int held = stride > 0 ? static_cast<int>(std::min(plan.subjectGrid.size(), plan.teacherGrid.size())) / stride
                                : 0;
    classCount = std::clamp(plan.classCount, 0, held);
    subjectGrid = plan.subjectGrid.mid(0, classCount * stride);
    teacherGrid = plan.teacherGrid.mid(0, classCount * stride);

    subjectNames = QStringList(Plan::kSubjectSlots, QString());
    for (int i = 0; i < Plan::kSubjectSlots && i < plan.subjectNames.size(); ++i)
        subjectNames[i] = plan.subjectNames[i];

    const auto validSubject = [](int n) { return n >= 1 && n <= Plan::kSubjectSlots; };
    const auto validClass = [this](int c) { return c >= 0 && c < classCount; };

    fixedLessons.clear();
    for (size_t i = 0; i + Plan::kFixedGroup <= plan.fixedLessons.size(); i += Plan::kFixedGroup) {
        const FixedLesson lesson{plan.fixedLessons[i], plan.fixedLessons[i + 1], plan.fixedLessons[i + 2],
                                 plan.fixedLessons[i + 3]};
        if (validClass(lesson.classIndex) && validSubject(lesson.subject))
            appendFixedLesson(lesson);
    }

    combinedClasses.clear();
    for (size_t i = 0; i + Plan::kCombinedGroup <= plan.combinedClasses.size(); i += Plan::kCombinedGroup) {
        if (!validSubject(plan.combinedClasses[i]))
            continue;
        std::vector<int> members(plan.combinedClasses.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                 plan.combinedClasses.begin() + static_cast<std::ptrdiff_t>(i) + Plan::kCombinedGroup);
        if (std::all_of(members.begin(), members.end(), [&](int m) { return m == -1 || validClass(m); }))
            appendCombinedGroup(plan.combinedClasses[i], members);
    }

    // The table of the old grids says nothing about the new ones.
    teacherTable.clear();
}

void TimetableModel::LoadSavedTimetable()
{
    TimetableStore::load(*this);
}

void TimetableModel::SaveTimetable() const
{
    TimetableStore::save(*this);
}

// ---- Display modes and geometry -------------------------------------------------

void TimetableModel::SetDisplayMode(int showTimetableFlag, int showTeacherTableFlag, int adjustModeFlag,
                                    int screenWidth)
{
    showTimetable = showTimetableFlag;
    showTeacherTable = showTeacherTableFlag;
    adjustMode = adjustModeFlag;
    if (showTimetable != 0 && showTeacherTable != 0)
        BuildTeacherTable();
    UpdateGeometry(screenWidth);
    selectedClass = 0;
    selectedDay = 0;
    selectedPeriod = 0;
}

void TimetableModel::UpdateGeometry(int screenWidth)
{
    const int slots = slotCount();
    if (showTimetable == 0) {
        cellWidth = 45;
        cellHeight = 25;
        contentWidth = 0;
        contentHeight = 0;
    } else if (showTeacherTable != 0) {
        cellWidth = 75;
        cellHeight = 20;
        contentWidth = slots * 75 + 160;
        contentHeight = teacherCount() * 20 + 50;
    } else {
        cellWidth = 45;
        cellHeight = 22;
        if (45 * (slots + 1) < screenWidth - 10)
            cellWidth = (screenWidth - 10) / (slots + 1);
        contentWidth = (slots + 1) * cellWidth + 10;
        contentHeight = (classCount + 1) * 2 * cellHeight + 10;
    }
}

// ---- Points and cells -----------------------------------------------------------

std::optional<TimetableModel::Cell> TimetableModel::MasterCellAt(int x, int y, int scrollX, int scrollY) const
{
    const int px = x + scrollX;
    const int py = y + scrollY;
    if (px < 0 || py < 0 || cellWidth <= 0 || cellHeight <= 0 || periodCount <= 0)
        return std::nullopt;
    const int row = py / (2 * cellHeight) - 1;
    const int column = px / cellWidth - 1;
    if (row < 0 || row >= classCount || column < 0 || column >= slotCount())
        return std::nullopt;
    return Cell{row, column / periodCount, column % periodCount};
}

int TimetableModel::TeacherRowAt(int y, int scrollY) const
{
    const int py = y + scrollY;
    if (cellHeight <= 0)
        return -1;
    // Points above the table count as the first header line.
    return py < 0 ? -2 : py / cellHeight - 2;
}

bool TimetableModel::SelectMasterCell(int x, int y, int scrollX, int scrollY)
{
    const std::optional<Cell> cell = MasterCellAt(x, y, scrollX, scrollY);
    if (!cell)
        return false;
    selectedClass = cell->classIndex;
    selectedDay = cell->day;
    selectedPeriod = cell->period;
    swapArmed = 1;
    return true;
}

bool TimetableModel::SelectTeacherRow(int y, int scrollY)
{
    const int row = TeacherRowAt(y, scrollY);
    if (row < 0)
        return false;
    selectedClass = row;
    return true;
}
