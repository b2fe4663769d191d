#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <utility>
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
    // The most lessons a subject can have: the week's days x periods (0
    // without a week).
    int maxCount = 0;
    std::array<bool, kGrades> gradePresent{};
    std::vector<QStringList> rows;        // per grade: total, grade, counts

    // Reads 任教科目, 教师分工, 周课时计划 and 周工作计划. Throws StoreError.
    void load();
    // The lessons of the week: days x periods, without overflow (0 for a
    // week without days or periods, at most the largest int).
    static int lessonsPerWeek(int days, int periods);

    int columnCount() const { return 2 + static_cast<int>(subjects.size()); }
    bool canEdit(int row, int column) const;
    const QString& cell(int row, int column) const { return rows[static_cast<size_t>(row)][column]; }
    // What a cell accepts: nothing (0) or a decimal count 0 .. maxCount.
    bool acceptsCount(const QString& text) const;
    // The editor's text becomes the cell ("0" shows as empty) and the total
    // follows; a text the cell does not accept changes nothing (false).
    bool setCell(int row, int column, const QString& text);
    // The total of a row while its cell (row, column) is being edited: the
    // editor's text counts in place of the cell's.
    QString totalWhileTyping(int row, int column, const QString& editorText) const;
    // "清空列表": every count and total empty; the grade names stay.
    void clearAll();

    // The grades in use other than row `from`: where its counts can go.
    std::vector<int> copyTargets(int from) const;
    // Copies the counts of grade row `from` into each row of `to` that can
    // be edited (the totals follow); returns how many rows took them.
    int copyCounts(int from, const std::vector<int>& to);

    // Where the editor goes from a cell: Enter moves down (Shift+Enter up)
    // in the same subject, Tab moves right (Shift+Tab left) and wraps to the
    // next (previous) grade in use. Rows that cannot be edited are passed
    // over; {-1, -1} when there is no such cell.
    enum class Step { Down, Up, Right, Left };
    std::pair<int, int> nextCell(int row, int column, Step step) const;

    // The check before saving: for a grade in use, the message naming a
    // count outside 0 .. days x periods, or the one naming the week's lessons
    // when the row does not add up to them; empty when all do.
    QString check(int lessonsPerWeek) const;
    // Reads the week, checks, and writes all twelve rows in one transaction.
    // Returns the refusal (nothing written) or an empty text. Throws StoreError.
    QString save() const;

private:
    long long total(int row) const;
    void refreshTotal(int row);
};
