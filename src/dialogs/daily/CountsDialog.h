#pragma once

#include "view/daily/CoverCounts.h"

#include <QDialog>

#include <functional>

class QDateEdit;
class QTableWidget;

// 代课统计: per teacher, the lessons covered, missed and swapped in a month,
// as a table and as an .xlsx workbook.
class CountsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CountsDialog(QWidget* parent = nullptr);

    bool loadData();
    void setMonth(int year, int month);
    const CoverCounts& counts() const { return m_counts; }
    QTableWidget* table() const { return m_table; }
    bool exportTo(const QString& path);
    void setFileChooser(std::function<QString()> chooser) { m_chooser = std::move(chooser); }

private:
    void showMonth();

    DailyData m_data;
    bool m_loaded = false;
    CoverCounts m_counts;
    std::function<QString()> m_chooser;
    QDateEdit* m_month = nullptr;
    QTableWidget* m_table = nullptr;
};
