#pragma once

#include "dialogs/plan/AssignmentTable.h"
#include "dialogs/plan/DialogLook.h"
#include "excel/AssignmentImport.h"

#include <QAbstractItemDelegate>

#include <functional>

class QLabel;
class QPushButton;

// "导入教师分工": opens showing the stored subjects and assignment (a picture
// of the expected sheet when nothing is stored yet). A teacher cell can be
// changed in place (double-click or F2; Enter or Tab takes the text, Esc
// drops it), and "保存" then rewrites only 教师分工. Reading a workbook shows
// what was read instead (the notes on it, and which rows were left out, and
// why), and "保存" replaces the subject list and the assignment; when the
// subjects move or some are gone, it first asks, listing what moves and
// what is deleted. Closing writes nothing.
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
    const AssignmentTable& table() const { return m_table; }
    ReportList* list() const { return m_list; }
    QLabel* skippedLabel() const { return m_skipped; }
    QPushButton* importButton() const { return m_importButton; }
    QPushButton* saveButton() const { return m_save; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Enter in the list never presses "保存".
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onImport();
    void onSave();
    void saveImport();
    void showTable();
    void showNotes();
    void onCellChanged(int row, int column);
    void onEditorClosed(QAbstractItemDelegate::EndEditHint hint);
    // The question before a save that moves or drops subjects; true for "保存".
    bool confirmSave(const QString& question, bool losesData);

    // The last good import; the table shows it once there is one.
    AssignmentImport m_import;
    AssignmentTable m_table;
    bool m_filling = false;
    std::function<QString(QWidget*)> m_chooseFile;
    ReportList* m_list;
    QLabel* m_skipped;
    QPushButton* m_importButton;
    QPushButton* m_save;
};
