#pragma once

#include "view/daily/DailyRecords.h"

#include <QDialog>

#include <memory>

class DailyIndex;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// 请假登记: a teacher, a date range, optionally some periods, and a reason;
// the absences recorded; the lessons the chosen (or just recorded) absence
// touches, listed at once.
class AbsenceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AbsenceDialog(QWidget* parent = nullptr);
    ~AbsenceDialog() override;

    // False when there is nothing to work on (no saved timetable or calendar;
    // the reason was shown).
    bool loadData();

    QComboBox* teacherBox() const { return m_teacher; }
    QDateEdit* fromEdit() const { return m_from; }
    QDateEdit* toEdit() const { return m_to; }
    QLineEdit* periodsEdit() const { return m_periods; }
    QLineEdit* reasonEdit() const { return m_reason; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* removeButton() const { return m_remove; }
    QTableWidget* absenceTable() const { return m_absences; }
    QTableWidget* lessonTable() const { return m_lessons; }

private:
    void saveAbsence();
    void removeAbsence();
    void showAbsences(int selectId);
    void showLessons(int row);

    DailyData m_data;
    std::unique_ptr<DailyIndex> m_index;
    QComboBox* m_teacher = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QLineEdit* m_periods = nullptr;
    QLineEdit* m_reason = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_remove = nullptr;
    QTableWidget* m_absences = nullptr;
    QTableWidget* m_lessons = nullptr;
    QLabel* m_lessonsTitle = nullptr;
};
