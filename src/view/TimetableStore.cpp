#include "view/TimetableStore.h"

#include "store/ListRewrite.h"
#include "store/PlanReader.h"
#include "store/Schema.h"
#include "store/TableReader.h"
#include "store/TextRules.h"
#include "store/Transaction.h"
#include "view/TimetableData.h"

namespace {

const QString kClassColumn = QStringLiteral("班级");
const QString kSubjectColumn = QStringLiteral("科目");

QString oneBased(int index)
{
    return QString::number(static_cast<qint64>(index) + 1);
}

// Reads 课表 or 课表教师 into grid: per class row the name, then the slots of the
// week by their position 2 + 9d + p. Stops at the first row whose 班级 is "H".
// Returns the number of class rows read.
int readGridTable(const QString& table, const TimetableData& model, QStringList& grid)
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
                grid << reader.text(1 + TimetableData::SavedSlotPosition(d, p));
        ++rows;
    }
    return rows;
}

// One saved row per class: the class name and the 63 slots, "H" outside the week.
std::vector<QStringList> gridRows(const TimetableData& model, bool teachers)
{
    std::vector<QStringList> rows;
    rows.reserve(static_cast<size_t>(model.classCount));
    for (int c = 0; c < model.classCount; ++c) {
        QStringList row(1 + Plan::kMaxDays * Plan::kMaxPeriods, TextRules::emptyMarker());
        row[0] = teachers ? model.teacherGridClassName(c) : model.className(c);
        for (int d = 0; d < Plan::kMaxDays && d < model.dayCount; ++d)
            for (int p = 0; p < Plan::kMaxPeriods && p < model.periodCount; ++p)
                row[TimetableData::SavedSlotPosition(d, p)] = teachers ? model.teacher(c, d, p) : model.subject(c, d, p);
        rows.push_back(row);
    }
    return rows;
}

bool validSubject(int n)
{
    return n >= 1 && n <= Plan::kSubjectSlots;
}

} // namespace

Status TimetableStore::LoadSavedTimetable(TimetableData& model)
{
    // 1. The week: every row is read, the last one counts.
    PlanReader::ReadWeek(model.dayCount, model.periodCount);
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
        model.touch();
        return Failure::refused(QStringLiteral("读取已保存的课表：") + driver);
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

    // 5. and 6. Fixed lessons and combined groups of classes and subjects the
    // timetable has, by the rules the run reads them with; the days and periods
    // of fixed lessons stand as saved.
    const PlanReader::NameLookup classIndex = [&model](const QString& name) { return model.ClassIndex(name); };
    const PlanReader::NameLookup subjectNumber = [&model](const QString& name) { return model.SubjectNumber(name); };
    model.fixedLessons = PlanReader::ReadFixedLessons(classIndex, subjectNumber, std::nullopt);
    model.combinedClasses = PlanReader::ReadCombinedClasses(classIndex, subjectNumber);
    model.touch();
    model.markSaved();
    return Status::done();
}

void TimetableStore::SaveTimetable(TimetableData& model)
{
    const QString purpose = QStringLiteral("保存课表");
    Transaction tx(purpose);

    rewriteList(Schema::kTimetableTable, gridRows(model, false), purpose);
    rewriteList(Schema::kTimetableTeachersTable, gridRows(model, true), purpose);

    // Groups that name no class row or subject have nothing to write; the
    // loader and the hand-off never keep such groups.
    std::vector<QStringList> fixedRows;
    for (int i = 0; i < model.fixedLessonCount(); ++i) {
        const TimetableData::FixedLesson lesson = model.fixedLesson(i);
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
    model.markSaved();
}
