#include "excel/AssignmentImport.h"

#include "excel/ExcelProgress.h"
#include "excel/SheetReader.h"
#include "store/PlanStore.h"
#include "store/Transaction.h"

#include <QDir>

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
