#include "cipher/Cryptocalls.h"
#include "cipher/Text.h"
#include "tests/support/NamedRows.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace qel {
namespace {

using namespace Cryptocalls;
using testing::Name;
using testing::RowName;

using enum TransformMode;

// name, text, key, mode, result (which the other mode turns back into the text)
using VigenereTransformTest = ::testing::TestWithParam<std::tuple<Name, Text, Text, TransformMode, Text>>;

TEST_P(VigenereTransformTest, TransformsLetterByLetter)
{
    const auto& [name, text, key, mode, expected] = GetParam();
    EXPECT_EQ(VigenereTransform(text, key, mode), expected);
    EXPECT_EQ(VigenereTransform(expected, key, mode == Encode ? Decode : Encode), text);
}

// clang-format off
const std::vector<VigenereTransformTest::ParamType> TransformRows = {
    {"HWithD", U"H", U"D", Encode, U"L"}, {"RingAWithBWraps", U"Å", U"B", Encode, U"B"},
    {"LowerAeStaysLower", U"æ", U"A", Encode, U"ø"}, {"LowerKeyLetter", U"h", U"d", Encode, U"l"},
    {"KeyRingAKeepsText", U"Hei på deg", U"Å", Encode, U"Hei på deg"},
    {"OthersTakeNoKeyLetter", U"Ab, é😀\r\nŠd", U"BC", Encode, U"Ce, é😀\r\nŠf"},
    {"KeyStartsOverAfterLastLetter", U"Hei på deg, du", U"NØKKEL", Encode, U"Vdt æe psf, oc"},
    {"KeyCharactersOutsideAlphabetSkipped", U"AAA", U"A1 é\u212BŠB!", Decode, U"ÅØÅ"},
    {"KeyWithoutLetterKeepsText", U"Hei", U"123 é€", Decode, U"Hei"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, VigenereTransformTest, ::testing::ValuesIn(TransformRows), RowName);

// Long texts go through eight characters at a time: every Latin-1 character and some beyond, and letters
// alone, which move through the key fastest, under keys of every length up to well past eight, against
// the rule applied one character at a time.
TEST(VigenereTransformLongTest, MatchesCharacterByCharacter)
{
    std::mt19937 gen(7);
    Text mixed, letters;
    for (int i = 0; i < 4000; ++i) {
        mixed += static_cast<char32_t>(gen() % 4 == 0 ? gen() % 0x20000 : gen() % 256);
        letters += CipherAlphabet[gen() % 29] | (gen() % 2 == 0 ? 0x20 : 0);
    }
    const Text keys = U"blåbærsyltetøyogjordbær";
    for (std::size_t length = 1; length <= keys.size(); ++length) {
        const Text key = keys.substr(0, length);
        for (const Text& text : {mixed, letters}) {
            for (const TransformMode mode : {Encode, Decode}) {
                Text expected = text;
                std::size_t k = 0;
                for (char32_t& ch : expected) {
                    if (const int d = AlphabetNumber(ch); d > 0) {
                        const int number = AlphabetNumber(key[k++ % key.size()]);
                        const int s = (d + (mode == Encode ? number : 29 - number) - 1) % 29;
                        ch = CipherAlphabet[static_cast<std::size_t>(s)] | (ch & 0x20);
                    }
                }
                EXPECT_EQ(VigenereTransform(text, key, mode), expected) << ToUtf8(key);
            }
        }
    }
}

// name, typed key, what NormaliseKey makes of it, whether VigenereTransform can use it as it is
using VigenereKeyTest = ::testing::TestWithParam<std::tuple<Name, Text, Text, bool>>;

TEST_P(VigenereKeyTest, NormalisedAndUsable)
{
    const auto& [name, key, normalised, usable] = GetParam();
    EXPECT_EQ(NormaliseKey(key), normalised);
    EXPECT_EQ(IsUsableKey(key), usable);
}

// clang-format off
const std::vector<VigenereKeyTest::ParamType> KeyRows = {
    {"FourKept", U"ab Cd", U"ABCD", true}, {"ThreeTooShort", U"a b-c", KeyTooShort, true},
    {"ThreeAndDigitTooShort", U"æøå1", KeyTooShort, true}, {"NorwegianBothCases", U"ÆØÅæøå", U"ÆØÅÆØÅ", true},
    {"OtherLettersDropped", U"éüßçŠÿœž😀\u212Bnøkkel 42", U"NØKKEL", true},
    {"NoAlphabetLetter", U"12 !éüŠÿ😀€\u212B", KeyTooShort, false}, {"Empty", U"", KeyTooShort, false}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cases, VigenereKeyTest, ::testing::ValuesIn(KeyRows), RowName);

} // namespace
} // namespace qel
