#pragma once

#include "dialogs/plan/DialogLook.h"
#include "view/PrintChoice.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// What to print or write out: 总课表, 教师总课表, or a page for each chosen
// class or teacher (all at first). The list can be narrowed by typing part
// of a name. The button that goes on (打印预览, 导出…) refuses a choice that
// cannot be printed with a message, and the dialog stays open.
class CPrintDlg : public PlanDialog
{
    Q_OBJECT

public:
    CPrintDlg(QWidget* parent, const QString& caption, const QString& goText, const PrintChoice& choice);

    // The workbook of pages has no overview (导出课表 writes those): only
    // the class and teacher pages are offered.
    void offerOverviews(bool offered);

    const PrintChoice& choice() const { return m_choice; }
    QRadioButton* kindButton(PrintChoice::Kind kind) const { return m_kinds[int(kind)]; }
    QListWidget* list() const { return m_list; }
    QLineEdit* filterEdit() const { return m_filter; }
    QCheckBox* allBox() const { return m_all; }
    QPushButton* goButton() const { return m_go; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showKind();
    void showFilter();
    void showSummary();
    void onGo();

    PrintChoice m_choice;
    QRadioButton* m_kinds[4];
    QLineEdit* m_filter;
    QListWidget* m_list;
    QCheckBox* m_all;
    QLabel* m_summary;
    QPushButton* m_go;
    QPushButton* m_cancel;
    bool m_filling = false;
};
