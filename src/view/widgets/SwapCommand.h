#pragma once

#include <QString>
#include <QUndoCommand>

#include <functional>
#include <vector>

class TimetableModel;

// One completed swap of two lessons of a class, with its fixed-lesson update,
// as a step of the undo history. It is pushed after the swap was made: the
// first redo() does nothing.
class SwapCommand : public QUndoCommand
{
public:
    struct Slot
    {
        int day = 0;
        int period = 0;
        QString subject;
        QString teacher;
    };
    struct State
    {
        Slot first;
        Slot second;
        std::vector<int> fixedLessons;
    };

    // The two slots of class `classIndex` and the fixed lessons as they are now.
    static State capture(const TimetableModel& model, int classIndex, int d0, int p0, int d1, int p1);

    // `changed` runs after every undo and redo (repaint, teacher table).
    SwapCommand(TimetableModel& model, int classIndex, State before, State after, std::function<void()> changed);

    void undo() override;
    void redo() override;

private:
    void apply(const State& state);

    TimetableModel& m_model;
    int m_class;
    State m_before;
    State m_after;
    std::function<void()> m_changed;
    bool m_done = true;
};
