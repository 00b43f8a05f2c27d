#include "cipher/Cryptocalls.h"
#include "cipher/Messages.h"
#include "cipher/Result.h"
#include "cipher/Text.h"
#include "cipher/UserDialogs.h"
#include "tests/support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
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

using namespace Cryptocalls;
using testing::DrawForPosition;
using testing::ScriptedRandom;

constexpr auto Encode = TransformMode::Encode;
constexpr auto Decode = TransformMode::Decode;
constexpr std::nullopt_t Fails = std::nullopt;
const MessageBoxRequest OverflowBox{U"For mye tekst, prøv i flere omganger", U"Overflow", MessageButtons::Ok,
                                    MessageIcon::Critical};

// n characters of mixed content: letters of every kind, line breaks, characters outside Windows-1252.
Text Sample(std::size_t n)
{
    const Text cycle = U"Hei på deg\r\nÆØÅ€😀\u2028xyZz,ßéŠ";
    Text text;
    for (std::size_t i = 0; i < n; ++i)
        text += cycle[i % cycle.size()];
    return text;
}

Text Vowels(std::size_t n, TextView tail = U"")
{
    return Text(n, U'a') + Text(tail);
}

Text Digits(std::size_t value, std::size_t width)
{
    const std::string digits = std::to_string(value);
    return FromUtf8(std::string(width - digits.size(), '0') + digits);
}

// The encrypted layout with the header at position p: prefix, body up to p - 4, header, rest of the body.
Text Framed(const Text& body, std::size_t p, TextView header)
{
    return Digits(p, 3) + body.substr(0, p - 4) + Text(header) + body.substr(p - 4);
}

// Compares without printing, as some texts are 32,000 characters long. No expected text: a failure.
void ExpectOutcome(const Result<Text>& result, const std::optional<Text>& expected,
                   ErrorNumber number = ErrorNumber::Overflow,
                   FailureSource source = FailureSource::Transform)
{
    if (expected) {
        ASSERT_TRUE(result.ok()) << ToUtf8(result.failure().description);
        EXPECT_EQ(result.value().size(), expected->size());
        EXPECT_TRUE(result.value() == *expected);
    } else {
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.failure().number, number);
        EXPECT_EQ(result.failure().source, source);
    }
}

// name, character, consonant, number in CipherAlphabet
using CharRow = std::tuple<Name, char32_t, bool, int>;
using CharacterTest = ::testing::TestWithParam<CharRow>;

TEST_P(CharacterTest, ConsonantAndAlphabetNumber)
{
    const auto& [name, ch, consonant, number] = GetParam();
    EXPECT_EQ(IsConsonant(ch), consonant);
    EXPECT_EQ(AlphabetNumber(ch), number);
}

// clang-format off
const std::vector<CharRow> CharRows = {
    {"UpperA", U'A', false, 1}, {"UpperB", U'B', true, 2}, {"LowerB", U'b', true, 2}, {"LowerX", U'x', true, 24},
    {"UpperX", U'X', true, 24}, {"LowerY", U'y', false, 25}, {"LowerZ", U'z', true, 26},
    {"UpperZ", U'Z', false, 26}, {"UpperAe", U'Æ', false, 27}, {"LowerAe", U'æ', false, 27},
    {"UpperSlashedO", U'Ø', false, 28}, {"LowerSlashedO", U'ø', false, 28}, {"UpperRingA", U'Å', false, 29},
    {"LowerRingA", U'å', false, 29}, {"Digit", U'1', false, 0}, {"Blank", U' ', false, 0},
    {"LineFeed", U'\n', false, 0}, {"CedillaC", U'ç', false, 0}, {"CaronS", U'š', false, 0},
    {"UmlautY", U'ÿ', false, 0}, {"AngstromSign", U'\u212B', false, 0}, {"KelvinSign", U'\u212A', false, 0},
    {"FullwidthB", U'ｂ', false, 0}, {"LowByteIsB", U'\u0162', false, 0}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, CharacterTest, ::testing::ValuesIn(CharRows), RowName);

TEST(IsConsonantLetters, AllButVowelsFromAToYInEitherCase)
{
    for (char32_t ch = U'a'; ch <= U'y'; ++ch) {
        const bool expected = Text(U"aeiouy").find(ch) == Text::npos;
        EXPECT_EQ(IsConsonant(ch), expected) << static_cast<char>(ch);
        EXPECT_EQ(IsConsonant(ch - 32), expected) << static_cast<char>(ch - 32);
    }
}

enum class Op { Reverse, RoverEncode, RoverDecode };

// name, operation, input, output (none: overflow)
using TransformRow = std::tuple<Name, Op, Text, std::optional<Text>>;
using TransformTest = ::testing::TestWithParam<TransformRow>;

TEST_P(TransformTest, TransformsWithinLimits)
{
    const auto& [name, op, input, expected] = GetParam();
    ScriptedRandom random({0.25});
    if (op == Op::Reverse) {
        const Result<Text> result = ReverseText(input);
        ExpectOutcome(result, expected);
        if (!result.ok()) {
            EXPECT_EQ(Messages::FailureReport(result.failure()), OverflowBox);
        }
    } else if (op == Op::RoverDecode) {
        for (const bool strong : {false, true})
            ExpectOutcome(RoverTransform(input, Decode, strong, random), expected);
        ExpectOutcome(RoverDecode(input), expected);
    } else {
        ExpectOutcome(RoverTransform(input, Encode, false, random), expected);
        EXPECT_EQ(random.drawn(), 0u);
        const Result<Text> strong = RoverTransform(input, Encode, true, random);
        if (!expected)
            return ExpectOutcome(strong, Fails);
        ASSERT_TRUE(strong.ok());
        EXPECT_EQ(strong.value().size(), expected->size());
        ExpectOutcome(RoverDecode(*expected), input);
        return;
    }
    EXPECT_EQ(random.drawn(), 0u);
}

// clang-format off
const std::vector<TransformRow> TransformRows = {
    {"ReverseEmpty", Op::Reverse, U"", U""}, {"ReverseWord", Op::Reverse, U"Hei", U"ieH"},
    {"ReverseLineBreakToLfCr", Op::Reverse, U"a\r\nb", U"b\n\ra"},
    {"ReverseWideCharactersWhole", Op::Reverse, U"Æ€😀\u2028z", U"z\u2028😀€Æ"},
    {"ReverseLongest", Op::Reverse, Vowels(32766, U"b"), U"b" + Vowels(32766)},
    {"ReverseOneOverLongest", Op::Reverse, Vowels(32768), Fails},
    {"EncodeEmpty", Op::RoverEncode, U"", U""}, {"Hei", Op::RoverEncode, U"Hei", U"Hohei"},
    {"Bil", Op::RoverEncode, U"Bil", U"Bobilol"}, {"CapitalZorro", Op::RoverEncode, U"Zorro", U"Zororroro"},
    {"SmallZorro", Op::RoverEncode, U"zorro", U"zozororroro"}, {"Zz", Op::RoverEncode, U"Zz", U"Zzoz"},
    {"Aeble", Op::RoverEncode, U"Æble", U"Æboblole"}, {"CapitalDoubledLower", Op::RoverEncode, U"X", U"Xox"},
    {"LineBreaksKept", Op::RoverEncode, U"b\r\nt", U"bob\r\ntot"},
    {"ForeignCharactersKept", Op::RoverEncode, U"ç€😀\u2028šŸ", U"ç€😀\u2028šŸ"},
    {"EncodeLongestInput", Op::RoverEncode, Vowels(32766), Vowels(32766)},
    {"EncodeInputOneOver", Op::RoverEncode, Vowels(32767), Fails},
    {"EncodeOutputAtLimit", Op::RoverEncode, Vowels(32763, U"b"), Vowels(32763, U"bob")},
    {"EncodeOutputOneOver", Op::RoverEncode, Vowels(32764, U"b"), Fails},
    {"DecodeLongestInput", Op::RoverDecode, Vowels(32766), Vowels(32766)},
    {"DecodeInputOneOver", Op::RoverDecode, Vowels(32767), Fails},
    {"DecodeConsonantAt32764", Op::RoverDecode, Vowels(32763, U"bob"), Vowels(32763, U"b")},
    {"DecodeConsonantAt32765", Op::RoverDecode, Vowels(32764, U"ba"), Fails},
    {"DecodeConsonantAt32765Last", Op::RoverDecode, Vowels(32764, U"b"), Fails},
    {"DecodeConsonantAt32766", Op::RoverDecode, Vowels(32765, U"b"), Fails},
    {"DecodeConsonantNearEnd", Op::RoverDecode, U"bo", U"b"},
    {"DecodeTextNotMadeByEncoder", Op::RoverDecode, U"bxyzå", U"bz"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, TransformTest, ::testing::ValuesIn(TransformRows), RowName);

TEST(RoverStrong, FollowsEachConsonantWithTwoDrawnCodesFrom65To121)
{
    ScriptedRandom random({0.0, 0.99999, 0.5, 0.25});
    ExpectOutcome(RoverTransform(U"Hei", Encode, true, random), U"HAyei");
    ExpectOutcome(RoverTransform(U"Zz", Encode, true, random), U"Zz]O");
    EXPECT_EQ(random.drawn(), 4u);
    ExpectOutcome(RoverTransform(U"HAyei", Decode, true, random), U"Hei");
}

using KeyRow = std::tuple<Name, Text, Text>; // name, typed key, normalised key
using NormaliseKeyTest = ::testing::TestWithParam<KeyRow>;

TEST_P(NormaliseKeyTest, KeepsAlphabetCapitals)
{
    EXPECT_EQ(NormaliseKey(std::get<1>(GetParam())), std::get<2>(GetParam()));
}

// clang-format off
const std::vector<KeyRow> KeyRows = {
    {"LettersThenDigits", U"hemmelig 42", U"HEMMELIG"}, {"ThreeNorwegianAndDigit", U"æøå1", KeyTooShort},
    {"Empty", U"", KeyTooShort}, {"ExactlyFour", U"abCd", U"ABCD"}, {"Three", U"a b-c", KeyTooShort},
    {"NorwegianBothCases", U"ÆØÅæøå", U"ÆØÅÆØÅ"}, {"OtherAccentsDropped", U"éüßçŠÿœžnøkkel", U"NØKKEL"},
    {"CasedNonAlphabetOnly", U"éŠÿŒÀ", KeyTooShort},
    {"ForeignCharactersDropped", U"a😀b\u2028c€d\u212A\u212B", U"ABCD"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, NormaliseKeyTest, ::testing::ValuesIn(KeyRows), RowName);

// name, body, code, count, draws (all of them used), encrypted text
using InsertRow = std::tuple<Name, Text, char32_t, int, std::vector<double>, Text>;
using InsertHeaderTest = ::testing::TestWithParam<InsertRow>;

TEST_P(InsertHeaderTest, PlacesHeaderAtDrawnPosition)
{
    const auto& [name, body, code, count, draws, expected] = GetParam();
    ScriptedRandom random(draws);
    const Text text = InsertHeader(body, code, count, random);
    EXPECT_EQ(text.substr(0, 3), expected.substr(0, 3));
    EXPECT_TRUE(text == expected);
    EXPECT_EQ(random.drawn(), draws.size());
}

// The last two bodies first draw positions past 255, which must be drawn again.
// clang-format off
const std::vector<InsertRow> InsertRows = {
    {"Example", U"Hohei", U'b', 1, {DrawForPosition(6, 5)}, U"006Hob01hei"},
    {"EmptyBody", U"", U'a', 0, {0.73}, U"004a00"}, {"OneCharacterBody", U"x", U'c', 5, {0.99}, U"004c05x"},
    {"CountTen", U"Hei", U'd', 10, {0.0}, U"004d10Hei"}, {"CountNinetyNine", U"Hei", U'e', 99, {0.0}, U"004e99Hei"},
    {"LastPositionBeforeLastCharacter", U"abcdefghij", U'e', 3, {0.99999}, U"013abcdefghie03j"},
    {"Body252ReachesPosition255", Sample(252), U'a', 1, {0.99999}, Framed(Sample(252), 255, U"a01")},
    {"Body255CappedAt253", Sample(255), U'd', 4, {0.99999}, Framed(Sample(255), 253, U"d04")},
    {"LongBodyFromFour", Sample(5000), U'f', 14, {0.0}, Framed(Sample(5000), 4, U"f14")},
    {"Body253Draws256", Sample(253), U'b', 2, {0.99999, DrawForPosition(100, 253)},
     Framed(Sample(253), 100, U"b02")},
    {"Body254Draws257And256", Sample(254), U'c', 3, {0.99999, 0.996, DrawForPosition(255, 254)},
     Framed(Sample(254), 255, U"c03")}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, InsertHeaderTest, ::testing::ValuesIn(InsertRows), RowName);

TEST(HeaderRoundTrip, EveryPositionReadsAndStripsBack)
{
    for (const std::size_t n : {0, 1, 2, 5, 100, 252, 253, 254, 255, 256, 1000}) {
        const Text body = Sample(n);
        const std::size_t last = n == 0 ? 4 : std::min<std::size_t>(n + 3, n < 255 ? 255 : 253);
        for (std::size_t p = 4; p <= last; ++p) {
            ScriptedRandom random({n == 0 ? 0.5 : DrawForPosition(p, n)});
            const Text code(1, static_cast<char32_t>(U'a' + p % 6));
            const Text count = Digits(p % 100, 2);
            const Text text = InsertHeader(body, code[0], static_cast<int>(p % 100), random);
            ASSERT_TRUE(text == Framed(body, p, code + count)) << "n=" << n << " p=" << p;
            HeaderFields fields{U"error", U"error"};
            ASSERT_TRUE(ReadHeader(text, fields)) << "n=" << n << " p=" << p;
            EXPECT_EQ(fields.protocolCode, code);
            EXPECT_EQ(fields.passCount, count);
            ExpectOutcome(StripHeader(text), body);
        }
    }
}

// name, text, fields ReadHeader finds (none: it returns false), body StripHeader gives (none: it fails
// with the error number)
using HeaderRow = std::tuple<Name, Text, std::optional<HeaderFields>, std::optional<Text>, ErrorNumber>;
using HeaderTest = ::testing::TestWithParam<HeaderRow>;

TEST_P(HeaderTest, ReadsAndStripsAtPrefixPosition)
{
    const auto& [name, text, found, body, number] = GetParam();
    HeaderFields fields{U"error", U"error"};
    EXPECT_EQ(ReadHeader(text, fields), found.has_value());
    EXPECT_EQ(fields.protocolCode, found ? found->protocolCode : U"error");
    EXPECT_EQ(fields.passCount, found ? found->passCount : U"error");

    const Result<Text> result = StripHeader(text);
    ExpectOutcome(result, body, number, FailureSource::StripHeader);
    if (result.ok())
        return;
    const Text& description = result.failure().description;
    EXPECT_FALSE(description.empty());
    const MessageBoxRequest plainBox{description, U"qelPortal", MessageButtons::Ok, MessageIcon::None};
    EXPECT_EQ(Messages::FailureReport(result.failure()),
              number == ErrorNumber::Overflow ? OverflowBox : plainBox);
}

constexpr auto Invalid = ErrorNumber::InvalidArgument;
constexpr auto Overflow = ErrorNumber::Overflow;
constexpr std::nullopt_t None = std::nullopt;

// clang-format off
const std::vector<HeaderRow> HeaderRows = {
    {"Example", U"006Hob01hei", HeaderFields{U"b", U"01"}, U"Hohei", {}},
    {"EmptyBody", U"004a00", HeaderFields{U"a", U"00"}, U"", {}},
    {"HeaderBeforeOnlyCharacter", U"004c05x", HeaderFields{U"c", U"05"}, U"x", {}},
    {"BlankPaddedPrefix", U"  5abcdef", HeaderFields{U"b", U"cd"}, U"aef", {}},
    {"LineFeedInPrefix", U"\n07abcdefg", HeaderFields{U"d", U"ef"}, U"abcg", {}},
    {"OnlyThreeCharactersRead", U"0051xyz", HeaderFields{U"x", U"yz"}, U"1", {}},
    {"HalfInPrefixToEven", U"2.5abc", HeaderFields{U".", U"5a"}, Fails, Invalid},
    {"PositionOne", U"1xxabc", HeaderFields{U"1", U"xx"}, Fails, Invalid},
    {"CountCutShort", U"006Hob0", HeaderFields{U"b", U"0"}, U"Ho", {}},
    {"PositionPastEnd", U"010abc", HeaderFields{U"", U""}, U"abc", {}},
    {"Position255", U"255" + Vowels(251, U"f42z"), HeaderFields{U"f", U"42"}, Vowels(251, U"z"), {}},
    {"PrefixThree", U"003abcdef", HeaderFields{U"3", U"ab"}, Fails, Invalid},
    {"PrefixZero", U"000abc", None, Fails, Invalid}, {"NoNumber", U"Hei på deg", None, Fails, Invalid},
    {"Empty", U"", None, Fails, Invalid}, {"Prefix256", U"256" + Vowels(300), None, Fails, Overflow},
    {"NegativePrefix", U"-01abcdef", None, Fails, Overflow}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, HeaderTest, ::testing::ValuesIn(HeaderRows), RowName);

using ReportRow = std::tuple<Name, Failure, MessageBoxRequest>;
using FailureReportTest = ::testing::TestWithParam<ReportRow>;

TEST_P(FailureReportTest, ChoosesTheBox)
{
    EXPECT_EQ(Messages::FailureReport(std::get<1>(GetParam())), std::get<2>(GetParam()));
}

// clang-format off
const std::vector<ReportRow> ReportRows = {
    {"NumberOverflow", {Overflow, U"for stort", FailureSource::Number}, OverflowBox},
    {"TransformOutOfMemory", {ErrorNumber::OutOfMemory, U"tomt", FailureSource::Transform},
     {U"Feil!", U"Error", MessageButtons::Ok, MessageIcon::Critical}},
    {"StripHeaderOutOfMemory", {ErrorNumber::OutOfMemory, U"Tom for minne", FailureSource::StripHeader},
     {U"Tom for minne", U"qelPortal", MessageButtons::Ok, MessageIcon::None}}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, FailureReportTest, ::testing::ValuesIn(ReportRows), RowName);

} // namespace
} // namespace qel
