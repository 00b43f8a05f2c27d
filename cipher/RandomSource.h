#pragma once

#include <cstdint>

namespace qel
{

// Uniform draws in [0, 1). The program uses one generator seeded once from the clock; tests pass
// their own to make header positions and strong Røver characters predictable.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double nextUnit() = 0;
};

// xoshiro256**: fast, and statistically far better than anything the texts need.
class SeededRandom final : public RandomSource
{
public:
    explicit SeededRandom(std::uint64_t seed);
    // Seeded from the system clock and a per-process address, once.
    static SeededRandom fromClock();

    double nextUnit() override;

private:
    std::uint64_t m_state[4];
};

} // namespace qel
