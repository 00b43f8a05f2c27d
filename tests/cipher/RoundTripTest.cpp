#include "cipher/Calls.h"
#include "cipher/Cryptocalls.h"
#include "cipher/Messages.h"
#include "cipher/RandomSource.h"
#include "cipher/Text.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/NamedRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <tuple>
#include <vector>

namespace qel {
namespace {

using Calls::DecryptText;
using Calls::EncryptText;
using testing::FakeDialogs;
using testing::Name;

// What the texts are made of: line breaks as text boxes hold them and alone, Norwegian and other
// accented letters, characters outside Windows-1252, and plain ASCII without consonants. Consonants
// come separately, since they make every Røver pass longer.
const Text Others = U"\r\nÆØÅæøåéÜÿŠœ\u2028\u00A0🍕aEyZ079.- ";
const Text Consonants = U"bcdfghjklmnpqrstvwxzBCDHX";
const std::vector<Text> Keys = {U"NØKKEL", U"hemmelig ord!", U"ÅÅÅÅ", U"Qx9-zÆøå"};
constexpr int ShortTexts = 2500;

Text RandomText(std::mt19937_64& gen, std::size_t length, double consonantShare)
{
    std::bernoulli_distribution consonant(consonantShare);
    Text text;
    while (text.size() < length) {
        const Text& from = consonant(gen) ? Consonants : Others;
        text += from[gen() % from.size()];
        if (text.back() == U'\r' && gen() % 2 == 0) // half of them as a CR LF pair
            text += U'\n';
    }
    return text.substr(0, length);
}

// Every protocol, strong off and on, counts 0 to 14, texts from one character to near the limits of one
// pass, and wherever the header positions fall.
using RoundTripRow = std::tuple<Name, std::uint8_t, bool>;
using RoundTrip = ::testing::TestWithParam<RoundTripRow>;

TEST_P(RoundTrip, DecryptingTheEncryptionGivesTheInputBack)
{
    const auto& [name, protocol, strong] = GetParam();
    const std::uint64_t seed = 1000 + protocol * 2 + strong;
    std::mt19937_64 gen(seed);
    SeededRandom random(seed);
    int roundTrips = 0;
    for (int count = 0; count <= 14; ++count) {
        for (std::size_t maxLength : {12, 60, 400, 32767}) {
            const double consonantShare = std::array{0.0, 0.05, 0.3}[gen() % 3];
            const Text input = RandomText(gen, 1 + gen() % maxLength, consonantShare);
            const Calls::CipherSettings settings{protocol, strong, Keys[(maxLength + count) % Keys.size()]};
            SCOPED_TRACE(::testing::Message()
                         << "seed " << seed << ", count " << count << ", " << input.size()
                         << " characters: " << ToUtf8(input.substr(0, 200)));
            FakeDialogs dialogs;
            const auto encrypted = EncryptText(input, count, settings, dialogs, random);
            if (!encrypted) {
                // Only a Røver pass can outgrow its limit with a text that fits, and Vigenère has none.
                const bool tooLong = input.size() + Cryptocalls::HeaderLength * (count - 1) > 32767;
                EXPECT_TRUE(protocol == Calls::Crypt ? tooLong : protocol != Calls::Vignere);
                EXPECT_EQ(dialogs.shown(), std::vector<FakeDialogs::Shown>{Messages::OverflowReport()});
                continue;
            }
            // Count 0 leaves nothing to undo; Crypt headers always name one pass, so one run for each.
            const int runs = protocol == Calls::Crypt ? count : std::min(count, 1);
            std::optional<Text> decrypted = encrypted;
            for (int run = 0; run < runs && decrypted; ++run)
                decrypted = DecryptText(*decrypted, settings, dialogs);
            ASSERT_EQ(decrypted, input);
            EXPECT_EQ(dialogs.shown(),
                      std::vector<FakeDialogs::Shown>(protocol == Calls::Vignere ? count : 0,
                                                      Messages::DecryptKeyPrompt(settings.cryptKey)));
            ++roundTrips;
        }
    }
    // Long consonant-rich Røver texts outgrow the limits within a few passes; most others fit.
    EXPECT_GE(roundTrips, 25);
}

// Thousands of short texts, counts 1 to 14, so that header positions fall everywhere in them: the outer
// header names the protocol and the count, and it alone decides the decryption, whatever protocol and
// strength are selected by then.
TEST_P(RoundTrip, ManyShortTextsComeBackWhateverIsSelected)
{
    const auto& [name, protocol, strong] = GetParam();
    const std::uint64_t seed = 2000 + protocol * 2 + strong;
    std::mt19937_64 gen(seed);
    SeededRandom random(seed);
    const auto& entry = Calls::ProtocolTable[protocol - 1];
    const char32_t code = strong ? entry.strongCode : entry.code;
    const bool grows = protocol == Calls::Rover || protocol == Calls::Begge;
    int roundTrips = 0;
    for (int i = 0; i < ShortTexts; ++i) {
        const int count = 1 + i % 14;
        // A Røver layer doubles the consonants of every layer before it, header letters included, so
        // above eight passes each text nears the length limit the first test covers: those counts take
        // one text in sixteen.
        if (grows && count > 8 && i / 14 % 16 != 0)
            continue;
        const Text input = RandomText(gen, 1 + gen() % 30, 0.2);
        const Calls::CipherSettings settings{protocol, strong, Keys[gen() % Keys.size()]};
        SCOPED_TRACE(::testing::Message() << "seed " << seed << ", text " << i << ", count " << count
                                          << ": \"" << ToUtf8(input) << "\"");
        FakeDialogs dialogs;
        const auto encrypted = EncryptText(input, count, settings, dialogs, random);
        if (!encrypted) {
            // Only Røver layers outgrow the limits.
            ASSERT_TRUE(grows);
            continue;
        }
        Cryptocalls::HeaderFields fields;
        ASSERT_TRUE(Cryptocalls::ReadHeader(*encrypted, fields));
        const int written = entry.writesCount ? count : 1;
        const Text header{code, static_cast<char32_t>(U'0' + written / 10),
                          static_cast<char32_t>(U'0' + written % 10)};
        ASSERT_EQ(fields.protocolCode + fields.passCount, header);
        const Calls::CipherSettings other{static_cast<std::uint8_t>(protocol % 4 + 1), !strong,
                                          settings.cryptKey};
        std::optional<Text> decrypted = encrypted;
        for (int run = 0; run < count / written && decrypted; ++run)
            decrypted = DecryptText(*decrypted, other, dialogs);
        ASSERT_TRUE(decrypted == input);
        ++roundTrips;
    }
    EXPECT_GE(roundTrips, ShortTexts / 2);
}

// clang-format off
const std::vector<RoundTripRow> Rows = {
    {"Crypt", 1, false}, {"CryptStrong", 1, true}, {"Rover", 2, false}, {"RoverStrong", 2, true},
    {"Begge", 3, false}, {"BeggeStrong", 3, true}, {"Vignere", 4, false}, {"VignereStrong", 4, true}};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Pipeline, RoundTrip, ::testing::ValuesIn(Rows), testing::RowName);

} // namespace
} // namespace qel
