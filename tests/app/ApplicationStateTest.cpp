#include "app/ApplicationState.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

TEST(ApplicationState, VigenereTableIsEmptyUntilBuiltThenHoldsTheAlphabet)
{
    ApplicationState state;
    for (int i = 1; i <= Calls::VigenereTable::size(); ++i)
        EXPECT_TRUE(state.VigenereTable(i).empty()) << "entry " << i;

    Calls::BuildVigenereTable(state.VigenereTable);
    const Text letters = U"ABCDEFGHIJKLMNOPQRSTUVWXYZÆØÅ";
    for (int i = 1; i <= Calls::VigenereTable::size(); ++i)
        EXPECT_EQ(state.VigenereTable(i), letters.substr(static_cast<std::size_t>(i - 1), 1))
            << "entry " << i;
}

} // namespace
} // namespace qel
