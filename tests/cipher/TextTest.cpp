#include "cipher/Text.h"
#include "tests/support/NamedRows.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace qel {
namespace {

using testing::Name;
using testing::RowName;

// name, lower-case form, upper-case form (a caseless character names itself twice)
using CaseTest = ::testing::TestWithParam<std::tuple<Name, char32_t, char32_t>>;

TEST_P(CaseTest, FollowsWindows1252)
{
    const auto& [name, lower, upper] = GetParam();
    EXPECT_EQ((Text{UpperCase(lower), UpperCase(upper), LowerCase(upper), LowerCase(lower)}),
              (Text{upper, upper, lower, lower}));
}

// Unicode gives µ, ß and the Kelvin sign a case; the code page does not. ×, ÷, µ and ß sit where a
// fixed offset of 32 would pair them wrongly. U+009A and U+0261 catch a mapping that looks only at the
// low byte.
// clang-format off
const std::vector<CaseTest::ParamType> CaseRows = {
    {"AsciiA", U'a', U'A'}, {"Ae", U'æ', U'Æ'}, {"CaronS", U'š', U'Š'}, {"Oe", U'œ', U'Œ'},
    {"CaronZ", U'ž', U'Ž'}, {"UmlautY", U'ÿ', U'Ÿ'}, {"Times", U'×', U'×'}, {"Division", U'÷', U'÷'},
    {"Micro", U'µ', U'µ'}, {"SharpS", U'ß', U'ß'}, {"KelvinSign", U'\u212A', U'\u212A'},
    {"C1Control", U'\u009A', U'\u009A'}, {"ScriptG", U'\u0261', U'\u0261'},
    // The ends of each range, and the characters just outside them.
    {"AsciiZ", U'z', U'Z'}, {"GraveA", U'à', U'À'}, {"Thorn", U'þ', U'Þ'}, {"AtSign", U'@', U'@'},
    {"Bracket", U'[', U'['}, {"Backtick", U'`', U'`'}, {"Brace", U'{', U'{'}, {"InvertedQuestion", U'¿', U'¿'}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Characters, CaseTest, ::testing::ValuesIn(CaseRows), RowName);

// name, UTF-8, the code points FromUtf8 reads from it, the UTF-8 ToUtf8 writes for them, the offset
// DecodeUtf8 refuses it at (none: it reads what FromUtf8 reads)
using Utf8Test =
    ::testing::TestWithParam<std::tuple<Name, std::string, Text, std::string, std::optional<std::size_t>>>;

TEST_P(Utf8Test, ConvertsCodePoints)
{
    const auto& [name, utf8, text, written, invalidAt] = GetParam();
    EXPECT_EQ(FromUtf8(utf8), text);
    EXPECT_EQ(ToUtf8(text), written);
    const auto strict = DecodeUtf8(utf8);
    if (invalidAt)
        EXPECT_EQ(std::get<InvalidUtf8>(strict).offset, *invalidAt);
    else
        EXPECT_EQ(std::get<Text>(strict), text);
}

// clang-format off
const std::vector<Utf8Test::ParamType> Utf8Rows = {
    // U+007F, U+0080, U+07FF, U+0800, U+FFFF, U+10000: the last and first of each length.
    {"LengthEdges", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80", U"\u007F\u0080\u07FF\u0800\uFFFF\U00010000",
     "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80", {}},
    // A continuation byte, or a byte no sequence starts with, is one malformed sequence on its own.
    {"StrayBytesEachAlone", "a\x80\x80\xF8\x80z", U"a\uFFFD\uFFFD\uFFFD\uFFFDz",
     "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz", 1},
    {"TruncatedAtEnd", "a\xC3", U"a\uFFFD", "a\xEF\xBF\xBD", 1},
    {"CutOffBeforeAnotherCharacter", "\xE2\x82z\xF0\x9F\x98", U"\uFFFDz\uFFFD", "\xEF\xBF\xBDz\xEF\xBF\xBD", 0},
    // U+D7FF, U+D800, U+DFFF, U+E000, an overlong NUL, U+10FFFF, U+110000
    {"SurrogatesOverlongAndTop", "\xED\x9F\xBF\xED\xA0\x80\xED\xBF\xBF\xEE\x80\x80\xC0\x80\xF4\x8F\xBF\xBF\xF4\x90\x80\x80",
     U"\uD7FF\uFFFD\uFFFD\uE000\uFFFD\U0010FFFF\uFFFD",
     "\xED\x9F\xBF\xEF\xBF\xBD\xEF\xBF\xBD\xEE\x80\x80\xEF\xBF\xBD\xF4\x8F\xBF\xBF\xEF\xBF\xBD", 3},
    // A lead takes as many continuation bytes as it announces into its replacement, and no more.
    {"MalformedTakeWhatTheyAnnounce", "\xC0\x80\x80\xE0\x80\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD",
     "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", 0},
    {"OverlongThreeBytes", "\xEE\x80\x80\xF4\x8F\xBF\xBF\xE0\x9F\xBF", U"\uE000\U0010FFFF\uFFFD",
     "\xEE\x80\x80\xF4\x8F\xBF\xBF\xEF\xBF\xBD", 7}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Edges, Utf8Test, ::testing::ValuesIn(Utf8Rows), RowName);

// Every byte reads as its character and is written back; a character outside the code page as "?".
TEST(Windows1252Test, EveryByteRoundTripsAndOthersBecomeQuestionMarks)
{
    std::string bytes;
    for (int code = 0; code < 256; ++code)
        bytes += static_cast<char>(code);
    const Text text = FromWindows1252(bytes);
    EXPECT_EQ(text.substr(0x80, 3), U"€\u0081‚");
    EXPECT_EQ(text.substr(0x9D, 3), U"\u009DžŸ");
    EXPECT_EQ(text.substr(0xD8, 1), U"Ø");
    EXPECT_EQ(ToWindows1252(text), bytes);
    EXPECT_EQ(ToWindows1252(U"Å\u0100€\u4E2D😀"), "\xC5?\x80??");
}

} // namespace
} // namespace qel
