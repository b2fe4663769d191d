#pragma once

#include "base/Failure.h"
#include "excel/AssignmentSheet.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

// The teacher assignment as the assignment dialog holds it between "导入教师分工"
// and "保存": the subject list and the class rows of the last successful
// import. Each import replaces them as a whole; a failed one leaves them as
// they were.
class AssignmentImport
{
public:
    // Subject number n at n - 1 ("H" for none); empty texts until the first import.
    QStringList subjectSlots = QStringList(Plan::kSubjectSlots);
    // 26 texts per class: grade, class, teachers of subjects 1..24.
    QStringList assignmentRows;
    // Rows of the last imported sheet that were not taken, and why.
    std::vector<AssignmentSheet::SkippedRow> skippedRows;

    int classCount() const { return static_cast<int>(assignmentRows.size() / Plan::kAssignmentTexts); }

    // ---- What the import found, for the dialog and vorlat-cli to show ------

    // Subjects before the first "H".
    int subjectCount() const;
    const QString& gradeName(int k) const { return assignmentRows[k * Plan::kAssignmentTexts]; }
    const QString& className(int k) const { return assignmentRows[k * Plan::kAssignmentTexts + 1]; }
    // Teacher of subject number n (1..24) in class k; "H" for none.
    const QString& teacher(int k, int n) const { return assignmentRows[k * Plan::kAssignmentTexts + 1 + n]; }

    // A teacher in order of first appearance, with "class subject" for each lesson taught.
    struct TeacherLessons
    {
        QString name;
        QStringList taught;
    };
    std::vector<TeacherLessons> Teachers() const;

    // Teacher cells of a class in the columns after the last subject: stored,
    // but belonging to no subject.
    struct StrayCells
    {
        int classRow = 0;   // k
        QStringList columns; // spreadsheet column names ("E")
        QStringList texts;
    };
    std::vector<StrayCells> CellsOutsideSubjects() const;

    // Reads the first worksheet of the file and takes it apart. progressState
    // goes to Running, then to Finished, or to Failed when the file cannot be
    // read. Returns done, or a File failure naming the file and the reason.
    // Never throws. Touches no database, so it may run on
    // a worker thread while the caller shows progress.
    Status Import(const QString& path, std::atomic<int>& progressState);

    // "保存": replaces 任教科目 (all 24 rows) and 教师分工 in one transaction.
    // Refuses with "未设置教师分工！" without writing anything when there is no
    // class. Throws StoreError; the tables are then unchanged.
    // Runs on the thread that owns the shared connection.
    Status Save() const;
};
