#include "cipher/NumberReader.h"
#include "cipher/Result.h"
#include "cipher/Text.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace qel {
namespace {

// A row's name: test listings print a row as its name alone.
struct Name {
    Name(const char* name) : text(name) {}
    const char* text;
};

template <typename... Fields>
void PrintTo(const std::tuple<Name, Fields...>& row, std::ostream* os)
{
    *os << std::get<0>(row).text;
}

const auto RowName = [](const auto& info) { return std::string(std::get<0>(info.param).text); };

constexpr auto Byte = NumberWidth::UnsignedByte;
constexpr auto Int16 = NumberWidth::SignedInt16;
constexpr std::nullopt_t Overflows = std::nullopt;

// name, text, width, number read (none: it overflows the width)
using NumberRow = std::tuple<Name, Text, NumberWidth, std::optional<int>>;
using ReadNumberTest = ::testing::TestWithParam<NumberRow>;

TEST_P(ReadNumberTest, ReadsLeadingNumberIntoWidth)
{
    const auto& [name, text, width, expected] = GetParam();
    const Result<int> result = ReadNumber(text, width);
    if (expected) {
        ASSERT_TRUE(result.ok()) << ToUtf8(result.failure().description);
        EXPECT_EQ(result.value(), *expected);
    } else {
        ASSERT_FALSE(result.ok()) << "read " << result.value();
        EXPECT_EQ(result.failure().number, ErrorNumber::Overflow);
        EXPECT_EQ(result.failure().source, FailureSource::Number);
    }
}

// clang-format off
const std::vector<NumberRow> ReadingRows = {
    {"PlainDigits", U"123", Byte, 123}, {"LeadingZeros", U"006", Byte, 6}, {"Blanks", U"   42", Byte, 42},
    {"TabsAndLineFeeds", U"\t\n\t7", Byte, 7}, {"CarriageReturnNotSkipped", U"\r7", Byte, 0},
    {"NoBreakSpaceNotSkipped", U"\u00A07", Byte, 0}, {"StopsAtLetter", U"12ab3", Byte, 12},
    {"Empty", U"", Byte, 0}, {"LetterFirst", U"abc", Int16, 0}, {"SignAlone", U"-", Int16, 0},
    {"PlusSign", U"+5", Byte, 5}, {"MinusSign", U"-17", Int16, -17}, {"NoExponent", U"1e3", Int16, 1},
    {"NoHex", U"0x1F", Int16, 0}, {"NoNonLatinDigits", U"٣５", Byte, 0}};

const std::vector<NumberRow> RoundingRows = {
    {"HalfDownToEven", U"2.5", Byte, 2}, {"HalfUpToEven", U"3.5", Byte, 4}, {"HalfToZero", U"0.5", Byte, 0},
    {"AboveHalf", U"2.501", Byte, 3}, {"BelowHalf", U"3.499", Byte, 3}, {"LeadingPoint", U".7", Byte, 1},
    {"TrailingPoint", U"7.", Byte, 7}, {"SecondPointStops", U"1.5.9", Byte, 2},
    {"NegativeHalfToEven", U"-2.5", Int16, -2}, {"NegativeHalfToZeroFitsByte", U"-0.5", Byte, 0},
    {"NegativeFractionFitsByte", U"-0.4", Byte, 0}};

const std::vector<NumberRow> LimitRows = {
    {"ByteTop", U"255", Byte, 255}, {"ByteOverTop", U"256", Byte, Overflows},
    {"ByteBelowZero", U"-1", Byte, Overflows}, {"ByteHalfBelowTopToEven", U"254.5", Byte, 254},
    {"ByteHalfOverTop", U"255.5", Byte, Overflows}, {"Int16Top", U"32767", Int16, 32767},
    {"Int16OverTop", U"32768", Int16, Overflows}, {"Int16Bottom", U"-32768", Int16, -32768},
    {"Int16UnderBottom", U"-32769", Int16, Overflows}, {"Int16HalfOverTop", U"32767.5", Int16, Overflows},
    {"Int16HalfToBottom", U"-32768.5", Int16, -32768},
    {"ManyDigits", U"99999999999999999999999999", Int16, Overflows},
    {"ManyLeadingZeros", U"0000000000000000000000000012", Byte, 12}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Reading, ReadNumberTest, ::testing::ValuesIn(ReadingRows), RowName);
INSTANTIATE_TEST_SUITE_P(Rounding, ReadNumberTest, ::testing::ValuesIn(RoundingRows), RowName);
INSTANTIATE_TEST_SUITE_P(Limits, ReadNumberTest, ::testing::ValuesIn(LimitRows), RowName);

} // namespace
} // namespace qel
