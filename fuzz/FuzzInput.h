#pragma once

#include "cipher/RandomSource.h"
#include "cipher/Text.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

// What every target shares: the input bytes as the program would see them, and a way to stop on a broken
// invariant so that libFuzzer keeps the input.
namespace qel::fuzz {

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Text boxes and the command line hand the engine UTF-8, key disks Windows-1252; a flag picks one.
inline Text Decode(std::string_view bytes, bool windows1252)
{
    return windows1252 ? FromWindows1252(bytes) : FromUtf8(bytes);
}

// The parts of an input separated by NUL bytes; the last part runs to the end.
inline std::vector<std::string_view> Split(std::string_view bytes)
{
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t end = bytes.find('\0', at);
        parts.push_back(bytes.substr(at, end == std::string_view::npos ? end : end - at));
        if (end == std::string_view::npos)
            return parts;
        at = end + 1;
    }
}

// Draws taken from the input, two bytes each, so the fuzzer can steer header positions and strong
// characters to their edges; once the bytes run out every draw is 0.
class BytesRandom final : public RandomSource
{
public:
    explicit BytesRandom(std::string_view bytes) : m_bytes(bytes) {}

    double nextUnit() override
    {
        if (m_bytes.size() < 2)
            return 0.0;
        const unsigned value =
            static_cast<unsigned char>(m_bytes[0]) << 8 | static_cast<unsigned char>(m_bytes[1]);
        m_bytes.remove_prefix(2);
        return value / 65536.0;
    }

private:
    std::string_view m_bytes;
};

// A broken invariant: abort, which libFuzzer reports as a crash and saves the input for.
[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline void Check(bool holds, const char* what)
{
    if (!holds)
        Fail(what);
}

} // namespace qel::fuzz
