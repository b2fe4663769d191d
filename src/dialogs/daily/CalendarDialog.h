#pragma once

#include "view/daily/TermCalendar.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

// 校历: the first day of term, the number of weeks, the holidays and the
// make-up days (调休: a weekend day that follows a weekday's timetable).
// Saved as a whole.
class CalendarDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CalendarDialog(QWidget* parent = nullptr);

    bool loadData();
    const TermCalendar& calendar() const { return m_calendar; }

private:
    void showSpecialDays();
    void addSpecialDay();
    void removeSpecialDay();
    void saveCalendar();

    TermCalendar m_calendar;
    QDateEdit* m_first = nullptr;
    QSpinBox* m_weeks = nullptr;
    QDateEdit* m_day = nullptr;
    QComboBox* m_kind = nullptr;
    QComboBox* m_weekday = nullptr;
    QTableWidget* m_days = nullptr;
    QPushButton* m_save = nullptr;
};
