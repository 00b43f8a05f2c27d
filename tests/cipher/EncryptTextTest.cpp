#include "cipher/Calls.h"
#include "cipher/Cryptocalls.h"
#include "cipher/Messages.h"
#include "cipher/RandomSource.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qel {
namespace {

using Calls::CipherSettings;
using Calls::EncryptText;
using testing::DrawForPosition;
using testing::FakeDialogs;
using testing::ScriptedRandom;

// The draw that makes a strong Røver pass write the character ch.
double DrawForCharacter(char32_t ch)
{
    return (static_cast<double>(ch - 65) + 0.5) / 57.0;
}

struct ExampleCase {
    std::string name;
    Text input;
    int count;
    CipherSettings settings;
    std::vector<double> draws;
    Text expected;
};

using EncryptTextExample = ::testing::TestWithParam<ExampleCase>;

TEST_P(EncryptTextExample, WritesTheExpectedOutputWithoutAnyBox)
{
    const ExampleCase& c = GetParam();
    FakeDialogs dialogs;
    ScriptedRandom random(c.draws);
    EXPECT_EQ(EncryptText(c.input, c.count, c.settings, dialogs, random), c.expected);
    EXPECT_TRUE(dialogs.shown().empty());
}

// Draws for a strong pass over Hei: Q and ` after the H, then the header at 4.
const std::vector<double> StrongDraws = {DrawForCharacter(U'Q'), DrawForCharacter(U'`'),
                                         DrawForPosition(4, 5)};

INSTANTIATE_TEST_SUITE_P(
    Pipeline, EncryptTextExample,
    ::testing::Values(
        ExampleCase{"Rover", U"Hei", 1, {2, false, {}}, {DrawForPosition(6, 5)}, U"006Hob01hei"},
        ExampleCase{"Crypt", U"Hei", 1, {1, false, {}}, {DrawForPosition(5, 3)}, U"005ia01eH"},
        ExampleCase{"Begge", U"Hei", 1, {3, false, {}}, {DrawForPosition(4, 5)}, U"004d01iehoH"},
        ExampleCase{"RoverStrong", U"Hei", 1, {2, true, {}}, StrongDraws, U"004c01HQ`ei"},
        ExampleCase{"BeggeStrong", U"Hei", 1, {3, true, {}}, StrongDraws, U"004e01ie`QH"},
        ExampleCase{"Vignere", U"Hei", 1, {4, false, U"DDDD"}, {DrawForPosition(4, 3)}, U"004f01Lim"},
        ExampleCase{"VignereKeyWithOtherCharacters", U"Hei", 1, {4, false, U"B.b"}, {0.9}, U"006Jgf01k"},
        ExampleCase{"CryptWritesOneWhateverTheCount", U"Hei", 2, {1, false, {}}, {0.0}, U"004a01Hei10a400"},
        ExampleCase{"CountZeroCopiesInput", U"Hei\r\n🍕", 0, {2, true, {}}, {0.5}, U"Hei\r\n🍕"},
        ExampleCase{"UnknownProtocolLeavesText", U"Hei", 3, {5, false, {}}, {0.5}, U"Hei"}),
    [](const auto& info) { return info.param.name; });

// Every layer, not only the outer one, carries the protocol's code and the count of the call.
struct LayerCase {
    std::string name;
    CipherSettings settings;
    int count;
    Text header;
};

using EncryptTextLayers = ::testing::TestWithParam<LayerCase>;

TEST_P(EncryptTextLayers, EveryLayerNamesProtocolAndCount)
{
    const LayerCase& c = GetParam();
    const Text input = U"Hei på deg\r\nÆØÅ 🍕";
    FakeDialogs dialogs;
    SeededRandom random(7);
    Text s = EncryptText(input, c.count, c.settings, dialogs, random).value();
    for (int layer = c.count; layer >= 1; --layer) {
        Cryptocalls::HeaderFields fields;
        ASSERT_TRUE(Cryptocalls::ReadHeader(s, fields)) << "layer " << layer;
        EXPECT_EQ(fields.protocolCode + fields.passCount, c.header) << "layer " << layer;
        // Peel this layer alone: a header that names one pass undoes one layer.
        const std::size_t p = (s[0] - U'0') * 100 + (s[1] - U'0') * 10 + (s[2] - U'0');
        s.replace(p, 2, U"01");
        s = Calls::DecryptText(s, c.settings, dialogs).value();
    }
    EXPECT_EQ(s, input);
    EXPECT_TRUE(dialogs.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pipeline, EncryptTextLayers,
    ::testing::Values(LayerCase{"RoverCountTen", {2, false, {}}, 10, U"b10"},
                      LayerCase{"RoverStrongCountThree", {2, true, {}}, 3, U"c03"},
                      LayerCase{"BeggeCountThree", {3, false, {}}, 3, U"d03"},
                      LayerCase{"BeggeStrongCountTwo", {3, true, {}}, 2, U"e02"},
                      LayerCase{"VignereCountNinetyNine", {4, false, U"ÅÅÅÅ"}, 99, U"f99"},
                      LayerCase{"CryptWithStrongAlwaysOne", {1, true, {}}, 3, U"a01"},
                      LayerCase{"VignereWithStrongCountTwo", {4, true, U"nøkkel"}, 2, U"f02"}),
    [](const auto& info) { return info.param.name; });

TEST(EncryptText, EmptyInputOrCountOutOfRangeChangesNothingAndShowsNothing)
{
    for (std::uint8_t protocol = 1; protocol <= 4; ++protocol) {
        for (const auto& [input, count] :
             {std::pair<Text, int>{U"", 1}, {U"", 3}, {U"Hei", -1}, {U"Hei", 100}}) {
            FakeDialogs dialogs;
            ScriptedRandom random({0.5});
            EXPECT_EQ(EncryptText(input, count, {protocol, false, {}}, dialogs, random), std::nullopt)
                << "protocol " << int(protocol) << ", count " << count;
            EXPECT_TRUE(dialogs.shown().empty());
            EXPECT_EQ(random.drawn(), 0u);
        }
    }
}

// A key without any letter of the alphabet is no key: one box per pass, and the text stays as it is.
TEST(EncryptText, WithoutKeyVignereShowsOneBoxPerPass)
{
    for (const Text key : {U"", U"12 é-ü"}) {
        for (int count : {1, 3}) {
            FakeDialogs dialogs;
            ScriptedRandom random({0.5});
            EXPECT_EQ(EncryptText(U"Hei", count, {4, false, key}, dialogs, random), U"Hei");
            EXPECT_EQ(dialogs.shown(), std::vector<FakeDialogs::Shown>(count, Messages::MissingCryptKey()));
        }
    }
}

// The transforms' limits: a pass whose transform would pass them shows one Overflow box and the run
// stops there, with no later pass and no header round an empty text.
struct LimitCase {
    std::string name;
    std::uint8_t protocol;
    bool consonantFirst;
    std::size_t length;
    int count;
    std::optional<std::size_t> outputLength; // nothing when refused
    std::size_t headersDrawn;
};

using EncryptTextLimits = ::testing::TestWithParam<LimitCase>;

TEST_P(EncryptTextLimits, RefusesExactlyPastTheLimit)
{
    const LimitCase& c = GetParam();
    Text input(c.length, U'a');
    if (c.consonantFirst)
        input[0] = U'b';
    FakeDialogs dialogs;
    ScriptedRandom random({0.0});
    const auto output = EncryptText(input, c.count, {c.protocol, false, {}}, dialogs, random);
    ASSERT_EQ(output.has_value(), c.outputLength.has_value());
    EXPECT_EQ(output.value_or(Text()).size(), c.outputLength.value_or(0));
    const auto boxes = c.outputLength ? std::vector<MessageBoxRequest>{}
                                      : std::vector<MessageBoxRequest>{Messages::OverflowReport()};
    EXPECT_EQ(dialogs.messages(), boxes);
    EXPECT_EQ(random.drawn(), c.headersDrawn);
}

INSTANTIATE_TEST_SUITE_P(
    Pipeline, EncryptTextLimits,
    ::testing::Values(LimitCase{"RoverBodyOfLongestLength", 2, true, 32764, 1, 32772, 1},
                      LimitCase{"RoverBodyOneTooLong", 2, true, 32765, 1, std::nullopt, 0},
                      LimitCase{"RoverInputTooLong", 2, false, 32767, 1, std::nullopt, 0},
                      LimitCase{"BeggeBodyOfLongestLength", 3, true, 32764, 1, 32772, 1},
                      LimitCase{"BeggeBodyOneTooLong", 3, true, 32765, 1, std::nullopt, 0},
                      LimitCase{"CryptLongestInput", 1, false, 32767, 1, 32773, 1},
                      LimitCase{"CryptInputOneTooLong", 1, false, 32768, 1, std::nullopt, 0},
                      LimitCase{"RoverSecondPassTooLong", 2, false, 32760, 3, std::nullopt, 1},
                      LimitCase{"CryptSecondPassTooLong", 1, false, 32762, 2, std::nullopt, 1}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace qel
