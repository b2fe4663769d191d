#pragma once

#include "dialogs/plan/DialogLook.h"
#include "excel/AssignmentImport.h"

#include <functional>

class QLabel;
class QPushButton;

// "导入教师分工": reads a teacher-assignment workbook, shows what was read
// (the notes on it, and which rows were left out, and why), and on "保存"
// replaces the subject list and the assignment; when the subjects move or
// some are gone, it first asks, listing what moves and what is deleted. It never shows the stored assignment: it opens
// empty, with a picture of the expected sheet.
class CFenGongDlg : public PlanDialog
{
    Q_OBJECT

public:
    explicit CFenGongDlg(QWidget* parent = nullptr);

    // Asks for the workbook; returns an empty path when the user cancels.
    // A file dialog by default; tests put their own in.
    void setFileChooser(std::function<QString(QWidget*)> chooser) { m_chooseFile = std::move(chooser); }
    static QString fileFilters();

    // Reads the file on a worker thread while the progress picture runs; on
    // failure shows the reason and keeps the previous import.
    void importFile(const QString& path);

    const AssignmentImport& currentImport() const { return m_import; }
    ReportList* list() const { return m_list; }
    QLabel* skippedLabel() const { return m_skipped; }
    QPushButton* importButton() const { return m_importButton; }
    QPushButton* saveButton() const { return m_save; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onImport();
    void onSave();
    void showResult();
    // The question before a save that moves or drops subjects; true for "保存".
    bool confirmSave(const QString& question, bool losesData);

    AssignmentImport m_import;
    std::function<QString(QWidget*)> m_chooseFile;
    ReportList* m_list;
    QLabel* m_skipped;
    QPushButton* m_importButton;
    QPushButton* m_save;
};
