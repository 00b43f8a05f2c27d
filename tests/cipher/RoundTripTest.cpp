#include "cipher/Calls.h"
#include "cipher/Cryptocalls.h"
#include "cipher/Messages.h"
#include "cipher/RandomSource.h"
#include "cipher/Text.h"
#include "tests/support/FakeDialogs.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace qel {
namespace {

using Calls::CipherSettings;
using Calls::DecryptText;
using Calls::EncryptText;
using testing::FakeDialogs;

// What the texts are made of: line breaks as text boxes hold them and alone, Norwegian and other
// accented letters, characters outside Windows-1252, and plain ASCII without consonants. Consonants
// come separately, since they make every Røver pass longer.
const Text Others = U"\r\nÆØÅæøåéÜÿŠœ\u2028\u00A0🍕aEyZ079.- ";
const Text Consonants = U"bcdfghjklmnpqrstvwxzBCDHX";
const std::vector<Text> Keys = {U"NØKKEL", U"hemmelig ord!", U"ÅÅÅÅ", U"Qx9-zÆøå"};

Text RandomText(std::mt19937_64& gen, std::size_t length, double consonantShare)
{
    std::bernoulli_distribution consonant(consonantShare);
    Text text;
    while (text.size() < length) {
        if (consonant(gen))
            text += Consonants[std::uniform_int_distribution<std::size_t>(0, Consonants.size() - 1)(gen)];
        else
            text += Others[std::uniform_int_distribution<std::size_t>(0, Others.size() - 1)(gen)];
        if (text.back() == U'\r' && gen() % 2 == 0) // half of them as a CR LF pair
            text += U'\n';
    }
    return text.substr(0, length);
}

// Every protocol, strong off and on, counts 0 to 14, texts from empty to near the limits of one pass,
// and wherever the header positions fall.
using RoundTrip = ::testing::TestWithParam<std::tuple<std::uint8_t, bool>>;

TEST_P(RoundTrip, DecryptingTheEncryptionGivesTheInputBack)
{
    const auto [protocol, strong] = GetParam();
    const std::uint64_t seed = 1000 + protocol * 2 + strong;
    std::mt19937_64 gen(seed);
    SeededRandom random(seed);
    int roundTrips = 0;
    for (int count = 0; count <= 14; ++count) {
        for (std::size_t maxLength : {12, 60, 400, 32767}) {
            const Text input =
                RandomText(gen, std::uniform_int_distribution<std::size_t>(0, maxLength)(gen),
                           std::array{0.0, 0.05, 0.3}[std::uniform_int_distribution(0, 2)(gen)]);
            const CipherSettings settings{protocol, strong, Keys[(maxLength + count) % Keys.size()]};
            SCOPED_TRACE(::testing::Message()
                         << "seed " << seed << ", count " << count << ", " << input.size()
                         << " characters: " << ToUtf8(input.substr(0, 200)));
            FakeDialogs dialogs;
            const auto encrypted = EncryptText(input, count, settings, dialogs, random);
            if (input.empty() || count == 0) {
                // Nothing to encrypt, or nothing to undo.
                EXPECT_EQ(encrypted, input.empty() ? std::nullopt : std::optional(input));
                EXPECT_TRUE(dialogs.shown().empty());
                continue;
            }
            if (!encrypted) {
                // Only a Røver pass can outgrow its limit with a text that fits, and Vigenère has none.
                const bool tooLong = input.size() + Cryptocalls::HeaderLength * (count - 1) > 32767;
                EXPECT_TRUE(protocol == Calls::Crypt ? tooLong : protocol != Calls::Vignere);
                EXPECT_EQ(dialogs.shown(), std::vector<FakeDialogs::Shown>{Messages::OverflowReport()});
                continue;
            }
            // Crypt headers always name one pass: one run for each.
            std::optional<Text> decrypted = encrypted;
            for (int run = 0; run < (protocol == Calls::Crypt ? count : 1) && decrypted; ++run)
                decrypted = DecryptText(*decrypted, settings, dialogs);
            ASSERT_EQ(decrypted, input);
            const std::size_t prompts = protocol == Calls::Vignere ? static_cast<std::size_t>(count) : 0;
            EXPECT_EQ(dialogs.shown(), std::vector<FakeDialogs::Shown>(
                                           prompts, Messages::DecryptKeyPrompt(settings.cryptKey)));
            ++roundTrips;
        }
    }
    // Long consonant-rich Røver texts outgrow the limits within a few passes; most others fit.
    EXPECT_GE(roundTrips, 25);
}

std::string CaseName(const ::testing::TestParamInfo<RoundTrip::ParamType>& info)
{
    const char* const names[] = {"", "Crypt", "Rover", "Begge", "Vignere"};
    return std::string(names[std::get<0>(info.param)]) + (std::get<1>(info.param) ? "Strong" : "");
}

INSTANTIATE_TEST_SUITE_P(Pipeline, RoundTrip,
                         ::testing::Combine(::testing::Values<std::uint8_t>(1, 2, 3, 4), ::testing::Bool()),
                         CaseName);

} // namespace
} // namespace qel
