#pragma once
// The random source of the games. The game logic draws every random number
// through this interface, so a test can hand it a fixed sequence and play a
// game move by move.

#include <random>

class CGameRandom {
public:
    virtual ~CGameRandom() = default;
    // A non-negative number; callers reduce it with `% n` as with rand().
    virtual int Next() = 0;
};

// The dialogs' source: a Mersenne twister seeded from the clock when the
// dialog opens.
class CClockRandom final : public CGameRandom {
public:
    CClockRandom();
    explicit CClockRandom(unsigned seed);
    int Next() override;

private:
    std::mt19937 m_engine;
};
