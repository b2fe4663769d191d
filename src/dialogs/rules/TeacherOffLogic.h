#pragma once

#include "base/RuleRows.h"
#include "base/SchoolPlan.h"
#include "dialogs/constraints/ZoneGrid.h"
#include "dialogs/plan/ListMarks.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

// "教师不排课": mark teachers, mark the periods they cannot teach in the week
// grid (a stroke toggles cells, the 整天 / 上午 / 下午 buttons a part of a day);
// "保存" gives every marked teacher the periods shown and writes 教师不排课.
// As in the zone dialogs, the grid shows the union of the marked teachers'
// periods.
class TeacherOffLogic
{
public:
    enum class Part { WholeDay, Morning, Afternoon };

    TeacherOffLogic() { gridArea = QRect(170, 6, 546, 428); }

    int days = 0;
    int periods = 0;
    int morning = 0; // periods before the 午休, within the day
    QStringList teachers;
    ListMarks teacherMarks;
    ZoneGrid grid;
    QRect gridArea;
    // Per teacher, the periods off (days × periods, day-major).
    std::map<QString, std::vector<bool>> off;
    // Stored rows that name no teacher of the list or cannot be read: kept
    // as they are, after the dialog's own rows.
    std::vector<RuleRows::TeacherOffRow> others;

    // Reads the plan, 学校信息 and 教师不排课; returns the refusal of a plan the
    // dialog cannot show. Throws StoreError.
    QString load();
    void setUp(const SchoolPlan& plan, int morningPeriods, const std::vector<RuleRows::TeacherOffRow>& stored);

    void clickTeacher(int row);
    QString teacherHeaderClicked();
    bool selectionMade() const { return teacherMarks.anyChecked(); }
    ZoneGrid::Press press(QPoint point) { return grid.press(point, selectionMade()); }
    // A button: the part of the day is marked, or cleared when all of it was.
    void togglePart(int day, Part part);

    // The grid into every marked teacher's periods.
    void commitGrid();
    // The rows to store: per teacher and day "0" for the whole day, "上午" /
    // "下午" for a whole half, single periods for the rest; then `others`.
    std::vector<RuleRows::TeacherOffRow> rows() const;
    // Teachers left with fewer periods than their lessons a week. Such times
    // are saved all the same: the solver names them when it cannot place the
    // lessons.
    QStringList warnings() const;
    // commitGrid(), then 教师不排课 in one transaction. Throws StoreError.
    void save();

private:
    void refresh();
    std::pair<int, int> range(Part part) const;

    SchoolPlan m_plan;
};
