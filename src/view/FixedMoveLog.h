#pragma once

#include <QString>

#include <vector>

// The fixed lessons that were moved by hand and not yet written to 固定科目,
// in the order they were moved. A move names the 固定科目 row as it stood
// before and as it stands after: class and subject by name, day and period
// 0-based. The save looks each move up among the rows as they are in the file
// at that moment, so a row that was deleted or changed meanwhile is not
// brought back, and rows nobody moved are never written.
class FixedMoveLog
{
public:
    struct Row
    {
        QString className;
        int day = 0;
        int period = 0;
        QString subject;
        bool operator==(const Row&) const = default;
    };
    struct Move
    {
        Row from;
        Row to;
        bool operator==(const Move&) const = default;
        Move inverse() const { return {to, from}; }
    };

    // Adds a move. A move that undoes an earlier one (its inverse, with no
    // later move touching either row in between) takes that one out instead,
    // so that a swap and its undo leave nothing to write.
    void append(const Move& move);
    // All moves of another log, in order.
    void append(const FixedMoveLog& other);
    // The moves that undo these: inverses, last first.
    FixedMoveLog reversed() const;

    const std::vector<Move>& moves() const { return m_moves; }
    bool empty() const { return m_moves.empty(); }
    void clear() { m_moves.clear(); }
    bool operator==(const FixedMoveLog&) const = default;

private:
    std::vector<Move> m_moves;
};
