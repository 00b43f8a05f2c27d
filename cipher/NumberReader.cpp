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
constexpr std::int64_t Saturation = 100'000'000'000;

struct Bounds {
    std::int64_t low;
    std::int64_t high;
};

constexpr Bounds Range(NumberWidth width)
{
    switch (width) {
    case NumberWidth::UnsignedByte:
        return {0, 255};
    case NumberWidth::SignedInt16:
        return {-32768, 32767};
    case NumberWidth::SignedInt32:
        break;
    }
    return {-2147483648LL, 2147483647LL};
}

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

    const auto [low, high] = Range(width);
    if (rounded < low || rounded > high)
        return Failure{ErrorNumber::Overflow, U"Overflow", FailureSource::Number};
    return static_cast<int>(rounded);
}

} // namespace qel
