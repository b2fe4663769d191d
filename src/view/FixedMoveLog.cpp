#include "view/FixedMoveLog.h"

namespace {

bool touches(const FixedMoveLog::Move& a, const FixedMoveLog::Move& b)
{
    return a.from == b.from || a.from == b.to || a.to == b.from || a.to == b.to;
}

} // namespace

void FixedMoveLog::append(const Move& move)
{
    if (move.from == move.to)
        return;
    for (auto it = m_moves.rbegin(); it != m_moves.rend(); ++it) {
        if (*it == move.inverse()) {
            m_moves.erase(std::next(it).base());
            return;
        }
        if (touches(*it, move))
            break; // the order matters from here on
    }
    m_moves.push_back(move);
}

void FixedMoveLog::append(const FixedMoveLog& other)
{
    for (const Move& move : other.m_moves)
        append(move);
}

FixedMoveLog FixedMoveLog::reversed() const
{
    FixedMoveLog log;
    for (auto it = m_moves.rbegin(); it != m_moves.rend(); ++it)
        log.m_moves.push_back(it->inverse());
    return log;
}
