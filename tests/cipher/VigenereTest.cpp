#include "cipher/Calls.h"
#include "cipher/Cryptocalls.h"
#include "cipher/Text.h"

#include <gtest/gtest.h>

#include <cstddef>
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

using Cryptocalls::TransformMode;
using Cryptocalls::VigenereTransform;

constexpr auto Encode = TransformMode::Encode;
constexpr auto Decode = TransformMode::Decode;

const Text Alphabet = U"ABCDEFGHIJKLMNOPQRSTUVWXYZÆØÅ";
const Text LowerAlphabet = U"abcdefghijklmnopqrstuvwxyzæøå";

TEST(BuildVigenereTable, FillsTheAlphabetInOrder)
{
    Calls::VigenereTable table;
    EXPECT_TRUE(table(1).empty());
    EXPECT_TRUE(table(29).empty());
    for (int pass = 0; pass < 2; ++pass) {
        Calls::BuildVigenereTable(table);
        for (int i = 1; i <= 29; ++i)
            EXPECT_EQ(table(i), Text(1, Alphabet[static_cast<std::size_t>(i - 1)])) << i;
    }
}

// name, text, key, mode, result
using VigenereRow = std::tuple<Name, Text, Text, TransformMode, Text>;
using VigenereTransformTest = ::testing::TestWithParam<VigenereRow>;

TEST_P(VigenereTransformTest, TransformsLetterByLetter)
{
    const auto& [name, text, key, mode, expected] = GetParam();
    EXPECT_EQ(VigenereTransform(text, key, mode), expected);
}

// clang-format off
const std::vector<VigenereRow> SingleLetters = {
    {"HWithD", U"H", U"D", Encode, U"L"}, {"LWithDBack", U"L", U"D", Decode, U"H"},
    {"RingAWithBWraps", U"Å", U"B", Encode, U"B"}, {"BWithBWrapsBack", U"B", U"B", Decode, U"Å"},
    {"LowerAeStaysLower", U"æ", U"A", Encode, U"ø"}, {"ZIntoAe", U"Z", U"A", Encode, U"Æ"},
    {"SlashedOIntoRingA", U"Ø", U"A", Encode, U"Å"}, {"LowerKeyLetter", U"h", U"d", Encode, U"l"},
    {"KeyRingAKeepsLetter", U"q", U"Å", Encode, U"q"}};

const std::vector<VigenereRow> KeyProgression = {
    {"PunctuationTakesNoKeyLetter", U"Ab, d", U"BC", Encode, U"Ce, f"},
    {"PunctuationTakesNoKeyLetterBack", U"Ce, f", U"BC", Decode, U"Ab, d"},
    {"AccentedLetterTakesNoKeyLetter", U"AéB", U"AB", Encode, U"BéD"},
    {"ForeignCharactersTakeNoKeyLetter", U"A😀\u2028€B", U"AB", Encode, U"B😀\u2028€D"},
    {"LineBreaksTakeNoKeyLetter", U"A\r\nA", U"AB", Encode, U"B\r\nC"},
    {"KeyStartsOverAfterLastLetter", U"AAAAA", U"ABC", Encode, U"BCDBC"},
    {"LongKeyUsesOnlyItsStart", U"ab", U"ABCDEFG", Encode, U"bd"},
    {"OtherAccentedLettersUnchanged", U"éüßŠÿÀ", U"NØKKEL", Encode, U"éüßŠÿÀ"},
    {"NoLettersUnchanged", U"1234, .!?", U"NØKKEL", Decode, U"1234, .!?"}};

const std::vector<VigenereRow> OddKeys = {
    {"NonLettersInKeySkipped", U"AAA", U"A1 B!", Encode, U"BCB"},
    {"NonLettersInKeySkippedBack", U"BCB", U"A1 B!", Decode, U"AAA"},
    {"ForeignKeyCharactersSkipped", U"AA", U"😀éAŠ\u212BB", Encode, U"BC"},
    {"KeyWithoutLetterKeepsText", U"Hei", U"123 é€", Encode, U"Hei"},
    {"EmptyKeyKeepsText", U"Hei", U"", Decode, U"Hei"}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(SingleLetters, VigenereTransformTest, ::testing::ValuesIn(SingleLetters), RowName);
INSTANTIATE_TEST_SUITE_P(KeyProgression, VigenereTransformTest, ::testing::ValuesIn(KeyProgression), RowName);
INSTANTIATE_TEST_SUITE_P(OddKeys, VigenereTransformTest, ::testing::ValuesIn(OddKeys), RowName);

// The key letter numbered r encodes the alphabet into the alphabet shifted by r places.
TEST(VigenereShift, EachKeyLetterShiftsByItsNumber)
{
    for (std::size_t r = 1; r <= 29; ++r) {
        const Text key(1, Alphabet[r - 1]);
        const Text row = Alphabet.substr(r % 29) + Alphabet.substr(0, r % 29);
        const Text lowerRow = LowerAlphabet.substr(r % 29) + LowerAlphabet.substr(0, r % 29);
        EXPECT_EQ(VigenereTransform(Alphabet, key, Encode), row) << r;
        EXPECT_EQ(VigenereTransform(LowerAlphabet, key, Encode), lowerRow) << r;
        EXPECT_EQ(VigenereTransform(row, key, Decode), Alphabet) << r;
    }
}

TEST(VigenereRoundTrip, DecodingUndoesEncodingForEveryKey)
{
    const Text texts[] = {U"", U"Hei på deg!\r\nÆØÅ æøå ÉüßŠÿ€😀\u2028", U"zzzzZZZZåååÅÅÅ"};
    const Text keys[] = {U"A", U"Å", U"ÅÅÅÅ", U"NØKKEL", U"qwertyuiopæøå", U"B", U"K3Y!"};
    for (const Text& text : texts) {
        for (const Text& key : keys)
            EXPECT_EQ(VigenereTransform(VigenereTransform(text, key, Encode), key, Decode), text)
                << ToUtf8(text) << " / " << ToUtf8(key);
        EXPECT_EQ(VigenereTransform(text, U"ÅÅÅÅ", Encode), text);
        EXPECT_EQ(VigenereTransform(text, U"ÅÅÅÅ", Decode), text);
    }
}

// name, key, usable
using UsableKeyRow = std::tuple<Name, Text, bool>;
using IsUsableKeyTest = ::testing::TestWithParam<UsableKeyRow>;

TEST_P(IsUsableKeyTest, NeedsOneAlphabetLetter)
{
    EXPECT_EQ(Cryptocalls::IsUsableKey(std::get<1>(GetParam())), std::get<2>(GetParam()));
}

// clang-format off
const std::vector<UsableKeyRow> UsableKeyRows = {
    {"OneCapital", U"A", true}, {"LowerRingAAmongDigits", U"1 å 2", true}, {"Empty", U"", false},
    {"DigitsAndPunctuation", U"123!", false}, {"OtherAccentedLetters", U"éüŠÿ", false},
    {"ForeignCharacters", U"😀€\u2028\u212B", false}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, IsUsableKeyTest, ::testing::ValuesIn(UsableKeyRows), RowName);

} // namespace
} // namespace qel
