#pragma once

#include "cipher/RandomSource.h"
#include "cipher/Result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qel {

// The key file in the root of the key disk.
inline constexpr char KeyFileName[] = "otpyrCleq.cryptkey";
// More than any key file holds; a longer file is read no further.
inline constexpr std::size_t KeyFileReadLimit = 64 * 1024;

// The one line of a key file: a prime, the user it admits, and the time of day (hours × 100 +
// minutes) it was written at, which must match the file's own modification time.
struct KeyFile {
    std::int32_t number = 0;
    Text user;
    std::int16_t time = 0;

    bool operator==(const KeyFile&) const = default;
};

// Trial division by odd numbers. Every number from 3 up gets the true answer; below 3, 1 and every
// negative odd number pass and 2 fails, as key files made so far rely on.
bool IsPrime(std::int32_t n);

// A random number of the given digit count that passes IsPrime, drawn from the program's generator
// (never reseeded here); 0 for a count outside 2 to 9. Nine digits can give a ten-digit number
// below 1,100,000,000.
std::int32_t RandomPrime(std::uint8_t digits, RandomSource& random);

// The file's bytes: Windows-1252, fields separated by commas, the user in double quotes, ended by
// CR LF.
std::string FormatKeyFile(const KeyFile& key);

// Reads the three fields back. Blanks around a field are skipped and a quoted field is taken without
// its quotes; a line break ends a field as a comma does. A missing field fails with
// ErrorNumber::InputPastEnd, a number too large for its field with ErrorNumber::Overflow.
Result<KeyFile> ParseKeyFile(std::string_view bytes);

} // namespace qel
