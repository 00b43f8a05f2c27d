#include "cipher/Messages.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

MessageBoxRequest Critical(const Text& text, const Text& title)
{
    return {text, title, MessageButtons::Ok, MessageIcon::Critical};
}

// The boxes word for word, as users have always seen them: a changed letter here is a changed program.
TEST(MessageBox, ReadsExactly)
{
    EXPECT_EQ(Messages::OverflowReport(), Critical(U"For mye tekst, prøv i flere omganger", U"Overflow"));
    EXPECT_EQ(Messages::TransformError(), Critical(U"Feil!", U"Error"));
    EXPECT_EQ(Messages::MissingCryptKey(),
              Critical(U"Vennligst sett en CryptKey først!", U"CryptKey ikke satt"));
    EXPECT_EQ(Messages::InvalidKey(), Critical(U"Key'en er ugyldig og blir ikke satt!", U"ERROR"));
    // The key prompt is pre-filled with the CryptKey.
    EXPECT_EQ(Messages::DecryptKeyPrompt(U"NØKKEL"),
              (InputBoxRequest{U"Ka key ska bruges?", U"Enter decrypt Key", U"NØKKEL"}));
}

} // namespace
} // namespace qel
