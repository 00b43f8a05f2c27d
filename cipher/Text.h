#pragma once

#include <string>
#include <string_view>

namespace qel {

// A text is a sequence of Unicode code points. The 256 characters of Windows-1252 follow that code
// page's case rules; every other character is caseless and simply travels through the ciphers.
using Text = std::u32string;
using TextView = std::u32string_view;

// Upper- and lower-case forms by Windows-1252 rules (a–z, à–þ without ÷ and ×, š, œ, ž, ÿ).
char32_t UpperCase(char32_t ch);
char32_t LowerCase(char32_t ch);

// UTF-8 at the edges (tests, benchmarks, the command line). Malformed input becomes U+FFFD.
std::string ToUtf8(TextView text);
Text FromUtf8(std::string_view utf8);

} // namespace qel
