#include "cipher/Calls.h"
#include "cipher/Messages.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/NamedRows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <tuple>
#include <vector>

namespace qel {
namespace {

using Calls::DecryptText;
using testing::FakeDialogs;
using testing::Name;

// Texts without a key prompt: the outer header decides, or without one the chosen protocol. A failed
// step shows its own box once and the run stops, leaving the output box as it is; a header failure puts
// itself in its own words.
using DecryptRow =
    std::tuple<Name, Text, std::uint8_t, std::optional<Text>, std::optional<MessageBoxRequest>>;
using DecryptTextCase = ::testing::TestWithParam<DecryptRow>;

TEST_P(DecryptTextCase, GivesTheExpectedOutputAndBox)
{
    const auto& [name, input, protocol, expected, box] = GetParam();
    FakeDialogs dialogs;
    EXPECT_EQ(DecryptText(input, {protocol, false, U"KODE"}, dialogs), expected);
    EXPECT_EQ(dialogs.shown(),
              box ? std::vector<FakeDialogs::Shown>{*box} : std::vector<FakeDialogs::Shown>{});
}

const MessageBoxRequest HeaderFailure{U"Ugyldig prosedyrekall eller argument", U"qelPortal"};

// clang-format off
const std::vector<DecryptRow> Cases = {
    {"RoverHeader", U"006Hob01hei", 4, U"Hei", {}}, {"CryptHeader", U"005ia01eH", 2, U"Hei", {}},
    {"BeggeHeader", U"004d01iehoH", 1, U"Hei", {}}, {"HeaderlessCryptReverses", U"ieH", 1, U"Hei", {}},
    {"HeaderlessRoverDecodes", U"Hohei", 2, U"Hei", {}}, {"EmptyWithVignereLeavesOutput", U"", 4, {}, {}},
    {"HeaderlessBeggeReversesThenDecodes", U"iehoH", 3, U"Hei", {}},
    {"UpperCaseCodeUndoesNothing", U"006HoB01hei", 2, U"006HoB01hei", {}},
    {"UnknownCodeUndoesNothing", U"006Hog01hei", 2, U"006Hog01hei", {}},
    {"NegativeCountUndoesNothing", U"006Hob-1hei", 2, U"006Hob-1hei", {}},
    {"PositionPastTheEndUndoesNothing", U"12 abc", 2, U"12 abc", {}},
    {"PositionTooSmall", U"2a01xyz", 2, {}, HeaderFailure}, {"SecondLayerHasNoHeader", U"004b02Hohei", 2, {}, HeaderFailure},
    {"HeaderlessRoverTooLong", Text(32767, U'a'), 2, {}, Messages::OverflowReport()}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Pipeline, DecryptTextCase, ::testing::ValuesIn(Cases), testing::RowName);

// The key is asked for once per pass, pre-filled with the CryptKey as it stands; Cancel stops quietly,
// and an answer with fewer than four letters, or a layer without a header, stops the run with a box.
using KeyRow = std::tuple<Name, Text, Text, std::vector<std::optional<Text>>, std::optional<Text>,
                          std::size_t, std::optional<MessageBoxRequest>>;
using DecryptTextKey = ::testing::TestWithParam<KeyRow>;

TEST_P(DecryptTextKey, AsksOncePerPass)
{
    const auto& [name, input, cryptKey, answers, expected, prompts, box] = GetParam();
    FakeDialogs dialogs;
    for (const auto& answer : answers)
        dialogs.answerNextPrompt(answer);
    EXPECT_EQ(DecryptText(input, {2, false, cryptKey}, dialogs), expected);
    std::vector<FakeDialogs::Shown> expectedShown(prompts, Messages::DecryptKeyPrompt(cryptKey));
    if (box)
        expectedShown.emplace_back(*box);
    EXPECT_EQ(dialogs.shown(), expectedShown);
}

// Hei encrypted once and twice with the key DDDD.
const Text OnePass = U"004f01Lim", TwoPasses = U"004f02004j02Pmq";

// clang-format off
const std::vector<KeyRow> Keys = {
    {"PrefilledKeyKept", OnePass, U"dd dd", {}, U"Hei", 1, {}},
    {"TypedKeyReplacesCryptKey", OnePass, U"AAAA", {U"d-d-d-d"}, U"Hei", 1, {}},
    {"TwoPassesTwoPrompts", TwoPasses, U"DDDD", {}, U"Hei", 2, {}},
    {"CancelAtSecondPassStopsQuietly", TwoPasses, U"DDDD", {U"DDDD", std::nullopt}, std::nullopt, 2, {}},
    {"ShortAnswerRefusedAndStops", TwoPasses, U"DDDD", {U"æøå1"}, std::nullopt, 1, Messages::InvalidKey()},
    {"SecondLayerHasNoHeader", U"004f02Lim", U"DDDD", {}, std::nullopt, 1, HeaderFailure}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Pipeline, DecryptTextKey, ::testing::ValuesIn(Keys), testing::RowName);

} // namespace
} // namespace qel
