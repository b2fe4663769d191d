#pragma once

#include <cstdint>

// The scheduling run's own pseudo-random generator: a linear congruential
// generator, state = state x 214013 + 2531011 (mod 2^32), each value being
// (state >> 16) & 0x7FFF after the step. One seed always gives the same
// sequence, so one seed always gives the same timetable.
class RandomGenerator
{
public:
    explicit RandomGenerator(std::uint32_t seed = 0) : m_state(seed) {}

    void seed(std::uint32_t seed) { m_state = seed; }
    std::uint32_t state() const { return m_state; }

    // Next value, 0..32767.
    int next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }

    // Index of a random candidate among count (> 0) candidates: the next value
    // modulo count. Draws one value even for a single candidate.
    int pick(int count) { return next() % count; }

private:
    std::uint32_t m_state;
};
