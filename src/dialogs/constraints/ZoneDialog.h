#pragma once

#include "dialogs/plan/DialogLook.h"

class QLabel;
class QPushButton;
class ZoneEditor;
class ZoneGridWidget;

// The part the subject-zone and teacher-zone dialogs share: the grid, the
// count of what the marks cover, "清除所有", "保存" with its status line.
class ZoneDialog : public PlanDialog
{
    Q_OBJECT

public:
    ZoneGridWidget* gridWidget() const { return m_grid; }
    QPushButton* clearButton() const { return m_clear; }
    QPushButton* saveButton() const { return m_save; }
    QLabel* statusLabel() const { return m_status; }
    QLabel* countLabel() const { return m_count; }

protected:
    ZoneDialog(QWidget* parent, const QString& caption, int widthDlu, int heightDlu, ZoneEditor& editor);
    // The editor is a member of the derived dialog: these run from its
    // constructor. The grid's place grows with the dialog's font (before loading).
    void scaleGridArea();
    // Places the grid and the buttons once the editor is loaded.
    void setUpGrid(const QRect& status, const QRect& clear, const QRect& save);
    // After a click on a list: the grid and the count follow the marks.
    void marksChanged();
    virtual QString needsSelectionMessage() const = 0;
    virtual QString countText(int pairs) const = 0;

private:
    void onPressed(QPoint point);
    void onSave();

    ZoneEditor& m_editor;
    ZoneGridWidget* m_grid = nullptr;
    QPushButton* m_clear;
    QPushButton* m_save;
    QLabel* m_status;
    QLabel* m_count;
};
