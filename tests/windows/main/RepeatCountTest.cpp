#include "windows/main/RepeatCount.h"
#include "tests/support/NamedRows.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

namespace qel {

void PrintTo(const RepeatCountAnswer& answer, std::ostream* os)
{
    *os << "{kind " << answer.kind << ", count " << answer.count << "}";
}

namespace {

using testing::Name;
using testing::RowName;

const RepeatCountAnswer Stop{RepeatCountAnswer::Stop};
const RepeatCountAnswer TooMany{RepeatCountAnswer::TooMany};
RepeatCountAnswer Encrypt(int count)
{
    return {RepeatCountAnswer::Encrypt, count};
}

using ReadRepeatCountTest =
    ::testing::TestWithParam<std::tuple<Name, std::optional<Text>, RepeatCountAnswer>>;

TEST_P(ReadRepeatCountTest, ReadsAnswer)
{
    const auto& [name, answer, expected] = GetParam();
    EXPECT_EQ(ReadRepeatCount(answer), expected);
}

// A blank answer looks exactly like an empty one in the prompt, so it stops quietly too: the limit box
// would blame a number the user never typed.
// clang-format off
const std::vector<ReadRepeatCountTest::ParamType> Rows = {
    {"Cancelled", std::nullopt, Stop}, {"Empty", U"", Stop}, {"BlanksOnly", U" \t ", Stop},
    {"Zero", U"0", Encrypt(0)}, {"HalfDownToEven", U"2.5", Encrypt(2)}, {"HalfUpToEven", U"3.5", Encrypt(4)},
    {"Fourteen", U"14", Encrypt(14)}, {"FourteenAndAHalf", U"14.5", Encrypt(14)}, {"Fifteen", U"15", TooMany},
    {"FourteenPointSix", U"14.6", TooMany}, {"PastByte", U"256", TooMany}, {"Negative", U"-1", TooMany},
    {"Word", U"abc", TooMany}, {"NumberThenWords", U"3 ganger", TooMany}, {"TwoNumbers", U"1 4", TooMany},
    {"BlanksAround", U" 7 ", Encrypt(7)}, {"PlusSign", U"+3", Encrypt(3)}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(RepeatCount, ReadRepeatCountTest, ::testing::ValuesIn(Rows), RowName);

} // namespace
} // namespace qel
