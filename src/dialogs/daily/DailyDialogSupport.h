#pragma once

#include "view/daily/DailyRecords.h"

#include <QString>

#include <functional>

class QDateEdit;
class QHBoxLayout;
class QDate;
class QTableWidget;
class QWidget;

// What the dialogs of the daily changes share: loading the saved timetable
// and the records, a guarded database write, date fields and plain tables.
namespace DailyDialogs {

// Reads the saved timetable and the daily records. Without a saved timetable,
// or (needCalendar) without a term calendar, or on a database failure, shows
// why in a message box over `parent` and returns false.
bool load(QWidget* parent, DailyData& data, bool needCalendar);

// Runs a database write; a StoreError is shown with the driver's message and
// false returned (the write ran in one transaction: nothing half-written).
bool write(QWidget* parent, const std::function<void()>& step);

void showMessage(QWidget* parent, const QString& text);

// A date field written YYYY-MM-DD with a calendar to pick from.
QDateEdit* dateEdit(const QDate& date, QWidget* parent);
// The date row a daily dialog opens with: "日期：", a date field and the
// 前一天 / 后一天 buttons that step it, added to `row`; returns the field.
QDateEdit* dateRow(QHBoxLayout* row, QWidget* parent);

// A read-only table with whole-row selection and the given column heads.
QTableWidget* table(const QStringList& heads, QWidget* parent);
// Replaces the rows of a table built by table().
void setRows(QTableWidget* table, const std::vector<QStringList>& rows);

// The day to open a daily dialog on: today inside the term, else its first day.
QDate startDate(const TermCalendar& calendar);

} // namespace DailyDialogs
