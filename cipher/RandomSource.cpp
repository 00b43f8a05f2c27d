#include "RandomSource.h"

#include <chrono>

namespace qel
{

namespace
{

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
    const std::uint64_t result = RotateLeft(m_state[1] * 5, 7) * 9;
    const std::uint64_t t = m_state[1] << 17;
    m_state[2] ^= m_state[0];
    m_state[3] ^= m_state[1];
    m_state[1] ^= m_state[2];
    m_state[0] ^= m_state[3];
    m_state[2] ^= t;
    m_state[3] = RotateLeft(m_state[3], 45);
    // The top 53 bits give every double in [0, 1) on a 2^-53 grid.
    return static_cast<double>(result >> 11) * 0x1.0p-53;
}

} // namespace qel
