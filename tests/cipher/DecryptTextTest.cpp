#include "cipher/Calls.h"
#include "cipher/Messages.h"
#include "tests/support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qel {
namespace {

using Calls::DecryptText;
using testing::FakeDialogs;

// Texts without a key prompt: the outer header decides, or without one the chosen protocol.
struct DecryptCase {
    std::string name;
    Text input;
    std::uint8_t protocol;
    std::optional<Text> expected;
};

using DecryptTextCase = ::testing::TestWithParam<DecryptCase>;

TEST_P(DecryptTextCase, GivesTheExpectedOutputWithoutAnyBox)
{
    const DecryptCase& c = GetParam();
    FakeDialogs dialogs;
    EXPECT_EQ(DecryptText(c.input, {c.protocol, false, U"KODE"}, dialogs), c.expected);
    EXPECT_TRUE(dialogs.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pipeline, DecryptTextCase,
    ::testing::Values(DecryptCase{"RoverHeader", U"006Hob01hei", 4, U"Hei"},
                      DecryptCase{"CryptHeader", U"005ia01eH", 2, U"Hei"},
                      DecryptCase{"BeggeHeader", U"004d01iehoH", 1, U"Hei"},
                      DecryptCase{"RoverStrongHeader", U"004c01HQ`ei", 4, U"Hei"},
                      DecryptCase{"BeggeStrongHeader", U"004e01ie`QH", 4, U"Hei"},
                      DecryptCase{"TwoRoverLayersInOneRun", U"004b02004bob02Hohohohei", 4, U"Hei"},
                      DecryptCase{"HeaderlessCryptReverses", U"ieH\r\n", 1, U"\n\rHei"},
                      DecryptCase{"HeaderlessRoverDecodes", U"Hohei", 2, U"Hei"},
                      DecryptCase{"HeaderlessBeggeReversesThenDecodes", U"iehoH", 3, U"Hei"},
                      DecryptCase{"HeaderlessVignereLeavesOutput", U"Hohei", 4, std::nullopt},
                      DecryptCase{"HeaderlessNoProtocolLeavesOutput", U"Hohei", 0, std::nullopt},
                      DecryptCase{"EmptyWithCrypt", U"", 1, U""}, DecryptCase{"EmptyWithRover", U"", 2, U""},
                      DecryptCase{"EmptyWithBegge", U"", 3, U""},
                      DecryptCase{"EmptyWithVignereLeavesOutput", U"", 4, std::nullopt},
                      DecryptCase{"UpperCaseCodeUndoesNothing", U"006HoB01hei", 2, U"006HoB01hei"},
                      DecryptCase{"UnknownCodeUndoesNothing", U"006Hog01hei", 2, U"006Hog01hei"},
                      DecryptCase{"CountZeroUndoesNothing", U"006Hob00hei", 2, U"006Hob00hei"},
                      DecryptCase{"NegativeCountUndoesNothing", U"006Hob-1hei", 2, U"006Hob-1hei"},
                      DecryptCase{"PositionPastTheEndUndoesNothing", U"12 abc", 2, U"12 abc"}),
    [](const auto& info) { return info.param.name; });

// A failed step shows its own box once and the run stops, leaving the output box as it is.
struct FailureCase {
    std::string name;
    Text input;
    std::uint8_t protocol;
    MessageBoxRequest box;
};

using DecryptTextFailure = ::testing::TestWithParam<FailureCase>;

TEST_P(DecryptTextFailure, ReportsOnceAndLeavesOutput)
{
    const FailureCase& c = GetParam();
    FakeDialogs dialogs;
    EXPECT_EQ(DecryptText(c.input, {c.protocol, false, U"KODE"}, dialogs), std::nullopt);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    MessageBoxRequest shown = dialogs.messages().front();
    EXPECT_FALSE(shown.text.empty());
    // A header failure describes itself in its own words; its title, button and icon are fixed.
    if (c.box.text.empty()) {
        shown.text.clear();
    }
    EXPECT_EQ(shown, c.box);
    EXPECT_TRUE(dialogs.prompts().empty());
}

const MessageBoxRequest HeaderFailure{U"", U"qelPortal", MessageButtons::Ok, MessageIcon::None};
const MessageBoxRequest Overflow = Messages::OverflowReport();

INSTANTIATE_TEST_SUITE_P(
    Pipeline, DecryptTextFailure,
    ::testing::Values(FailureCase{"PositionTooSmall", U"2a01xyz", 2, HeaderFailure},
                      FailureCase{"PositionTooSmallWithTwoPasses", U"2a02xyz", 2, HeaderFailure},
                      FailureCase{"SecondLayerHasNoHeader", U"004b02Hohei", 2, HeaderFailure},
                      FailureCase{"VignereLayerWithoutHeaderAsksNoKey", U"03f01Hei", 4, HeaderFailure},
                      FailureCase{"HeaderlessCryptTooLong", Text(32768, U'a'), 1, Overflow},
                      FailureCase{"HeaderlessRoverTooLong", Text(32767, U'a'), 2, Overflow},
                      FailureCase{"HeaderlessRoverConsonantTooNearLimit", Text(32764, U'a') + U"b", 2,
                                  Overflow},
                      FailureCase{"HeaderlessBeggeTooLong", Text(32768, U'a'), 3, Overflow}),
    [](const auto& info) { return info.param.name; });

// The key is asked for once per pass, pre-filled with the CryptKey as it stands; Cancel stops quietly,
// and an answer with fewer than four letters is refused with a box.
struct KeyCase {
    std::string name;
    Text input;
    Text cryptKey;
    std::vector<std::optional<Text>> answers;
    std::optional<Text> expected;
    std::size_t prompts;
    bool invalidKeyBox;
};

using DecryptTextKey = ::testing::TestWithParam<KeyCase>;

TEST_P(DecryptTextKey, AsksOncePerPass)
{
    const KeyCase& c = GetParam();
    FakeDialogs dialogs;
    for (const auto& answer : c.answers)
        dialogs.answerNextPrompt(answer);
    EXPECT_EQ(DecryptText(c.input, {2, false, c.cryptKey}, dialogs), c.expected);
    std::vector<FakeDialogs::Shown> expectedShown(c.prompts, Messages::DecryptKeyPrompt(c.cryptKey));
    if (c.invalidKeyBox)
        expectedShown.emplace_back(Messages::InvalidKey());
    EXPECT_EQ(dialogs.shown(), expectedShown);
}

// Hei encrypted twice with the key DDDD.
const Text TwoPasses = U"004f02004j02Pmq";

INSTANTIATE_TEST_SUITE_P(
    Pipeline, DecryptTextKey,
    ::testing::Values(
        KeyCase{"PrefilledKeyKept", U"004f01Lim", U"dd dd", {}, U"Hei", 1, false},
        KeyCase{"TypedKeyNormalised", U"004f01Lim", U"", {U"d-d-d-d"}, U"Hei", 1, false},
        KeyCase{"WrongKeyGoesUnnoticed", U"004f01Lim", U"DDDD", {U"AAAA"}, U"Khl", 1, false},
        KeyCase{"TwoPassesTwoPrompts", TwoPasses, U"DDDD", {}, U"Hei", 2, false},
        KeyCase{"CancelStopsQuietly", U"004f01Lim", U"DDDD", {std::nullopt}, std::nullopt, 1, false},
        KeyCase{"CancelAtSecondPass", TwoPasses, U"DDDD", {U"DDDD", std::nullopt}, std::nullopt, 2, false},
        KeyCase{"ShortAnswerRefused", U"004f01Lim", U"DDDD", {U"æøå1"}, std::nullopt, 1, true},
        KeyCase{"EmptyCryptKeyRefused", TwoPasses, U"", {}, std::nullopt, 1, true}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace qel
