#include "platform/Beep.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace qel {
namespace {

TEST(DesktopBeep, RingsTheBellOnlyWhenNoSoundPlays)
{
    for (const bool played : {true, false}) {
        std::vector<std::string> asked;
        int bells = 0;
        DesktopBeep beep(
            [&](const std::string& event) {
                asked.push_back(event);
                return played;
            },
            [&] { ++bells; });
        beep.beep();
        beep.beep();
        EXPECT_EQ(asked, (std::vector<std::string>{"bell", "bell"}));
        EXPECT_EQ(bells, played ? 0 : 2) << "played " << played;
    }
}

// A sound card that swallows everything stands in for the user's: the theme's bell must be found and
// played, and a sound the theme lacks must be reported so that the bell can stand in.
TEST(CanberraPlayer, PlaysTheThemesBellAndReportsAMissingSound)
{
    const std::filesystem::path home = std::filesystem::temp_directory_path() / "qel-beep-test";
    std::filesystem::create_directories(home);
    std::ofstream(home / ".asoundrc") << "pcm.!default { type null }\n";
    ::setenv("HOME", home.c_str(), 1);

    CanberraPlayer player;
    EXPECT_TRUE(player.play(DesktopBeep::EventId));
    EXPECT_FALSE(player.play("qel-no-such-sound"));
    std::filesystem::remove_all(home);
}

} // namespace
} // namespace qel
