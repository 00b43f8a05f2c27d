#pragma once

#include <ostream>
#include <string>
#include <tuple>

namespace qel::testing {

// The first field of a table row: its name, which is all a test listing prints of the row (some rows
// carry texts of 32,000 characters).
struct Name {
    Name(const char* name) : text(name) {}
    const char* text;
};

template <typename... Fields>
void PrintTo(const std::tuple<Name, Fields...>& row, std::ostream* os)
{
    *os << std::get<0>(row).text;
}

inline const auto RowName = [](const auto& info) { return std::string(std::get<0>(info.param).text); };

} // namespace qel::testing
