#pragma once

#include "cipher/Text.h"

#include <cstddef>
#include <string_view>
#include <variant>

namespace qel::cli {

// The offset of the first byte that does not belong to well-formed UTF-8.
struct InvalidUtf8 {
    std::size_t offset;
};

// Strict UTF-8: overlong forms, surrogates and code points past U+10FFFF are refused rather than
// replaced, since a replaced character would decrypt into a different text than was sent.
std::variant<Text, InvalidUtf8> DecodeUtf8(std::string_view bytes);

} // namespace qel::cli
