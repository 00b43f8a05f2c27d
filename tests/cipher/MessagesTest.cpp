#include "cipher/Messages.h"
#include "tests/support/NamedRows.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace qel {
namespace {

using testing::Name;

// The boxes word for word, as users have always seen them: a changed letter here is a changed program.
using BoxRow = std::tuple<Name, MessageBoxRequest, Text, Text, MessageIcon>;
using MessageBox = ::testing::TestWithParam<BoxRow>;

TEST_P(MessageBox, ReadsExactly)
{
    const auto& [name, box, text, title, icon] = GetParam();
    EXPECT_EQ(box, (MessageBoxRequest{text, title, MessageButtons::Ok, icon}));
}

// clang-format off
const std::vector<BoxRow> Boxes = {
    {"Overflow", Messages::OverflowReport(), U"For mye tekst, prøv i flere omganger", U"Overflow", MessageIcon::Critical},
    {"TransformError", Messages::TransformError(), U"Feil!", U"Error", MessageIcon::Critical},
    {"MissingCryptKey", Messages::MissingCryptKey(), U"Vennligst sett en CryptKey først!", U"CryptKey ikke satt",
     MessageIcon::Critical},
    {"InvalidKey", Messages::InvalidKey(), U"Key'en er ugyldig og blir ikke satt!", U"ERROR", MessageIcon::Critical}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Cipher, MessageBox, ::testing::ValuesIn(Boxes), testing::RowName);

TEST(MessageBox, KeyPromptIsPrefilledWithTheCryptKey)
{
    EXPECT_EQ(Messages::DecryptKeyPrompt(U"NØKKEL"),
              (InputBoxRequest{U"Ka key ska bruges?", U"Enter decrypt Key", U"NØKKEL"}));
    EXPECT_EQ(Messages::ApplicationTitle, U"qelPortal");
}

} // namespace
} // namespace qel
