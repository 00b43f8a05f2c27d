#pragma once

#include "cipher/RandomSource.h"

#include <cstddef>
#include <vector>

namespace qel::testing {

// Hands out the given draws in turn, starting over at the end.
class ScriptedRandom final : public RandomSource
{
public:
    explicit ScriptedRandom(std::vector<double> draws) : m_draws(std::move(draws)) {}

    double nextUnit() override
    {
        ++m_drawn;
        return m_draws[(m_drawn - 1) % m_draws.size()];
    }
    std::size_t drawn() const { return m_drawn; }

private:
    std::vector<double> m_draws;
    std::size_t m_drawn = 0;
};

// The draw that makes InsertHeader choose header position p for a body of bodyLength characters.
inline double DrawForPosition(std::size_t p, std::size_t bodyLength)
{
    const double span = bodyLength < 255 ? static_cast<double>(bodyLength) : 250.0;
    return (static_cast<double>(p - 4) + 0.5) / span;
}

} // namespace qel::testing
