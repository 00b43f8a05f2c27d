#include "windows/access/KeyFile.h"
#include "tests/support/NamedRows.h"
#include "tests/support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <vector>

namespace qel {
namespace {

using testing::Name;
using testing::RowName;
using testing::ScriptedRandom;

TEST(IsPrimeTest, TrialDivisionAsKeyFilesExpect)
{
    // Below 3 the division answers its own way: 1 and negative odd numbers pass, 2 does not.
    for (const std::int32_t n : {1, 3, 5, 7, 11, 97, 100001431, 999999937, INT_MAX, -1, -3, -9, INT_MIN + 1})
        EXPECT_TRUE(IsPrime(n)) << n;
    // Squares of primes catch a loop that stops one divisor too early.
    for (const std::int32_t n :
         {0, 2, 4, 9, 25, 49, 121, 169, 100000001, 1099999940, 2147395599, -2, INT_MIN})
        EXPECT_FALSE(IsPrime(n)) << n;
}

TEST(RandomPrimeTest, DrawsUntilAPrimeAtSinglePrecision)
{
    // A digit count outside two to nine gives 0 without drawing. Then a draw of 0 gives 100,000,001 =
    // 17 × 5,882,353; 24/2^24 gives the prime 100,001,431, and so does a draw a little above it, which
    // only more than 24 bits of the draw could tell apart.
    const double step = 1.0 / 16777216.0;
    ScriptedRandom random({0.0, 24.4 * step});
    for (const std::uint8_t digits : {0, 1, 10, 255})
        EXPECT_EQ(RandomPrime(digits, random), 0);
    EXPECT_EQ(RandomPrime(9, random), 100001431);
    EXPECT_EQ(random.drawn(), 2U);

    // Two digits run from 11 to just under 110: the largest draw gives the three-digit prime 109.
    ScriptedRandom top({1.0 - step});
    EXPECT_EQ(RandomPrime(2, top), 109);
}

TEST(KeyFileFormatTest, OneLineInWindows1252)
{
    EXPECT_EQ(FormatKeyFile({-7, U"Kåre Ø", 0}), "-7,\"K\xE5re \xD8\",0\r\n");
}

// name, file bytes, the key read (none: the read fails with the number given)
using ParseTest =
    ::testing::TestWithParam<std::tuple<Name, std::string, std::optional<KeyFile>, ErrorNumber>>;

TEST_P(ParseTest, ReadsThreeFields)
{
    const auto& [name, bytes, expected, error] = GetParam();
    const Result<KeyFile> key = ParseKeyFile(bytes);
    ASSERT_EQ(key.ok(), expected.has_value());
    if (key.ok())
        EXPECT_EQ(key.value(), *expected);
    else
        EXPECT_EQ(key.failure().number, error);
}

constexpr auto None = ErrorNumber::InvalidArgument; // unused where the read succeeds
constexpr auto PastEnd = ErrorNumber::InputPastEnd;
constexpr auto Overflow = ErrorNumber::Overflow;

// The numbers are read as ReadNumber reads them (rounding, blanks, signs: NumberReaderTest); here only
// the width of each field. Bytes of any kind are the fuzz target's.
// clang-format off
const std::vector<ParseTest::ParamType> ParseRows = {
    {"AsWritten", "100001431,\"tg04user\",905\r\n", KeyFile{100001431, U"tg04user", 905}, None},
    {"BlanksAroundFields", "  97 , \"Mast\" ,\t1200  \r\n", KeyFile{97, U"Mast", 1200}, None},
    {"QuotedCommasAndLetters", "97,\"\xC5s, \xD8,\",1\r\n", KeyFile{97, U"Ås, Ø,", 1}, None},
    {"UnquotedUser", "97,Fjord,7", KeyFile{97, U"Fjord", 7}, None},
    {"FieldsOnLines", "97\n\"Fjord\"\r\n7\r\n", KeyFile{97, U"Fjord", 7}, None},
    {"AfterClosingQuoteDropped", "97,\"Ka\"ktus,7", KeyFile{97, U"Ka", 7}, None},
    {"EmptyNumberIsZero", ",\"x\",\r\n", KeyFile{0, U"x", 0}, None},
    {"LinesAfterIgnored", "97,\"x\",7\r\nmore,lines\r\n", KeyFile{97, U"x", 7}, None},
    {"Int32Top", "2147483647,\"x\",32767", KeyFile{INT_MAX, U"x", 32767}, None},
    {"Empty", "", std::nullopt, PastEnd},
    {"OneField", "97\r\n", std::nullopt, PastEnd},
    {"TwoFields", "97,\"x\"\r\n", std::nullopt, PastEnd},
    {"NoClosingQuote", "97,\"tg04user,905\r\n", std::nullopt, PastEnd},
    {"NumberOverInt32", "2147483648,\"x\",7", std::nullopt, Overflow},
    {"TimeOver32767", "97,\"x\",32768", std::nullopt, Overflow}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Files, ParseTest, ::testing::ValuesIn(ParseRows), RowName);

TEST(KeyFileParseTest, ReadsNoFurtherThanTheLimit)
{
    // A user name that runs on for megabytes is cut at the limit, and the time after it is then missing.
    std::string huge = "97,\"" + std::string(4 << 20, 'a') + "\",7";
    EXPECT_EQ(ParseKeyFile(huge).failure().number, ErrorNumber::InputPastEnd);
    // A file that is long only after its line still reads.
    std::string tail = "97,\"x\",7\r\n" + std::string(4 << 20, '\xFF');
    EXPECT_EQ(ParseKeyFile(tail).value(), (KeyFile{97, U"x", 7}));
}

TEST(KeyFileParseTest, RoundTripsWhatItWrites)
{
    for (const KeyFile& key : {KeyFile{1099999939, U"tg04user", 2359}, KeyFile{INT_MIN, U"", -32768},
                               KeyFile{3, U"æøå ÆØÅ €Š", 0}})
        EXPECT_EQ(ParseKeyFile(FormatKeyFile(key)).value(), key);
}

} // namespace
} // namespace qel
