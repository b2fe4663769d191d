#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// What saving a new subject list does to the data stored for the subjects.
//
// 周课时计划 and the two zone tables (科目要排节次, 教师要排节次) keep a subject's
// data under its number, its position in 任教科目; 固定科目 and 合班设置 name
// the subject. A teacher assignment imported with its subject columns in
// another order would leave the counts and zones of 语文 under whatever
// subject now has 语文's old number. The remap keeps every count and zone
// with its subject's name: a subject that moves takes its data along, a new
// subject starts with none (0 lessons, no zone), and the data of a subject
// that is no longer in the list is dropped, fixed lessons and combined
// groups naming it included.
//
// Prepare() reads what would move and what would be lost so that the user can
// be asked; apply() writes it. A caller saves the new subject list itself, in
// the same transaction.
class SubjectRemap
{
public:
    // A subject that keeps its name and changes its number (both 1..24).
    struct Move
    {
        QString subject;
        int from = 0;
        int to = 0;
        bool operator==(const Move&) const = default;
    };

    // A subject of the stored list that the new list does not have, and what
    // is stored for it.
    struct Loss
    {
        QString subject;
        int from = 0;           // its number in the stored list
        int weeklyCounts = 0;   // grades with lessons of it in 周课时计划
        int subjectZones = 0;   // classes with a zone of it in 科目要排节次
        int teacherZones = 0;   // classes with a zone of it in 教师要排节次
        int fixedLessons = 0;   // rows of 固定科目 naming it
        int combinedGroups = 0; // rows of 合班设置 naming it
        bool holdsData() const
        {
            return weeklyCounts + subjectZones + teacherZones + fixedLessons + combinedGroups > 0;
        }
        bool operator==(const Loss&) const = default;
    };

    // Compares the stored subject list (任教科目) with newSubjects (slot n - 1
    // names subject n, "H" for none) and reads what is stored for each
    // subject. Throws StoreError.
    static SubjectRemap Prepare(const QStringList& newSubjects);

    const std::vector<Move>& moved() const { return m_moved; }
    const std::vector<Loss>& dropped() const { return m_dropped; }
    // True when saving the new list moves or drops a subject of the stored one.
    bool changesAnything() const { return !m_moved.empty() || !m_dropped.empty(); }
    // True when a dropped subject has counts, zones, fixed lessons or groups.
    bool losesData() const;

    // Moves the counts and zones with their subjects and removes what belongs
    // to dropped subjects. Writes nothing when nothing moves or is dropped.
    // Runs in a Transaction (the caller's when one is open). Throws StoreError.
    void apply() const;

    // Same subjects, same moves, same losses.
    bool operator==(const SubjectRemap& other) const;

private:
    QStringList m_oldSubjects;
    QStringList m_newSubjects;
    // For every new slot, the stored slot whose data it takes; -1 for none.
    std::vector<int> m_sourceOf;
    std::vector<Move> m_moved;
    std::vector<Loss> m_dropped;
};
