#include "view/TimetableData.h"

#include "engine/PlanningModel.h"
#include "store/Schema.h"
#include "store/TextRules.h"

#include <algorithm>

void TimetableData::resetGrids(int days, int periods, const QStringList& classNames)
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
    touch();
}

void TimetableData::setLesson(int c, int d, int p, const QString& subjectName, const QString& teacherName)
{
    subjectGrid[gridIndex(c, d, p)] = subjectName;
    teacherGrid[gridIndex(c, d, p)] = teacherName;
    touch();
}

TimetableData::FixedLesson TimetableData::fixedLesson(int i) const
{
    const size_t at = static_cast<size_t>(i * Plan::kFixedGroup);
    return {fixedLessons[at], fixedLessons[at + 1], fixedLessons[at + 2], fixedLessons[at + 3]};
}

std::optional<FixedMoveLog::Row> TimetableData::fixedLessonRow(const FixedLesson& lesson) const
{
    if (lesson.classIndex < 0 || lesson.classIndex >= classCount || lesson.subject < 1
        || lesson.subject > Plan::kSubjectSlots)
        return std::nullopt;
    return FixedMoveLog::Row{className(lesson.classIndex), lesson.day, lesson.period, subjectNames[lesson.subject - 1]};
}

void TimetableData::setFixedLesson(int i, const FixedLesson& lesson)
{
    const std::optional<FixedMoveLog::Row> from = fixedLessonRow(fixedLesson(i));
    const std::optional<FixedMoveLog::Row> to = fixedLessonRow(lesson);
    if (from && to)
        fixedMoves.append({*from, *to});
    const size_t at = static_cast<size_t>(i * Plan::kFixedGroup);
    fixedLessons[at] = lesson.classIndex;
    fixedLessons[at + 1] = lesson.day;
    fixedLessons[at + 2] = lesson.period;
    fixedLessons[at + 3] = lesson.subject;
    touch();
}

void TimetableData::setFixedLessons(const std::vector<int>& lessons)
{
    if (lessons.size() == fixedLessons.size()) {
        for (int i = 0; i < fixedLessonCount(); ++i) {
            const size_t at = static_cast<size_t>(i * Plan::kFixedGroup);
            const FixedLesson next{lessons[at], lessons[at + 1], lessons[at + 2], lessons[at + 3]};
            if (const auto from = fixedLessonRow(fixedLesson(i)), to = fixedLessonRow(next); from && to)
                fixedMoves.append({*from, *to});
        }
    }
    fixedLessons = lessons;
    touch();
}

void TimetableData::appendFixedLesson(const FixedLesson& lesson)
{
    fixedLessons.insert(fixedLessons.end(), {lesson.classIndex, lesson.day, lesson.period, lesson.subject});
    touch();
}

void TimetableData::appendCombinedGroup(int subjectNumber, const std::vector<int>& members)
{
    combinedClasses.push_back(subjectNumber);
    for (int k = 0; k < Plan::kCombinedMembers; ++k)
        combinedClasses.push_back(k < static_cast<int>(members.size()) ? members[static_cast<size_t>(k)] : -1);
    touch();
}

QString TimetableData::SlotCode(int day, int period)
{
    return Schema::slotColumn(day, period);
}

// ---- Queries ------------------------------------------------------------------

int TimetableData::SubjectNumber(const QString& name) const
{
    return Plan::SubjectNumber(subjectNames, name);
}

int TimetableData::ClassIndex(const QString& name) const
{
    return Plan::ClassIndex(classCount, [this](int c) -> const QString& { return className(c); }, name);
}

int TimetableData::FindTeacherClash(const QString& teacherName, int excludedClass, int day, int period) const
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

bool TimetableData::IsCombinedLesson(int classIndex, int subjectNumber) const
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

int TimetableData::FindFixedLesson(int classIndex, int day, int period, int subjectNumber) const
{
    for (int i = 0; i < fixedLessonCount(); ++i) {
        const FixedLesson lesson = fixedLesson(i);
        if (lesson.classIndex == classIndex && lesson.day == day && lesson.period == period
            && lesson.subject == subjectNumber)
            return i;
    }
    return -1;
}

TimetableData::CellMark TimetableData::MarkOf(int c, int d, int p) const
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

// ---- Filling the model -------------------------------------------------------

void TimetableData::PublishToView(const PlanningModel& plan)
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
    fixedMoves.clear();
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

    touch();
}
