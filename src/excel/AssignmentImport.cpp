#include "excel/AssignmentImport.h"

#include "excel/ColumnName.h"
#include "excel/ExcelProgress.h"
#include "excel/SheetReader.h"
#include "store/PlanStore.h"
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
    subjectSlots = sheet.subjectSlots;
    assignmentRows = sheet.assignmentRows;
    skippedRows = std::move(sheet.skippedRows);
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

Status AssignmentImport::Save() const
{
    const int classes = classCount();
    if (classes == 0)
        return Failure::refused(QStringLiteral("未设置教师分工！"));

    std::vector<QStringList> rows;
    rows.reserve(static_cast<size_t>(classes));
    for (int k = 0; k < classes; ++k)
        rows.push_back(assignmentRows.mid(k * Plan::kAssignmentTexts, Plan::kAssignmentTexts));

    Transaction transaction(QStringLiteral("保存教师分工"));
    PlanStore::saveSubjects(subjectSlots);
    PlanStore::saveAssignments(rows);
    transaction.commit();
    return Status::done();
}
