#pragma once

#include "cipher/Text.h"

#include <optional>

namespace qel {

// What an answer to "Hvor mange ganger skal teksten krypteres?" asks for.
struct RepeatCountAnswer {
    enum Kind {
        Stop,    // Cancel, or an answer of nothing but blanks: nothing happens
        TooMany, // 15 or more, a negative number, or not a number at all: the limit box
        Encrypt, // encrypt count times, 0 to 14
    };
    Kind kind;
    int count = 0;

    bool operator==(const RepeatCountAnswer&) const = default;
};

// The largest count the repeat command accepts.
inline constexpr int MaxRepeatCount = 14;

// Reads the answer as a number rounded to the nearest whole one (halves to the even neighbour). An
// answer that is more than a number, such as "3 ganger", counts as not a number.
RepeatCountAnswer ReadRepeatCount(const std::optional<Text>& answer);

} // namespace qel
