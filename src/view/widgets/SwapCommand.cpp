#include "view/widgets/SwapCommand.h"

#include "view/TimetableModel.h"

SwapCommand::State SwapCommand::capture(const TimetableModel& model, int classIndex, int d0, int p0, int d1, int p1)
{
    State state;
    state.first = {d0, p0, model.subject(classIndex, d0, p0), model.teacher(classIndex, d0, p0)};
    state.second = {d1, p1, model.subject(classIndex, d1, p1), model.teacher(classIndex, d1, p1)};
    state.fixedLessons = model.fixedLessons;
    return state;
}

SwapCommand::SwapCommand(TimetableModel& model, int classIndex, State before, State after,
                         std::function<void()> changed)
    : m_model(model)
    , m_class(classIndex)
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_changed(std::move(changed))
{
    setText(QStringLiteral("调课"));
}

void SwapCommand::apply(const State& state)
{
    if (!m_model.isCell(m_class, state.first.day, state.first.period)
        || !m_model.isCell(m_class, state.second.day, state.second.period))
        return;
    m_model.setLesson(m_class, state.first.day, state.first.period, state.first.subject, state.first.teacher);
    m_model.setLesson(m_class, state.second.day, state.second.period, state.second.subject, state.second.teacher);
    m_model.setFixedLessons(state.fixedLessons); // records the fixed lessons moved back or again
    m_model.touch();
    if (m_changed)
        m_changed();
}

void SwapCommand::undo()
{
    apply(m_before);
}

void SwapCommand::redo()
{
    if (m_done) { // the swap itself was made before the command was pushed
        m_done = false;
        return;
    }
    apply(m_after);
}
