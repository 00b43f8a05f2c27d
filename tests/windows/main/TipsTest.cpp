#include "windows/main/Tips.h"
#include "tests/support/NamedRows.h"
#include "tests/support/qt/FakeServices.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace qel {
namespace {

using testing::Name;
using testing::RowName;

using TipTextTest = ::testing::TestWithParam<std::tuple<Name, int, Text>>;

TEST_P(TipTextTest, NamesTip)
{
    EXPECT_EQ(TipText(std::get<1>(GetParam())), std::get<2>(GetParam()));
}

// clang-format off
const std::vector<TipTextTest::ParamType> TipRows = {
    {"Author", 1, U"Programmet er laget av Qelvang"}, {"Panic", 2, U"Trykk F5 ved panikk"},
    {"PizzaTimer", 3, U"Prøv PizzaTimeren på LAN!!"}, {"HomePage", 4, U"Sjekk ud " + HomePage},
    {"PanicExclaimed", 5, U"Trykk F5 ved panikk!"}, {"Shortcuts", 6, U"Bruk Ctrl-K og Ctrl-D til Crypt/Dekrypt"},
    {"Vignere", 7, U"Vignere er den sterkeste protokollen"}, {"Zero", 0, U"ToolTip error"},
    {"Eight", 8, U"ToolTip error"}, {"ByteMax", 255, U"ToolTip error"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Tips, TipTextTest, ::testing::ValuesIn(TipRows), RowName);

// The draw r picks tip int(r * 7) + 1, into a new panel after the welcome panel.
using ShowTipTest = ::testing::TestWithParam<std::tuple<Name, double, int>>;

TEST_P(ShowTipTest, AppendsPanelWithDrawnTip)
{
    const auto& [name, draw, tip] = GetParam();
    testing::FakeStatusPanels panels;
    panels.add();
    panels.setText(1, U"Velkommen");
    testing::ScriptedRandom random({draw});
    ShowTip(panels, random);
    EXPECT_EQ((std::vector{panels.text(1), panels.text(2)}), (std::vector<Text>{U"Velkommen", TipText(tip)}));
    EXPECT_TRUE(panels.count() == 2 && panels.isSizedToContents(2) && random.drawn() == 1u);
}

// clang-format off
const std::vector<ShowTipTest::ParamType> DrawRows = {
    {"Lowest", 0.0, 1}, {"BelowSecond", 0.142, 1}, {"Second", 0.143, 2}, {"Middle", 0.5, 4}, {"Highest", 0.999, 7}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Tips, ShowTipTest, ::testing::ValuesIn(DrawRows), RowName);

} // namespace
} // namespace qel
