#pragma once

#include <QDialog>

// The user guide: one picture of the four steps of the work.
class CHelpDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CHelpDlg(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
