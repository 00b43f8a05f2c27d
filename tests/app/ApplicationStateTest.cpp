#include "app/ApplicationState.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

TEST(ApplicationState, StartsWithNobodyLoggedInAndNoKey)
{
    const ApplicationState state;
    EXPECT_TRUE(state.CurrentUser.empty());
    EXPECT_FALSE(state.LoggedIn);
    EXPECT_EQ(state.SelectedProtocol, 0);
    EXPECT_TRUE(state.CryptKey.empty());
    EXPECT_TRUE(state.PizzaKind.empty());
    EXPECT_FALSE(state.PizzaStartPending);
    EXPECT_FALSE(state.PizzaHidden);
    for (int i = 1; i <= Calls::VigenereTable::size(); ++i)
        EXPECT_TRUE(state.VigenereTable(i).empty()) << "entry " << i;
}

TEST(ApplicationState, VigenereTableHoldsTheAlphabetOnceBuilt)
{
    ApplicationState state;
    Calls::BuildVigenereTable(state.VigenereTable);
    EXPECT_EQ(state.VigenereTable(1), U"A");
    EXPECT_EQ(state.VigenereTable(26), U"Z");
    EXPECT_EQ(state.VigenereTable(27), U"Æ");
    EXPECT_EQ(state.VigenereTable(28), U"Ø");
    EXPECT_EQ(state.VigenereTable(29), U"Å");
    // Building again writes the same letters.
    const Calls::VigenereTable before = state.VigenereTable;
    Calls::BuildVigenereTable(state.VigenereTable);
    for (int i = 1; i <= Calls::VigenereTable::size(); ++i)
        EXPECT_EQ(state.VigenereTable(i), before(i));
}

} // namespace
} // namespace qel
