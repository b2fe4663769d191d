#pragma once

#include "dialogs/constraints/ZoneGrid.h"
#include "dialogs/constraints/ZoneTable.h"
#include "dialogs/plan/ListMarks.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// What the subject-zone and teacher-zone dialogs share: the week, the
// classes, the zone table and the grid. The grid shows the union of the zones
// of the marked (class, slot) pairs; "保存" gives every marked pair the zone
// shown and writes the whole table.
class ZoneEditor
{
public:
    virtual ~ZoneEditor() = default;

    int days = 0;
    int periods = 0;
    QStringList classes;
    ZoneTable zones;
    ZoneGrid grid;
    // Where the grid is drawn (left, top, and the area shared among the cells).
    QRect gridArea;

    // Something to edit is marked (the grid may be clicked).
    virtual bool selectionMade() const = 0;
    // The (class, slot) pairs the marks cover.
    virtual std::vector<std::pair<int, int>> markedPairs() const = 0;
    virtual QString table() const = 0;

    // The grid from the zone table: the union over the marked pairs.
    void refresh();
    ZoneGrid::Press press(QPoint point) { return grid.press(point, selectionMade()); }
    int coveredPairs() const { return static_cast<int>(markedPairs().size()); }
    // The grid into the zone table for every marked pair.
    void commitGrid();
    // commitGrid(), then the whole table in one transaction. Throws StoreError.
    void save();

protected:
    void setUpCommon(int days, int periods, const QStringList& classNames, const std::vector<QStringList>& stored);
};

// "设置科目排课区": subjects and classes with marks.
class SubjectZoneLogic : public ZoneEditor
{
public:
    SubjectZoneLogic() { gridArea = QRect(315, 6, 563, 446); }

    QStringList subjects;
    ListMarks subjectMarks;
    ListMarks classMarks;

    // Reads 周工作计划, 任教科目, 教师分工 and 科目要排节次; returns the refusal
    // of data the dialog cannot show (empty when it opens). Throws StoreError.
    QString load();
    void setUp(int days, int periods, const QStringList& subjects, const QStringList& classNames,
               const std::vector<QStringList>& stored);

    void clickSubject(int row);
    void clickClass(int row);
    QString subjectHeaderClicked();
    QString classHeaderClicked();

    bool selectionMade() const override { return subjectMarks.anyChecked() && classMarks.anyChecked(); }
    std::vector<std::pair<int, int>> markedPairs() const override;
    QString table() const override;
};

// "设置教师排课区": teachers with marks; a teacher's zone goes to every
// (class, slot) the teacher teaches.
class TeacherZoneLogic : public ZoneEditor
{
public:
    TeacherZoneLogic() { gridArea = QRect(170, 6, 546, 428); }

    QStringList assignmentRows; // 26 per class
    QStringList teachers;       // in order of first appearance
    ListMarks teacherMarks;

    // Reads 周工作计划, 教师分工 and 教师要排节次. Throws StoreError.
    QString load();
    void setUp(int days, int periods, const QStringList& assignmentRows, const std::vector<QStringList>& stored);

    void clickTeacher(int row);
    QString teacherHeaderClicked();

    bool selectionMade() const override { return teacherMarks.anyChecked(); }
    std::vector<std::pair<int, int>> markedPairs() const override;
    QString table() const override;

private:
    std::vector<std::vector<std::pair<int, int>>> m_lessons; // per teacher
};
