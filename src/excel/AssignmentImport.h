#pragma once

#include "base/Failure.h"
#include "excel/AssignmentSheet.h"
#include "excel/TeacherOffSheet.h"
#include "store/SubjectRemap.h"

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
    // The blank header cell that ended the subjects (0-based column, -1 for
    // none) and the header texts after it, which are not subjects.
    int headerGap = -1;
    std::vector<AssignmentSheet::IgnoredHeader> ignoredHeaders;
    // The workbook's second worksheet, when it has one (TeacherOffSheet):
    // the teachers' times off, which the save writes to 教师不排课 in place of
    // what it held; without the sheet 教师不排课 is left as it is.
    bool hasTeacherOff = false;
    std::vector<RuleRows::TeacherOffRow> teacherOffRows;
    QStringList teacherOffNotes;

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

    // Notes on what the import leaves out or takes in without a subject: the
    // header texts after a blank header cell, and the teacher cells outside
    // the subjects, one line each; empty when there is nothing to say.
    QStringList Notes() const;

    // Reads the first worksheet of the file and takes it apart. progressState
    // goes to Running, then to Finished, or to Failed when the file cannot be
    // read or the sheet cannot be imported. Returns done; a File failure
    // naming the file and the reason (a cell of the header row or of a class
    // row longer than a cell may be is such a reason); or a Refused failure
    // naming the rows or columns when two classes or two subjects share a
    // name. Never throws. Touches no database, so it may run on a worker
    // thread while the caller shows progress.
    Status Import(const QString& path, std::atomic<int>& progressState);

    // What saving would do to the counts, zones, fixed lessons and combined
    // groups stored under the present subjects (see SubjectRemap), for the
    // question before "保存". Throws StoreError.
    SubjectRemap PrepareSave() const;

    // "保存": replaces 任教科目 (all 24 rows) and 教师分工 and moves what is
    // stored for each subject to its new number, all in one transaction.
    // `confirmed` is what the user agreed to; when the database no longer
    // matches it (another program changed the subjects meanwhile) nothing is
    // written and the save is refused. Refuses with "未设置教师分工！" without
    // writing anything when there is no class. Throws StoreError; the tables
    // are then unchanged. Runs on the thread that owns the shared connection.
    Status Save(const SubjectRemap& confirmed) const;
    // The same without a question: the counts and zones follow their
    // subjects, and what belongs to a dropped subject is removed.
    Status Save() const;

    // A remap in the user's words, one line per subject: "语文：第 1 → 第 3
    // 个科目" for a move, "物理（原第 4 个科目）：周课时 2 个年级、固定科目
    // 1 节" for a subject that is dropped with what is stored for it.
    static QStringList MovedLines(const SubjectRemap& remap);
    static QStringList DroppedLines(const SubjectRemap& remap);
};
