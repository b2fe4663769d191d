#pragma once

#include <QString>
#include <QMetaType>
#include <QStringList>

#include <optional>
#include <vector>

class TimetableData;
class TimetableModel;

// What a print or an output of the timetable takes, as its dialog offers it:
// the overview of all classes (总课表) or of all teachers (教师总课表), or a
// page for each class or each teacher chosen in a list. The class and the
// teacher choices are kept apart, so switching between them loses neither.
class PrintChoice
{
public:
    enum class Kind { MasterOverview, TeacherOverview, Classes, Teachers };

    PrintChoice() = default;
    // Every class and every teacher chosen at first.
    PrintChoice(const QStringList& classes, const QStringList& teachers);
    // The classes of the timetable in their order, the teachers in the order
    // the teacher table lists them.
    static PrintChoice fromTimetable(const TimetableData& data);

    Kind kind() const { return m_kind; }
    void setKind(Kind kind) { m_kind = kind; }
    // Whether the kind has a list to choose from (classes or teachers).
    bool hasList() const { return m_kind == Kind::Classes || m_kind == Kind::Teachers; }

    // The list of the current kind (empty for an overview), and its choices.
    const QStringList& names() const;
    bool isChosen(int row) const;
    void setChosen(int row, bool chosen);
    void chooseAll(bool chosen);
    int chosenCount() const;
    bool allChosen() const;
    // Rows of the list whose name contains the text (all for an empty text).
    std::vector<int> matching(const QString& text) const;

    // Only this class or teacher, as printing from the table asks: switches to
    // its kind and chooses it alone. False (nothing changed) for a name not in
    // the list.
    bool chooseOnly(Kind kind, const QString& name);

    // A class or a teacher of the timetable shown, for printing its page alone.
    struct Named
    {
        Kind kind = Kind::Classes;
        QString name;
    };
    // What a right click at the view's client point (x, y) names: a class
    // by its name in the master table's name column (the cells keep the
    // right click for swapping), a teacher by any point of their row in the
    // teacher table. Nothing elsewhere, on the home screen included.
    static std::optional<Named> nameAt(const TimetableModel& model, int x, int y, int scrollX, int scrollY);
    // The class of the selected cell (master table) or the selected teacher.
    static std::optional<Named> selected(const TimetableModel& model);

    // The names chosen, in list order, and their rows (two classes may share a name).
    QStringList chosenNames() const;
    std::vector<int> chosenRows() const;

    // Why the choice cannot be printed, in words; empty when it can.
    QString refusal() const;
    // A line for under the list: "已选 3 / 18 个班级".
    QString summary() const;

private:
    struct List
    {
        QStringList names;
        std::vector<bool> chosen;
    };
    List& list();
    const List& list() const;

    Kind m_kind = Kind::Classes;
    List m_classes;
    List m_teachers;
};

Q_DECLARE_METATYPE(PrintChoice::Named)
