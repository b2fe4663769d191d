#pragma once

#include "base/Failure.h"
#include "excel/AssignmentImport.h"

#include <QString>
#include <QStringList>

#include <vector>

// The teacher assignment the assignment dialog shows: the stored one when the
// dialog opens, the last import once there is one. A teacher can be changed
// for one class and subject; the grades, class names and subjects cannot
// (other tables name the classes, and the subjects are changed by importing).
//
// List rows and columns are those of AssignmentView::resultRows: row 0 is the
// header ("年级", "班级", the subjects), row k + 1 is class k, column n + 1 is
// subject n.
class AssignmentTable
{
public:
    enum class Origin { Stored, Imported };

    // Reads 任教科目 and 教师分工 as stored; forgets any change. Throws StoreError.
    void loadStored();
    // Shows an import instead of what is shown now; changes made to the
    // stored rows are dropped.
    void takeImport(const AssignmentImport& import);

    Origin origin() const { return m_origin; }
    // The subjects and classes shown, changed teachers included. For an
    // import, this is what "保存" saves as the import.
    const AssignmentImport& assignment() const { return m_shown; }
    int classCount() const { return m_shown.classCount(); }
    std::vector<QStringList> rows() const;

    // A cell holding the teacher of a subject shown, for one class.
    bool isTeacherCell(int row, int column) const;
    // Makes `text` the teacher of that cell: blanks at either end are
    // dropped, and an empty text means no teacher. Returns what the cell
    // shows now; a cell that is not a teacher cell is left as it is.
    QString setTeacher(int row, int column, const QString& text);
    // True when the cell's teacher differs from the one stored or imported.
    bool isChanged(int row, int column) const;
    int changedCount() const;
    bool isModified() const { return changedCount() > 0; }

    // "保存" of the stored assignment with its changed teachers: rewrites
    // 教师分工 in one transaction and leaves 任教科目 and everything kept by
    // subject alone. Refused, writing nothing, when 任教科目 or 教师分工 is no
    // longer what was read (another program changed it meanwhile). Only for
    // Origin::Stored. Throws StoreError; the table is then unchanged.
    Status SaveChanges() const;

private:
    int teacherIndex(int row, int column) const;

    Origin m_origin = Origin::Stored;
    AssignmentImport m_shown;
    // What was read or imported, to tell changes and, for the stored
    // assignment, whether the database still holds it.
    QStringList m_originalRows;
    QStringList m_storedSubjects;
};
