#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// The weekly lesson plan as its dialog edits it: one row per grade (12),
// column 0 the weekly total, column 1 the grade name, columns 2.. the lessons
// of each subject. A count of 0 shows as an empty cell; only the rows of
// grades that occur in the teacher assignment can be edited.
class LessonPlanLogic
{
public:
    static constexpr int kGrades = 12;

    // Grade name to 1..12, 0 for a name that is not a grade. Accepts the long
    // names and the short forms the import accepts ("初一", "高一" ...).
    static int GradeNumber(const QString& gradeName);
    static QString lessonsMessage(int lessonsPerWeek);

    QStringList subjects;                 // column headers from column 2 on
    std::array<bool, kGrades> gradePresent{};
    std::vector<QStringList> rows;        // per grade: total, grade, counts

    // Reads 任教科目, 教师分工 and 周课时计划. Throws StoreError.
    void load();

    int columnCount() const { return 2 + static_cast<int>(subjects.size()); }
    bool canEdit(int row, int column) const;
    const QString& cell(int row, int column) const { return rows[static_cast<size_t>(row)][column]; }
    // The editor's text becomes the cell ("0" shows as empty) and the total follows.
    void setCell(int row, int column, const QString& text);
    // The total of a row while its cell (row, column) is being edited: the
    // editor's text counts in place of the cell's.
    QString totalWhileTyping(int row, int column, const QString& editorText) const;
    // "清空列表": every count and total empty; the grade names stay.
    void clearAll();

    // The check before saving: the message naming the week's lessons when a
    // grade in use does not add up to days x periods; empty when all do.
    QString check(int lessonsPerWeek) const;
    // Reads the week, checks, and writes all twelve rows in one transaction.
    // Returns the refusal (nothing written) or an empty text. Throws StoreError.
    QString save() const;

private:
    int total(int row) const;
    void refreshTotal(int row);
};
