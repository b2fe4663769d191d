#pragma once

#include "base/PlanVocabulary.h"

#include <QString>
#include <QStringList>

#include <vector>

// Small readers of the planning tables for the dialogs: each reads one table
// in row-id order on the shared connection and throws StoreError on a
// database failure. The dialogs read the rows as stored, not the run's
// normalised plan: a zone dialog writes back "9" and the days after the week
// as they were, and the lists stop at the first placeholder as the tables'
// readers do.
namespace PlanTables {

constexpr int kSubjects = Plan::kSubjectSlots;
constexpr int kAssignmentStride = Plan::kAssignmentTexts; // grade, class, teachers of subjects 1..24

struct Week
{
    bool found = false; // false when 周工作计划 has no row
    int days = 0;
    int periods = 0;
};
// 周工作计划: the last row wins.
Week readWeek();

// 任教科目: the first 24 rows, "H" included and padded with "H". beyond gets
// the first name found after the 24th row ("H" rows do not count).
QStringList readSubjectSlots(QString* beyond = nullptr);
// The names before the first "H".
QStringList leadingSubjects(const QStringList& slots);

// 教师分工: 26 texts per class, up to the first row whose grade or class is "H".
QStringList readAssignmentRows();
inline int classCount(const QStringList& rows) { return static_cast<int>(rows.size() / kAssignmentStride); }
QStringList classNames(const QStringList& rows);

// Rows of a list table up to the first row whose key column is "H": the texts
// of the given ordinal positions.
std::vector<QStringList> readListRows(const QString& table, const QString& keyColumn, int firstOrdinal,
                                      int lastOrdinal);

// The message that refuses a week or a subject list the dialogs cannot show
// (no week row, fewer than 1 or more than 7 days, fewer than 1 or more than 9
// periods, a subject after the 24th); empty when everything fits.
QString limitsRefusal(const Week& week, const QString& subjectBeyond);

} // namespace PlanTables
