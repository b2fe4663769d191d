#pragma once

#include "view/daily/DailyRecords.h"
#include "view/daily/SubstituteFinder.h"

#include <QDialog>

#include <memory>
#include <vector>

class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

// 代课安排: for a chosen date, each lesson of an absent teacher with what was
// chosen, and the ranked ways to give the selected one (substitutes, swaps,
// 自习); the user picks one, stored for that date and period. A choice that
// no longer fits the saved timetable is shown in red with the reason, and a
// choice matching no lesson any more is listed below the lessons.
class CoverDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CoverDialog(QWidget* parent = nullptr);
    ~CoverDialog() override;

    bool loadData();
    void setDate(const QDate& date);

    QDateEdit* dateField() const { return m_date; }
    QTableWidget* lessonTable() const { return m_lessons; }
    QListWidget* suggestionList() const { return m_suggestions; }
    QPushButton* chooseButton() const { return m_choose; }
    QPushButton* clearButton() const { return m_clear; }

private:
    void showDay();
    void showSuggestions(int row);
    void choose();
    void clearChoice();
    bool reload();

    // A row of the lesson table: a lesson of the day, or a choice that matches none.
    struct Row
    {
        int lesson = -1;
        int cover = -1;
    };

    DailyData m_data;
    std::unique_ptr<SubstituteFinder> m_finder;
    std::vector<LessonSuggestions> m_day;
    DayList m_list;
    std::vector<Row> m_rows;
    QDateEdit* m_date = nullptr;
    QLabel* m_dayNote = nullptr;
    QTableWidget* m_lessons = nullptr;
    QListWidget* m_suggestions = nullptr;
    QPushButton* m_choose = nullptr;
    QPushButton* m_clear = nullptr;
};
