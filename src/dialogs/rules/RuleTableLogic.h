#pragma once

#include "base/SchoolPlan.h"

#include <QString>
#include <QStringList>

#include <vector>

// The three rule tables edited as tables of text: 教师课时限制, 场地限制 and
// 连堂设置. "保存" refuses rows that cannot be used, naming the first one, and
// otherwise replaces the table with the rows that are not blank. A rule that
// only makes the school impossible (a venue cap too small for the lessons of
// its subjects, more double lessons than a teacher's week allows) is saved:
// the solver explains it.
class RuleTableLogic
{
public:
    enum class Kind { Limits, Venues, Doubles };

    explicit RuleTableLogic(Kind kind) : kind(kind) {}

    Kind kind;
    // Four texts per row, in the table's column order.
    std::vector<QStringList> rows;

    static QStringList headers(Kind kind);
    static QString caption(Kind kind);
    // A line under the table on what the texts may be.
    static QString hint(Kind kind);

    // Reads the plan and the table; returns the refusal of a plan the dialog
    // cannot show. Throws StoreError.
    QString load();
    // Stored rows: the empty marker shows as an empty cell.
    void setUp(const SchoolPlan& plan, const std::vector<QStringList>& stored);

    void addRow();
    void removeRow(int row);

    // Why the rows cannot be saved: the first row that cannot be used, with
    // its place ("第2行（张三，…）：…"); empty when every row can be.
    QString refusal() const;
    // refusal(); when empty, writes the rows that are not blank in one
    // transaction. Returns the refusal. Throws StoreError.
    QString save() const;

private:
    SchoolPlan m_plan;
};
