#include "NumberReader.h"

#include <cstdint>

namespace qel {

namespace {

bool IsSkipped(char32_t ch)
{
    return ch == U' ' || ch == U'\t' || ch == U'\n';
}

bool IsDigit(char32_t ch)
{
    return ch >= U'0' && ch <= U'9';
}

// Anything beyond this is out of every width we hold, so the digits after it need not be counted.
constexpr std::int64_t Saturation = 1'000'000;

} // namespace

Result<int> ReadNumber(TextView text, NumberWidth width)
{
    bool negative = false;
    bool signSeen = false;
    bool pointSeen = false;
    bool digitSeen = false;
    std::int64_t whole = 0;
    // The rounding needs only the first fractional digit and whether anything non-zero follows it.
    int firstFraction = -1;
    bool fractionTail = false;

    for (char32_t ch : text) {
        if (IsSkipped(ch))
            continue;
        if ((ch == U'+' || ch == U'-') && !signSeen && !digitSeen && !pointSeen) {
            signSeen = true;
            negative = ch == U'-';
        } else if (ch == U'.' && !pointSeen) {
            pointSeen = true;
        } else if (IsDigit(ch)) {
            digitSeen = true;
            const int digit = static_cast<int>(ch - U'0');
            if (!pointSeen) {
                whole = whole >= Saturation ? Saturation : whole * 10 + digit;
            } else if (firstFraction < 0) {
                firstFraction = digit;
            } else if (digit != 0) {
                fractionTail = true;
            }
        } else {
            break;
        }
    }

    std::int64_t rounded = whole;
    if (firstFraction > 5 || (firstFraction == 5 && (fractionTail || whole % 2 == 1)))
        ++rounded;
    if (negative)
        rounded = -rounded;

    const std::int64_t low = width == NumberWidth::UnsignedByte ? 0 : -32768;
    const std::int64_t high = width == NumberWidth::UnsignedByte ? 255 : 32767;
    if (rounded < low || rounded > high)
        return Failure{ErrorNumber::Overflow, U"Overflow", FailureSource::Number};
    return static_cast<int>(rounded);
}

} // namespace qel
