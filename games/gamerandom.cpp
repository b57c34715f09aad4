#include "gamerandom.h"

#include <chrono>

CClockRandom::CClockRandom()
    : m_engine(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                     std::chrono::system_clock::now().time_since_epoch().count()))
{
}

CClockRandom::CClockRandom(unsigned seed) : m_engine(seed) {}

int CClockRandom::Next()
{
    // 31 bits: always non-negative as an int.
    return static_cast<int>(m_engine() & 0x7FFFFFFFu);
}
