// The number reader in every width, against the C library's reading where the text is a plain number.
#include "FuzzInput.h"

#include "cipher/NumberReader.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

using namespace qel;
using fuzz::Check;

namespace {

constexpr NumberWidth Widths[] = {NumberWidth::UnsignedByte, NumberWidth::SignedInt16,
                                  NumberWidth::SignedInt32};
constexpr std::int64_t Low[] = {0, -32768, -2147483648LL};
constexpr std::int64_t High[] = {255, 32767, 2147483647LL};

std::optional<int> Read(TextView text, NumberWidth width)
{
    const Result<int> number = ReadNumber(text, width);
    if (!number.ok()) {
        Check(number.failure().number == ErrorNumber::Overflow, "a number fails only by overflow");
        return std::nullopt;
    }
    return number.value();
}

// An optional sign, digits and at most one point, with few enough digits that a double holds the
// value closely enough to round it the same way; nothing otherwise.
std::optional<double> PlainNumber(TextView text)
{
    std::string ascii;
    int digits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t ch = text[i];
        const bool sign = i == 0 && (ch == U'+' || ch == U'-');
        const bool point = ch == U'.' && ascii.find('.') == std::string::npos;
        const bool digit = ch >= U'0' && ch <= U'9';
        if (!sign && !point && !digit)
            return std::nullopt;
        digits += digit ? 1 : 0;
        ascii += static_cast<char>(ch);
    }
    if (digits > 15)
        return std::nullopt;
    return digits == 0 ? 0.0 : std::strtod(ascii.c_str(), nullptr);
}

} // namespace

// Input: a flags byte (bit 0: Windows-1252), then the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const Text text = fuzz::Decode(fuzz::Bytes(data + 1, size - 1), data[0] & 1);

    Text withoutBlanks;
    for (char32_t ch : text) {
        if (ch != U' ' && ch != U'\t' && ch != U'\n')
            withoutBlanks += ch;
    }
    const std::optional<double> plain = PlainNumber(withoutBlanks);
    const std::optional<int> widest = Read(text, NumberWidth::SignedInt32);
    for (std::size_t w = 0; w < std::size(Widths); ++w) {
        const std::optional<int> number = Read(text, Widths[w]);
        // Each width holds what the widest does where it fits, and fails elsewhere.
        const bool fits = widest && *widest >= Low[w] && *widest <= High[w];
        Check(fits ? number == widest : !number, "widths disagree");
        // Blanks, tabs and line feeds are skipped wherever they stand.
        Check(Read(withoutBlanks, Widths[w]) == number, "a blank changed the number");
        // Reading stops at a character that cannot continue the number.
        Check(Read(text + U"x9", Widths[w]) == number, "read past the number");
        if (plain) {
            std::fesetround(FE_TONEAREST);
            const double rounded = std::nearbyint(*plain); // halves to even
            const bool inRange =
                rounded >= static_cast<double>(Low[w]) && rounded <= static_cast<double>(High[w]);
            Check(inRange ? number == static_cast<int>(rounded) : !number, "differs from strtod");
        }
    }
    return 0;
}
