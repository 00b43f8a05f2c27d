#include "RandomSource.h"

#include <algorithm>
#include <chrono>

namespace qel {

namespace {

std::uint64_t SplitMix64(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t RotateLeft(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

// One xoshiro256** step, shared so that a batch gives exactly the draws single calls would.
double Step(std::uint64_t (&state)[4])
{
    const std::uint64_t result = RotateLeft(state[1] * 5, 7) * 9;
    const std::uint64_t t = state[1] << 17;
    state[2] ^= state[0];
    state[3] ^= state[1];
    state[1] ^= state[2];
    state[0] ^= state[3];
    state[2] ^= t;
    state[3] = RotateLeft(state[3], 45);
    // The top 53 bits give every double in [0, 1) on a 2^-53 grid.
    return static_cast<double>(result >> 11) * 0x1.0p-53;
}

} // namespace

SeededRandom::SeededRandom(std::uint64_t seed)
{
    for (auto& word : m_state)
        word = SplitMix64(seed);
}

SeededRandom SeededRandom::fromClock()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    int local = 0;
    return SeededRandom(static_cast<std::uint64_t>(ticks) ^ reinterpret_cast<std::uintptr_t>(&local));
}

double SeededRandom::nextUnit()
{
    return Step(m_state);
}

void SeededRandom::nextUnits(std::span<double> out)
{
    std::uint64_t state[4] = {m_state[0], m_state[1], m_state[2], m_state[3]};
    for (double& unit : out)
        unit = Step(state);
    std::copy(std::begin(state), std::end(state), m_state);
}

} // namespace qel
