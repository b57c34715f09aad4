#pragma once
// A random source for the game tests: hands out a fixed list of numbers, then
// the same fallback number for ever, and counts what it was asked for.
#include "gamerandom.h"

#include <cstddef>
#include <utility>
#include <vector>

class SequenceRandom final : public CGameRandom {
public:
    explicit SequenceRandom(std::vector<int> values = {}, int fallback = 1)
        : m_values(std::move(values)), m_fallback(fallback)
    {
    }
    int Next() override
    {
        ++m_draws;
        if (m_next < m_values.size())
            return m_values[m_next++];
        return m_fallback;
    }
    void Push(std::vector<int> values)
    {
        m_values.insert(m_values.end(), values.begin(), values.end());
    }
    void SetFallback(int fallback) { m_fallback = fallback; }
    std::size_t Draws() const { return m_draws; }
    std::size_t Remaining() const { return m_values.size() - m_next; }

private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
    int m_fallback;
    std::size_t m_draws = 0;
};
