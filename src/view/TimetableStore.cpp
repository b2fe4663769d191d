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

// A row of 固定科目 in use (before the first "H" class), as it is in the file.
struct FixedRow
{
    int id = 0;
    QString className;
    QString day;
    QString period;
    QString subject;
    bool written = false; // changed by a move

    bool is(const FixedMoveLog::Row& row) const
    {
        return className == row.className && subject == row.subject && TextRules::toInt(day) - 1 == row.day
            && TextRules::toInt(period) - 1 == row.period;
    }
};

// Applies the hand moves of fixed lessons to the rows of 固定科目 as they are
// now, in the order they were made: each move takes the first row that still
// names the lesson where it stood. A move whose row is gone or was changed
// meanwhile changes nothing. Only the rows a move changed are written.
void writeFixedMoves(const FixedMoveLog& log, const QString& purpose)
{
    if (log.empty())
        return;
    std::vector<FixedRow> rows;
    {
        TableReader reader(Schema::kFixedTable);
        while (reader.next()) {
            FixedRow row{TextRules::toInt(reader.text(0)), reader.text(kClassColumn), reader.text(QStringLiteral("星期")),
                         reader.text(QStringLiteral("节次")), reader.text(kSubjectColumn)};
            if (TextRules::isEmpty(row.className))
                break;
            rows.push_back(row);
        }
    }
    const std::vector<FixedRow> before = rows;
    for (const FixedMoveLog::Move& move : log.moves()) {
        for (FixedRow& row : rows) {
            if (!row.is(move.from))
                continue;
            row.day = oneBased(move.to.day);
            row.period = oneBased(move.to.period);
            row.subject = move.to.subject;
            row.written = true;
            break;
        }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const FixedRow& row = rows[i];
        const FixedRow& was = before[i];
        if (!row.written || (row.day == was.day && row.period == was.period && row.subject == was.subject))
            continue;
        updateRow(Schema::kFixedTable, {QStringLiteral("星期"), QStringLiteral("节次"), kSubjectColumn},
                  {row.day, row.period, row.subject}, row.id, purpose);
    }
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
        model.fixedMoves.clear();
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
    model.fixedMoves.clear();
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
    writeFixedMoves(model.fixedMoves, purpose);

    tx.commit();
    model.fixedMoves.clear();
    model.markSaved();
}
