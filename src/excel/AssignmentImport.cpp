#include "excel/AssignmentImport.h"

#include "excel/ColumnName.h"
#include "excel/ExcelProgress.h"
#include "excel/SheetReader.h"
#include "store/PlanStore.h"
#include "store/RulesStore.h"
#include "store/Transaction.h"

#include <QDir>
#include <QHash>

Status AssignmentImport::Import(const QString& path, std::atomic<int>& progressState)
{
    progressState = ExcelProgress::Running;
    const SheetReader::Result read = SheetReader::Read(path);
    if (!read.ok()) {
        progressState = ExcelProgress::Failed;
        return read.status;
    }
    AssignmentSheet sheet = AssignmentSheet::Parse(read.cells);
    if (sheet.classCount() > AssignmentSheet::kMaxClasses) {
        progressState = ExcelProgress::Failed;
        return Failure::file(QStringLiteral("无法读取“%1”：工作表中的班级超过 %2 个的上限。")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(AssignmentSheet::kMaxClasses));
    }
    bool tooLong = false;
    const QString refusal = sheet.refusal(&tooLong);
    if (!refusal.isEmpty()) {
        progressState = ExcelProgress::Failed;
        const QString shown = QDir::toNativeSeparators(path);
        // A cell that is too long is a limit of the file, as it always was.
        return tooLong ? Failure::file(QStringLiteral("无法读取“%1”：%2。").arg(shown, refusal))
                       : Failure::refused(QStringLiteral("无法导入“%1”：%2。").arg(shown, refusal));
    }
    // The optional second sheet: the teachers' times off.
    const SheetReader::Result second = SheetReader::Read(path, 1);
    if (!second.ok()) {
        progressState = ExcelProgress::Failed;
        return second.status;
    }
    TeacherOffSheet off;
    if (!second.sheetMissing) {
        QStringList teachers;
        for (qsizetype i = 0; i < sheet.assignmentRows.size(); ++i)
            if (i % Plan::kAssignmentTexts >= 2 && !Plan::isEmpty(sheet.assignmentRows[i]))
                teachers << sheet.assignmentRows[i];
        off = TeacherOffSheet::Parse(second.cells, teachers);
    }
    hasTeacherOff = off.isTimesOff;
    teacherOffRows = std::move(off.rows);
    teacherOffNotes = std::move(off.notes);
    subjectSlots = sheet.subjectSlots;
    assignmentRows = sheet.assignmentRows;
    skippedRows = std::move(sheet.skippedRows);
    headerGap = sheet.headerGap;
    ignoredHeaders = std::move(sheet.ignoredHeaders);
    progressState = ExcelProgress::Finished;
    return Status::done();
}

int AssignmentImport::subjectCount() const
{
    int subjects = 0;
    while (subjects < Plan::kSubjectSlots && !Plan::isEmpty(subjectSlots[subjects]))
        ++subjects;
    return subjects;
}

std::vector<AssignmentImport::TeacherLessons> AssignmentImport::Teachers() const
{
    std::vector<TeacherLessons> teachers;
    QHash<QString, size_t> rowOf;
    const int subjects = subjectCount();
    for (int k = 0; k < classCount(); ++k)
        for (int n = 1; n <= subjects; ++n) {
            const QString& name = teacher(k, n);
            if (Plan::isEmpty(name) || name.isEmpty())
                continue;
            auto it = rowOf.constFind(name);
            if (it == rowOf.constEnd()) {
                it = rowOf.insert(name, teachers.size());
                teachers.push_back({name, {}});
            }
            teachers[it.value()].taught << className(k) + QLatin1Char(' ') + subjectSlots[n - 1];
        }
    return teachers;
}

std::vector<AssignmentImport::StrayCells> AssignmentImport::CellsOutsideSubjects() const
{
    std::vector<StrayCells> stray;
    const int subjects = subjectCount();
    for (int k = 0; k < classCount(); ++k) {
        StrayCells cells{k, {}, {}};
        for (int n = subjects + 1; n <= Plan::kSubjectSlots; ++n)
            if (!Plan::isEmpty(teacher(k, n))) {
                cells.columns << ColumnName(n + 1);
                cells.texts << teacher(k, n);
            }
        if (!cells.texts.isEmpty())
            stray.push_back(cells);
    }
    return stray;
}

QStringList AssignmentImport::Notes() const
{
    QStringList notes;
    if (headerGap >= 0 && !ignoredHeaders.empty()) {
        QStringList ignored;
        for (const AssignmentSheet::IgnoredHeader& header : ignoredHeaders)
            ignored << QStringLiteral("%1 列“%2”").arg(ColumnName(header.column), header.text);
        notes << QStringLiteral("注意：第 1 行 %1 列是空白，任教科目到此为止；其后的 %2 不会作为科目导入。")
                     .arg(ColumnName(headerGap), ignored.join(QStringLiteral("、")));
    }
    for (const StrayCells& cells : CellsOutsideSubjects()) {
        QStringList stray;
        for (qsizetype i = 0; i < cells.texts.size(); ++i)
            stray << QStringLiteral("%1 列“%2”").arg(cells.columns[i], cells.texts[i]);
        notes << QStringLiteral("注意：班级%1在科目之外的列有内容（%2），会一并保存，但不属于任何科目。")
                     .arg(className(cells.classRow), stray.join(QStringLiteral("，")));
    }
    if (hasTeacherOff) {
        QStringList named;
        for (const RuleRows::TeacherOffRow& row : teacherOffRows)
            if (!named.contains(row.teacher))
                named << row.teacher;
        notes << QStringLiteral("第二个工作表（教师不排课）：%1 位教师有不排课的时间，保存时替换原有的教师不排课设置。").arg(named.size());
        notes << teacherOffNotes;
    }
    return notes;
}

QStringList AssignmentImport::MovedLines(const SubjectRemap& remap)
{
    QStringList lines;
    for (const SubjectRemap::Move& move : remap.moved())
        lines << QStringLiteral("%1：第 %2 → 第 %3 个科目").arg(move.subject).arg(move.from).arg(move.to);
    return lines;
}

QStringList AssignmentImport::DroppedLines(const SubjectRemap& remap)
{
    QStringList lines;
    for (const SubjectRemap::Loss& loss : remap.dropped()) {
        QStringList held;
        if (loss.weeklyCounts > 0)
            held << QStringLiteral("周课时 %1 个年级").arg(loss.weeklyCounts);
        if (loss.subjectZones > 0)
            held << QStringLiteral("科目排课区 %1 个班").arg(loss.subjectZones);
        if (loss.teacherZones > 0)
            held << QStringLiteral("教师排课区 %1 个班").arg(loss.teacherZones);
        if (loss.fixedLessons > 0)
            held << QStringLiteral("固定科目 %1 节").arg(loss.fixedLessons);
        if (loss.combinedGroups > 0)
            held << QStringLiteral("合班 %1 组").arg(loss.combinedGroups);
        lines << QStringLiteral("%1（原第 %2 个科目）：%3")
                     .arg(loss.subject)
                     .arg(loss.from)
                     .arg(held.isEmpty() ? QStringLiteral("没有设置") : held.join(QStringLiteral("、")));
    }
    return lines;
}

SubjectRemap AssignmentImport::PrepareSave() const
{
    return SubjectRemap::Prepare(subjectSlots);
}

Status AssignmentImport::Save(const SubjectRemap& confirmed) const
{
    const int classes = classCount();
    if (classes == 0)
        return Failure::refused(QStringLiteral("未设置教师分工！"));

    std::vector<QStringList> rows;
    rows.reserve(static_cast<size_t>(classes));
    for (int k = 0; k < classes; ++k)
        rows.push_back(assignmentRows.mid(k * Plan::kAssignmentTexts, Plan::kAssignmentTexts));

    Transaction transaction(QStringLiteral("保存教师分工"));
    const SubjectRemap remap = SubjectRemap::Prepare(subjectSlots);
    if (!(remap == confirmed))
        return Failure::refused(QStringLiteral("任教科目或其设置在确认之后被其他程序改动了，没有保存。请重新保存。"));
    remap.apply();
    PlanStore::saveSubjects(subjectSlots);
    PlanStore::saveAssignments(rows);
    if (hasTeacherOff)
        RulesStore::saveTeacherOff(teacherOffRows);
    transaction.commit();
    return Status::done();
}

Status AssignmentImport::Save() const
{
    if (classCount() == 0)
        return Failure::refused(QStringLiteral("未设置教师分工！"));
    Transaction transaction(QStringLiteral("保存教师分工"));
    const Status saved = Save(PrepareSave());
    if (saved.ok())
        transaction.commit();
    return saved;
}
