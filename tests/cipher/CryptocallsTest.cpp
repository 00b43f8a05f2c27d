#include "cipher/Cryptocalls.h"
#include "cipher/Messages.h"
#include "tests/support/NamedRows.h"
#include "tests/support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace qel {
namespace {

using namespace Cryptocalls;
using testing::DrawForPosition;
using testing::Name;
using testing::RowName;
using testing::ScriptedRandom;

using enum TransformMode;
using enum ErrorNumber;
constexpr std::nullopt_t Fails = std::nullopt;
const MessageBoxRequest OverflowBox = Messages::OverflowReport();

// n characters from outside Windows-1252 (and so no consonants), then the tail.
Text Sample(std::size_t n, TextView tail = U"")
{
    return Text(n, U'😀') + Text(tail);
}

// The encrypted layout with the header at position p: p in three digits, the body up to p - 4, the
// header, the rest of the body.
Text Framed(const Text& body, std::size_t p, const Text& header)
{
    return FromUtf8(std::to_string(1000 + p).substr(1)) + body.substr(0, p - 4) + header + body.substr(p - 4);
}

// Compares without printing, as some texts are 32,000 characters long. No expected text: a failure,
// which the user sees in the overflow box or, for any other error, in a plain box with its description.
void ExpectOutcome(const Result<Text>& result, const std::optional<Text>& expected,
                   ErrorNumber number = Overflow, FailureSource source = FailureSource::Transform)
{
    ASSERT_EQ(result.ok(), expected.has_value()) << (result.ok() ? "" : ToUtf8(result.failure().description));
    if (expected) {
        EXPECT_TRUE(result.value() == *expected) << result.value().size() << " characters";
        return;
    }
    const Failure& failure = result.failure();
    EXPECT_EQ(failure.number, number);
    EXPECT_EQ(failure.source, source);
    const MessageBoxRequest plainBox{failure.description, U"qelPortal"}; // no icon, an OK button
    EXPECT_NE(plainBox.text, U"");
    EXPECT_EQ(Messages::FailureReport(failure), number == Overflow ? OverflowBox : plainBox);
}

// name, characters numbered 1, 2, ... in CipherAlphabet (or all 0), the consonants among them
using CharacterTest = ::testing::TestWithParam<std::tuple<Name, Text, bool, Text>>;

TEST_P(CharacterTest, ConsonantAndAlphabetNumber)
{
    const auto& [name, characters, numbered, consonants] = GetParam();
    for (std::size_t i = 0; i < characters.size(); ++i) {
        EXPECT_EQ(IsConsonant(characters[i]), consonants.find(characters[i]) != Text::npos) << i;
        EXPECT_EQ(AlphabetNumber(characters[i]), numbered ? static_cast<int>(i) + 1 : 0) << i;
    }
}

// U+0162 has the low byte of b, the Angstrom sign the look of Å.
// clang-format off
const std::vector<CharacterTest::ParamType> CharacterRows = {
    {"LowerCase", U"abcdefghijklmnopqrstuvwxyzæøå", true, U"bcdfghjklmnpqrstvwxz"},
    {"UpperCaseWithoutZ", U"ABCDEFGHIJKLMNOPQRSTUVWXYZÆØÅ", true, U"BCDFGHJKLMNPQRSTVWX"},
    {"OutsideAlphabet", U"1 \nçšÿŠ\u212B\u212Aｂ\u0162", false, U""}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, CharacterTest, ::testing::ValuesIn(CharacterRows), RowName);

enum Op { Reversal, Encoding, Decoding };

// name, operation, input, output (none: overflow)
using TransformTest = ::testing::TestWithParam<std::tuple<Name, Op, Text, std::optional<Text>>>;

TEST_P(TransformTest, TransformsWithinLimits)
{
    const auto& [name, op, input, expected] = GetParam();
    ScriptedRandom random({0.25});
    if (op == Reversal)
        ExpectOutcome(ReverseText(input), expected);
    if (op == Encoding)
        ExpectOutcome(RoverTransform(input, Encode, false, random), expected);
    if (op == Decoding) {
        ExpectOutcome(RoverDecode(input), expected);
        ExpectOutcome(RoverTransform(input, Decode, true, random), expected);
    }
    EXPECT_EQ(random.drawn(), 0u);
    if (op != Encoding)
        return;
    // Strong encoding fails alike, or gives a text that decodes back.
    const Result<Text> strong = RoverTransform(input, Encode, true, random);
    ExpectOutcome(strong.ok() ? RoverDecode(strong.value()) : strong,
                  expected ? std::optional(input) : Fails);
}

// clang-format off
const std::vector<TransformTest::ParamType> TransformRows = {
    {"ReverseLineBreakToLfCr", Reversal, U"Hei😀\r\n", U"\n\r😀ieH"},
    {"ReverseLongest", Reversal, Text(32766, U'a') + U"b", U"b" + Text(32766, U'a')},
    {"ReverseOneOverLongest", Reversal, Text(32768, U'a'), Fails},
    {"Hei", Encoding, U"Hei", U"Hohei"}, {"Bil", Encoding, U"Bil", U"Bobilol"},
    {"Zz", Encoding, U"Zz", U"Zzoz"}, {"CapitalZorro", Encoding, U"Zorro", U"Zororroro"},
    {"SmallZorro", Encoding, U"zorro", U"zozororroro"}, {"Aeble", Encoding, U"Æble", U"Æboblole"},
    {"EncodeLongestInput", Encoding, Sample(32766), Sample(32766)},
    {"EncodeInputOneOver", Encoding, Sample(32767), Fails},
    {"EncodeOutputAtLimit", Encoding, Sample(32763, U"b"), Sample(32763, U"bob")},
    {"EncodeOutputOneOver", Encoding, Sample(32764, U"b"), Fails},
    {"DecodeInputOneOver", Decoding, Sample(32767), Fails},
    {"DecodeConsonantAt32764", Decoding, Sample(32763, U"bob"), Sample(32763, U"b")},
    {"DecodeConsonantAt32765", Decoding, Sample(32764, U"ba"), Fails},
    {"DecodeConsonantAt32766", Decoding, Sample(32765, U"b"), Fails},
    {"DecodeBo", Decoding, U"bo", U"b"}, {"DecodeSkipsTwoAfterConsonant", Decoding, U"bxyzå", U"bz"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, TransformTest, ::testing::ValuesIn(TransformRows), RowName);

TEST(RoverStrong, FollowsEachConsonantWithTwoDrawnCodesFrom65To121)
{
    ScriptedRandom random({0.0, 0.99999, 0.5, 0.25});
    ExpectOutcome(RoverTransform(U"Hei", Encode, true, random), U"HAyei");
    ExpectOutcome(RoverTransform(U"Zz", Encode, true, random), U"Zz]O");
    EXPECT_EQ(random.drawn(), 4u);
    // Long enough for the lanes that take four characters at a time: each consonant takes its own two
    // draws, in order, whatever else its group of four holds.
    const Text text = U"bcdfaghjkeelmnpiiiqrstuvwxz";
    std::vector<double> draws;
    Text expected;
    for (const char32_t ch : text) {
        expected += ch;
        if (Text(U"aeiouy").find(ch) != Text::npos)
            continue;
        for (int k = 0; k < 2; ++k) {
            const auto code = static_cast<char32_t>(65 + draws.size() % 57);
            draws.push_back((code - 65 + 0.5) / 57);
            expected += code;
        }
    }
    ScriptedRandom inOrder(draws);
    ExpectOutcome(RoverTransform(text, Encode, true, inOrder), expected);
}

// Bodies of 253 and 254 characters first draw positions past 255, which must be drawn again.
TEST(HeaderRoundTrip, EveryPositionReadsAndStripsBack)
{
    for (const std::size_t n : {0, 1, 2, 100, 252, 253, 254, 255, 1000}) {
        const Text body = Sample(n);
        const std::size_t last = n == 0 ? 4 : n < 253 ? n + 3 : n < 255 ? 255 : 253;
        const bool redraw = n == 253 || n == 254;
        for (std::size_t p = 4; p <= last; ++p) {
            const double draw = n == 0 ? 0.5 : DrawForPosition(p, n);
            ScriptedRandom random(redraw ? std::vector{0.99999, draw} : std::vector{draw});
            const Text header = Text(1, U'b' + p % 6) + FromUtf8(std::to_string(100 + p % 100).substr(1));
            const Text text = InsertHeader(body, header[0], static_cast<int>(p % 100), random);
            ASSERT_TRUE(text == Framed(body, p, header)) << "n=" << n << " p=" << p;
            EXPECT_EQ(random.drawn(), redraw ? 2u : 1u);
            HeaderFields fields{U"error", U"error"};
            ASSERT_TRUE(ReadHeader(text, fields)) << "n=" << n << " p=" << p;
            EXPECT_EQ(fields.protocolCode + fields.passCount, header);
            ExpectOutcome(StripHeader(text), body);
        }
    }
}

// name, text, fields ReadHeader finds as "code|count" (NotRead: it returns false), body StripHeader gives
// (none: it fails with the error number)
using HeaderTest = ::testing::TestWithParam<std::tuple<Name, Text, Text, std::optional<Text>, ErrorNumber>>;
const Text NotRead = U"error|error";
constexpr auto Invalid = InvalidArgument;

TEST_P(HeaderTest, ReadsAndStripsAtPrefixPosition)
{
    const auto& [name, text, found, body, number] = GetParam();
    HeaderFields fields{U"error", U"error"};
    EXPECT_EQ(ReadHeader(text, fields), found != NotRead);
    EXPECT_EQ(fields.protocolCode + U"|" + fields.passCount, found);
    ExpectOutcome(StripHeader(text), body, number, FailureSource::StripHeader);
}

// clang-format off
const std::vector<HeaderTest::ParamType> HeaderRows = {
    {"Example", U"006Hob01hei", U"b|01", U"Hohei", {}}, {"CountCutShort", U"006Hob0", U"b|0", U"Ho", {}},
    {"FourthDigitIsBody", U"0051xyz", U"x|yz", U"1", {}}, {"PositionPastEnd", U"200abc", U"|", U"abc", {}},
    {"Prefix0", U"000abc", NotRead, Fails, Invalid}, {"Prefix1", U"1xxabc", U"1|xx", Fails, Invalid},
    {"Prefix2Point5", U"2.5abc", U".|5a", Fails, Invalid}, {"Prefix3", U"003abc", U"3|ab", Fails, Invalid},
    {"NoNumber", U"abc", NotRead, Fails, Invalid}, {"Empty", U"", NotRead, Fails, Invalid},
    {"Prefix256", U"256abc", NotRead, Fails, Overflow}, {"Negative12", U"-12abc", NotRead, Fails, Overflow}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, HeaderTest, ::testing::ValuesIn(HeaderRows), RowName);

// Other failures of the transforms (only running out of memory) are put no more precisely than "Feil!".
TEST(FailureReport, OtherTransformFailuresAreTerse)
{
    EXPECT_EQ(Messages::FailureReport({OutOfMemory, U"x", FailureSource::Transform}),
              Messages::TransformError());
}

} // namespace
} // namespace qel
