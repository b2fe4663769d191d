#pragma once

#include "dialogs/plan/ListMarks.h"

#include <QString>
#include <QStringList>

#include <vector>

// The fixed lessons as their dialog edits them: classes with marks, single
// choices of day, period and subject, and the entries (class, day, period,
// subject; day and period numbered from 1).
class FixedLessonLogic
{
public:
    QStringList classes;
    QStringList days;     // "1" .. day count
    QStringList periods;  // "1" .. period count
    QStringList subjects; // the names that are not "H"
    QStringList subjectSlots; // 24 names, "H" included
    ListMarks classMarks, dayMarks, periodMarks, subjectMarks;
    // The column-0 text of the last clicked row of each single-choice list,
    // kept even when that click cleared the mark.
    QString chosenDay, chosenPeriod, chosenSubject;
    std::vector<QStringList> entries;
    // Stored rows on a day or in a period outside the week: not shown, and
    // written back after the entries, so that a smaller week loses nothing.
    std::vector<QStringList> outsideWeek;

    // Reads 教师分工, 周工作计划, 任教科目 and 固定科目; returns the refusal of
    // data the dialog cannot show. Throws StoreError.
    QString load();
    // Entries naming a class or subject that is gone are left out; those on
    // a day or in a period outside the week go to outsideWeek.
    void setUp(const QStringList& classNames, int dayCount, int periodCount, const QStringList& subjectSlots,
               const std::vector<QStringList>& stored);

    void clickClass(int row) { classMarks.toggle(row); }
    QString classHeaderClicked() { return classMarks.headerClicked(); }
    void clickDay(int row) { choose(dayMarks, days, row, chosenDay); }
    void clickPeriod(int row) { choose(periodMarks, periods, row, chosenPeriod); }
    void clickSubject(int row) { choose(subjectMarks, subjects, row, chosenSubject); }

    // "添加   >>": an entry for every marked class with the chosen day, period
    // and subject, unless the same four are there already. Nothing without
    // all three choices.
    void add();
    void remove(int row);
    // Rewrites 固定科目 in one transaction: the entries, then the rows
    // outside the week as they were. Throws StoreError.
    void save() const;

private:
    static void choose(ListMarks& marks, const QStringList& texts, int row, QString& chosen);
};
