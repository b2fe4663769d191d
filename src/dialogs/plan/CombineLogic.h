#pragma once

#include "dialogs/plan/ListMarks.h"

#include <QString>
#include <QStringList>

#include <vector>

// The combined-class groups as their dialog edits them: a subject list with
// one mark, the classes of the marked subject grouped by teacher with ticks,
// and the groups (subject and up to five member classes).
class CombineLogic
{
public:
    static constexpr int kMembers = 5;
    static QString existsMessage(const QString& className) { return className + QStringLiteral(" 合班信息已存在！"); }
    static QString tooManyMessage()
    {
        return QStringLiteral("一个合班最多只能有五个班级，请少选几个班级。");
    }

    struct ClassRow
    {
        QString className;
        QString teacher; // empty when the class has no teacher for the subject
        bool ticked = false;
    };

    QStringList assignmentRows;  // 26 per class
    QStringList subjectSlots;    // 24 names, "H" included
    QStringList subjects;        // the subject list: names that are not "H"
    std::vector<int> subjectNumbers; // subject number (1..24) of each list row
    ListMarks subjectMarks;
    std::vector<ClassRow> classRows;
    std::vector<QStringList> groups; // subject, five members (empty for none)

    // Reads 教师分工, 任教科目 and 合班设置; groups naming a subject or class
    // that no longer exists are dropped. Throws StoreError.
    void load();
    // Builds the lists from the members above (load() ends with it).
    void setUp(const std::vector<QStringList>& storedGroups);

    // A click on the subject list (row -1: below the last row).
    void clickSubject(int row);
    // A click on a class row: toggles its tick when the class has a teacher.
    void clickClass(int row);
    int tickedCount() const;
    // Two to five ticked classes, all of the first ticked class's teacher.
    bool canAdd() const;
    // The line under the lists: says why "添加  >>" stays off when more than
    // five classes of one teacher are ticked; empty otherwise.
    QString status() const;
    // "添加  >>": a new group of the ticked classes, or the refusal naming the
    // first class already grouped for the subject (nothing added).
    QString add();
    void removeGroup(int row);

    // The groups, "H" for an empty member place.
    std::vector<QStringList> storedGroups() const;
    // Rewrites 合班设置 in one transaction. Throws StoreError.
    void save() const;

private:
    void fillClasses(int subjectNumber);
    bool sameTeacherTicks() const;
};
