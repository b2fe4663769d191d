#pragma once

#include "view/daily/DailyRecords.h"

#include <QDialog>

#include <memory>

class DailyIndex;
class QComboBox;
class QDateEdit;
class QLabel;
class QTableWidget;

// 当日课表: the timetable of a chosen date, the master table (classes by
// periods) or the teachers' (teachers by periods), with the day's changes in
// their colours and a legend of them. Reads the saved timetable; the term's
// timetable in the main window is left as it is.
class DayTimetableDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DayTimetableDialog(QWidget* parent = nullptr);
    ~DayTimetableDialog() override;

    bool loadData();
    void setDate(const QDate& date);
    // 0: master table, 1: teachers.
    void setViewKind(int kind);

    QTableWidget* grid() const { return m_grid; }

private:
    void showDay();

    DailyData m_data;
    std::unique_ptr<DailyIndex> m_index;
    QDateEdit* m_date = nullptr;
    QComboBox* m_kind = nullptr;
    QLabel* m_note = nullptr;
    QTableWidget* m_grid = nullptr;
};
