#pragma once

#include "base/OutputProgress.h"
#include "base/SchoolDetails.h"
#include "view/PrintChoice.h"

#include <QObject>
#include <QString>

#include <optional>

class CMainFrame;
class PrintDocument;
class QAction;
class QMenu;
class QPoint;
class TimetableData;

// The timetables a school hands out, from the desktop: the 课表 menu (学校信息,
// 打印, and PDF, pictures and a workbook of pages), and the page of one class
// or teacher from a right click on its name in the table. Each asks what to
// print or write (CPrintDlg), then shows the print preview or writes the
// files behind a progress dialog that can be cancelled (OutputRun).
class OutputCommands : public QObject
{
    Q_OBJECT

public:
    enum class Output { Print, Pdf, Pictures, Workbook };

    // Adds the menu before 帮助 and listens to the view's right clicks.
    explicit OutputCommands(CMainFrame* frame);

    QMenu* menu() const { return m_menu; }
    QAction* action(Output output) const;
    QAction* schoolAction() const { return m_school; }

    // The pages of a choice of the timetable, with the school's details.
    static PrintDocument document(const PrintChoice& choice, const TimetableData& data, const SchoolDetails& school);
    // The file or folder name offered for a choice ("总课表.pdf", "一班.pdf", "班级课表" …).
    static QString suggestedName(const PrintChoice& choice, Output output);

    // 学校信息: the dialog that edits the details the pages carry.
    void editSchoolDetails();
    // Asks what to take (unless `only` names one class or teacher), then
    // prints through the preview or writes the files.
    void run(Output output, const std::optional<PrintChoice::Named>& only = std::nullopt);

private:
    void showNameMenu(const PrintChoice::Named& named, const QPoint& globalPos);
    std::optional<SchoolDetails> loadSchool();
    void preview(const PrintDocument& document, const QString& what);
    QString askTarget(const PrintChoice& choice, Output output);
    void report(const OutputResult& result, Output output, const QString& target);

    CMainFrame* m_frame;
    QMenu* m_menu = nullptr;
    QAction* m_school = nullptr;
    QAction* m_actions[4] = {};
    QAction* m_selected = nullptr;
};
