#pragma once

#include "base/SchoolDetails.h"
#include "view/daily/DailyRecords.h"

#include <QDialog>

#include <functional>
#include <memory>

class DailyIndex;
class QDateEdit;
class QLabel;
class QPushButton;
struct DailyNotice;

// 代课单: the day's notice as it will be handed out, to print or to write as
// a PDF or a picture through the print layer.
class NoticeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit NoticeDialog(QWidget* parent = nullptr);
    ~NoticeDialog() override;

    bool loadData();
    void setDate(const QDate& date);
    // Writes the shown day's notice (PDF for a name ending .pdf, else PNG);
    // a failure is shown with its reason. True when written.
    bool writeTo(const QString& path);
    // The file name asked for by 导出 (tests answer it without a file dialog).
    void setFileChooser(std::function<QString(const QString& filter)> chooser) { m_chooser = std::move(chooser); }

    QLabel* preview() const { return m_preview; }

private:
    void showNotice();
    void exportFile(const QString& filter);
    void print();
    DailyNotice notice() const;

    DailyData m_data;
    SchoolDetails m_school;
    std::unique_ptr<DailyIndex> m_index;
    std::function<QString(const QString&)> m_chooser;
    QDateEdit* m_date = nullptr;
    QLabel* m_preview = nullptr;
};
