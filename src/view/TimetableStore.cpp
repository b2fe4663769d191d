#include "view/TimetableStore.h"

#include "store/ListRewrite.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/TableReader.h"
#include "store/TextRules.h"
#include "store/Transaction.h"
#include "view/TimetableModel.h"

#include <climits>

namespace {

const QString kClassColumn = QStringLiteral("班级");
const QString kSubjectColumn = QStringLiteral("科目");

// Database numbers are 1-based, the model's 0-based.
int zeroBased(int number)
{
    return number == INT_MIN ? INT_MIN : number - 1;
}

QString oneBased(int index)
{
    return QString::number(static_cast<qint64>(index) + 1);
}

// Reads 课表 or 课表教师 into grid: per class row the name, then the slots of the
// week by their position 2 + 9d + p. Stops at the first row whose 班级 is "H".
// Returns the number of class rows read.
int readGridTable(const QString& table, const TimetableModel& model, QStringList& grid)
{
    grid.clear();
    int rows = 0;
    TableReader reader(table);
    while (reader.next()) {
        const QString name = reader.text(kClassColumn);
        if (TextRules::isEmpty(name))
            break;
        grid << name;
        for (int d = 0; d < model.dayCount; ++d)
            for (int p = 0; p < model.periodCount; ++p)
                grid << reader.text(1 + TimetableModel::SavedSlotPosition(d, p));
        ++rows;
    }
    return rows;
}

// One saved row per class: the class name and the 63 slots, "H" outside the week.
std::vector<QStringList> gridRows(const TimetableModel& model, bool teachers)
{
    std::vector<QStringList> rows;
    rows.reserve(static_cast<size_t>(model.classCount));
    for (int c = 0; c < model.classCount; ++c) {
        QStringList row(1 + Plan::kMaxDays * Plan::kMaxPeriods, TextRules::emptyMarker());
        row[0] = teachers ? model.teacherGridClassName(c) : model.className(c);
        for (int d = 0; d < Plan::kMaxDays && d < model.dayCount; ++d)
            for (int p = 0; p < Plan::kMaxPeriods && p < model.periodCount; ++p)
                row[TimetableModel::SavedSlotPosition(d, p)] = teachers ? model.teacher(c, d, p) : model.subject(c, d, p);
        rows.push_back(row);
    }
    return rows;
}

bool validSubject(int n)
{
    return n >= 1 && n <= Plan::kSubjectSlots;
}

} // namespace

void TimetableStore::load(TimetableModel& model)
{
    // 1. The week: every row is read, the last one counts.
    {
        TableReader reader(Schema::kWeekTable);
        while (reader.next()) {
            model.dayCount = TextRules::toInt(reader.text(QStringLiteral("工作天数")));
            model.periodCount = TextRules::toInt(reader.text(QStringLiteral("每天节次")));
        }
    }
    if (model.dayCount < 0 || model.dayCount > Plan::kMaxDays || model.periodCount < 0
        || model.periodCount > Plan::kMaxPeriods) {
        // Slots beyond 7 × 9 have no column; reading them would take another slot's value.
        const QString driver = QStringLiteral("周工作计划为每周%1天、每天%2节，超出课表的范围（最多7天、每天9节）。")
                                   .arg(model.dayCount)
                                   .arg(model.periodCount);
        model.dayCount = 0;
        model.periodCount = 0;
        model.classCount = 0;
        model.subjectGrid.clear();
        model.teacherGrid.clear();
        throw StoreError(QStringLiteral("读取已保存的课表"), driver);
    }

    // 2. Subjects per class.
    model.classCount = 0;
    model.classCount = readGridTable(Schema::kTimetableTable, model, model.subjectGrid);

    // 3. Teachers per class, same shape. A 课表教师 that holds fewer class rows
    // than 课表 (or more) is brought to the shape of 课表, so that every class
    // has a teacher row: missing rows are free slots.
    {
        const int teacherRows = readGridTable(Schema::kTimetableTeachersTable, model, model.teacherGrid);
        const int stride = model.classStride();
        if (teacherRows > model.classCount)
            model.teacherGrid = model.teacherGrid.mid(0, model.classCount * stride);
        for (int c = teacherRows; c < model.classCount; ++c) {
            model.teacherGrid << model.className(c);
            for (int s = 0; s < model.slotCount(); ++s)
                model.teacherGrid << TextRules::emptyMarker();
        }
    }

    // 4. Subject names: row i names subject i + 1; rows past the 24th are not taken.
    {
        TableReader reader(Schema::kSubjectsTable);
        for (int i = 0; i < Plan::kSubjectSlots && reader.next(); ++i)
            model.subjectNames[i] = reader.text(kSubjectColumn);
    }

    // 5. Fixed lessons of classes and subjects the timetable has.
    model.fixedLessons.clear();
    {
        TableReader reader(Schema::kFixedTable);
        while (reader.next()) {
            const QString name = reader.text(kClassColumn);
            if (TextRules::isEmpty(name))
                break;
            const TimetableModel::FixedLesson lesson{
                model.ClassIndex(name),
                zeroBased(TextRules::toInt(reader.text(QStringLiteral("星期")))),
                zeroBased(TextRules::toInt(reader.text(QStringLiteral("节次")))),
                model.SubjectNumber(reader.text(kSubjectColumn)),
            };
            if (lesson.classIndex != -1 && lesson.subject != -1)
                model.appendFixedLesson(lesson);
        }
    }

    // 6. Combined classes: all rows up to the first "H" subject first, then the checks.
    std::vector<QStringList> groups;
    {
        TableReader reader(Schema::kCombinedTable);
        while (reader.next()) {
            QStringList group{reader.text(kSubjectColumn)};
            if (TextRules::isEmpty(group[0]))
                break;
            for (int k = 0; k < Plan::kCombinedMembers; ++k)
                group << reader.text(2 + k);
            groups.push_back(group);
        }
    }
    model.combinedClasses.clear();
    for (const QStringList& group : groups) {
        const int subjectNumber = model.SubjectNumber(group[0]);
        if (subjectNumber == -1)
            continue;
        std::vector<int> members;
        bool known = true;
        for (int k = 1; k <= Plan::kCombinedMembers && known; ++k) {
            const int index = model.ClassIndex(group[k]);
            known = TextRules::isEmpty(group[k]) || index != -1;
            members.push_back(index);
        }
        if (known)
            model.appendCombinedGroup(subjectNumber, members);
    }
}

void TimetableStore::save(const TimetableModel& model)
{
    const QString purpose = QStringLiteral("保存课表");
    Transaction tx(purpose);

    rewriteList(Schema::kTimetableTable, gridRows(model, false), purpose);
    rewriteList(Schema::kTimetableTeachersTable, gridRows(model, true), purpose);

    // Groups that name no class row or subject have nothing to write; the
    // loader and the hand-off never keep such groups.
    std::vector<QStringList> fixedRows;
    for (int i = 0; i < model.fixedLessonCount(); ++i) {
        const TimetableModel::FixedLesson lesson = model.fixedLesson(i);
        if (lesson.classIndex < 0 || lesson.classIndex >= model.classCount || !validSubject(lesson.subject))
            continue;
        fixedRows.push_back({model.className(lesson.classIndex), oneBased(lesson.day), oneBased(lesson.period),
                             model.subjectNames[lesson.subject - 1]});
    }
    rewriteList(Schema::kFixedTable, fixedRows, purpose);

    std::vector<QStringList> combinedRows;
    for (int g = 0; g < model.combinedGroupCount(); ++g) {
        const int subjectNumber = model.combinedSubject(g);
        if (!validSubject(subjectNumber))
            continue;
        QStringList row{model.subjectNames[subjectNumber - 1]};
        for (int k = 0; k < Plan::kCombinedMembers; ++k) {
            const int member = model.combinedMember(g, k);
            row << (member >= 0 && member < model.classCount ? model.className(member) : TextRules::emptyMarker());
        }
        combinedRows.push_back(row);
    }
    rewriteList(Schema::kCombinedTable, combinedRows, purpose);

    tx.commit();
}
