#include "cipher/Text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace qel {
namespace {

using namespace std::string_literals;

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

// name, lower-case form, upper-case form (a caseless character names itself twice)
using CaseRow = std::tuple<Name, char32_t, char32_t>;
using CaseTest = ::testing::TestWithParam<CaseRow>;

TEST_P(CaseTest, FollowsWindows1252)
{
    const auto& [name, lower, upper] = GetParam();
    EXPECT_EQ(UpperCase(lower), upper);
    EXPECT_EQ(LowerCase(upper), lower);
    EXPECT_EQ(UpperCase(upper), upper);
    EXPECT_EQ(LowerCase(lower), lower);
}

// Unicode gives µ, ß, ſ, the Kelvin sign, Greek and Cyrillic a case; the code page does not. U+009A and
// U+0261 catch a mapping that looks only at the low byte.
// clang-format off
const std::vector<CaseRow> CaseRows = {
    {"AsciiA", U'a', U'A'}, {"AsciiZ", U'z', U'Z'}, {"Ae", U'æ', U'Æ'}, {"SlashedO", U'ø', U'Ø'},
    {"RingA", U'å', U'Å'}, {"GraveA", U'à', U'À'}, {"Thorn", U'þ', U'Þ'}, {"UmlautU", U'ü', U'Ü'},
    {"CaronS", U'š', U'Š'}, {"Oe", U'œ', U'Œ'}, {"CaronZ", U'ž', U'Ž'}, {"UmlautY", U'ÿ', U'Ÿ'},
    {"SharpS", U'ß', U'ß'}, {"Micro", U'µ', U'µ'}, {"OrdinalA", U'ª', U'ª'}, {"OrdinalO", U'º', U'º'},
    {"Times", U'×', U'×'}, {"Division", U'÷', U'÷'}, {"Digit", U'7', U'7'}, {"Return", U'\r', U'\r'},
    {"Euro", U'€', U'€'}, {"LineSeparator", U'\u2028', U'\u2028'}, {"Emoji", U'😀', U'😀'},
    {"GreekAlpha", U'α', U'α'}, {"CyrillicDe", U'Д', U'Д'}, {"LongS", U'ſ', U'ſ'}, {"DotlessI", U'ı', U'ı'},
    {"KelvinSign", U'\u212A', U'\u212A'}, {"C1Control", U'\u009A', U'\u009A'},
    {"ScriptG", U'\u0261', U'\u0261'}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Characters, CaseTest, ::testing::ValuesIn(CaseRows), RowName);

// name, UTF-8, code points, whether the UTF-8 is well formed (and so what ToUtf8 gives back)
using Utf8Row = std::tuple<Name, std::string, Text, bool>;
using Utf8Test = ::testing::TestWithParam<Utf8Row>;

TEST_P(Utf8Test, ConvertsCodePoints)
{
    const auto& [name, utf8, text, wellFormed] = GetParam();
    EXPECT_EQ(FromUtf8(utf8), text);
    if (wellFormed) {
        EXPECT_EQ(ToUtf8(text), utf8);
    }
}

// clang-format off
const std::vector<Utf8Row> Utf8Rows = {
    {"Empty", "", U"", true},
    {"OneToFourBytes", "a\xC3\x86\xE2\x82\xAC\xF0\x9F\x98\x80", U"aÆ€😀", true},
    {"MixedText", "Hei\r\nØå š\xE2\x80\xA8\0end"s, U"Hei\r\nØå š\u2028\0end"s, true},
    {"LoneContinuationByte", "a\x80z", U"a\uFFFDz", false},
    {"TruncatedAtEnd", "a\xC3", U"a\uFFFD", false}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Edges, Utf8Test, ::testing::ValuesIn(Utf8Rows), RowName);

} // namespace
} // namespace qel
