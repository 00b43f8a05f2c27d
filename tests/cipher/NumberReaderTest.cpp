#include "cipher/NumberReader.h"
#include "tests/support/NamedRows.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace qel {
namespace {

using testing::Name;
using testing::RowName;

constexpr auto Byte = NumberWidth::UnsignedByte;
constexpr auto Int16 = NumberWidth::SignedInt16;
constexpr auto Int32 = NumberWidth::SignedInt32;
constexpr std::nullopt_t Fails = std::nullopt;

// name, text, width, number read (none: it overflows the width)
using ReadNumberTest = ::testing::TestWithParam<std::tuple<Name, Text, NumberWidth, std::optional<int>>>;

TEST_P(ReadNumberTest, ReadsLeadingNumberIntoWidth)
{
    const auto& [name, text, width, expected] = GetParam();
    const Result<int> result = ReadNumber(text, width);
    EXPECT_EQ(result.ok() ? std::optional(result.value()) : Fails, expected);
    if (!result.ok()) {
        EXPECT_EQ(std::pair(result.failure().number, result.failure().source),
                  std::pair(ErrorNumber::Overflow, FailureSource::Number));
    }
}

// 1e3 and 0x1F catch a reader built on strtod, the Arabic-Indic and fullwidth digits one built on a
// locale's idea of a digit.
// clang-format off
const std::vector<ReadNumberTest::ParamType> Rows = {
    {"BlanksTabsLineFeedsSkipped", U" \t\n 42", Byte, 42}, {"CarriageReturnNotSkipped", U"\r7", Byte, 0},
    {"PlusSign", U"+5", Byte, 5}, {"MinusSign", U"-17", Int16, -17}, {"NoExponent", U"1e3", Int16, 1},
    {"NoHex", U"0x1F", Int16, 0}, {"NoNonLatinDigits", U"٣５", Byte, 0}, {"LeadingPoint", U".7", Byte, 1},
    {"HalfDownToEven", U"2.5", Byte, 2}, {"HalfUpToEven", U"3.5", Byte, 4}, {"AboveHalf", U"2.501", Byte, 3},
    {"ZeroFirstDecimalBelowHalf", U"2.09", Byte, 2}, {"HalfWithZerosToEven", U"2.500", Byte, 2},
    {"SecondPointStops", U"2.5.9", Byte, 2},
    {"NegativeHalfToEven", U"-2.5", Int16, -2}, {"NegativeHalfToZeroFitsByte", U"-0.5", Byte, 0},
    {"ByteTop", U"255", Byte, 255}, {"ByteOverTop", U"256", Byte, Fails},
    {"ByteUnderZero", U"-1", Byte, Fails}, {"ByteHalfOverTop", U"255.5", Byte, Fails},
    {"Int16Top", U"32767", Int16, 32767}, {"Int16OverTop", U"32768", Int16, Fails},
    {"Int16Bottom", U"-32768", Int16, -32768}, {"Int16UnderBottom", U"-32769", Int16, Fails},
    {"Int32Top", U"2147483647", Int32, 2147483647}, {"Int32HalfOverTop", U"2147483646.5", Int32, 2147483646},
    {"Int32OverTop", U"2147483648", Int32, Fails}, {"Int32Bottom", U"-2147483648", Int32, -2147483647 - 1},
    {"Int32UnderBottom", U"-2147483649", Int32, Fails},
    {"FortyDigits", U"1234567890123456789012345678901234567890", Int32, Fails}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, ReadNumberTest, ::testing::ValuesIn(Rows), RowName);

} // namespace
} // namespace qel
