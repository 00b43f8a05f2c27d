#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace qel {

// A text is a sequence of Unicode code points. The 256 characters of Windows-1252 follow that code
// page's case rules; every other character is caseless and simply travels through the ciphers.
using Text = std::u32string;
using TextView = std::u32string_view;

// Upper- and lower-case forms by Windows-1252 rules (a–z, à–þ without ÷ and ×, š, œ, ž, ÿ).
char32_t UpperCase(char32_t ch);
char32_t LowerCase(char32_t ch);

// Windows-1252 bytes, as files on a key disk hold them. The five bytes that code page leaves undefined
// decode to the C1 controls of the same number, as Windows does; characters outside the code page
// encode as "?".
std::string ToWindows1252(TextView text);
Text FromWindows1252(std::string_view bytes);

// UTF-8 at the edges (tests, benchmarks, the command line, the web page).
std::string ToUtf8(TextView text);

// The offset of the first byte that does not belong to well-formed UTF-8.
struct InvalidUtf8 {
    std::size_t offset;
};

// Strict UTF-8: overlong forms, surrogates, code points past U+10FFFF and cut-off sequences are
// refused rather than replaced, since a replaced character would decrypt into a different text than
// was sent.
std::variant<Text, InvalidUtf8> DecodeUtf8(std::string_view utf8);

// Each malformed sequence becomes one U+FFFD.
Text FromUtf8(std::string_view utf8);

} // namespace qel
