#pragma once

#include <cstdint>
#include <span>

namespace qel {

// Uniform draws in [0, 1). The program uses one generator seeded once from the clock; tests pass
// their own to make header positions and strong Røver characters predictable.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double nextUnit() = 0;

    // Fills out with the next draws, the same ones as that many nextUnit calls in turn. A generator
    // may override it to skip a virtual call per draw where draws come in bulk (strong Røver).
    virtual void nextUnits(std::span<double> out)
    {
        for (double& unit : out)
            unit = nextUnit();
    }
};

// xoshiro256**: fast, and statistically far better than anything the texts need.
class SeededRandom final : public RandomSource
{
public:
    explicit SeededRandom(std::uint64_t seed);
    // Seeded from the system clock and a per-process address, once.
    static SeededRandom fromClock();

    double nextUnit() override;
    void nextUnits(std::span<double> out) override;

private:
    std::uint64_t m_state[4];
};

} // namespace qel
