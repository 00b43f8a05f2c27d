#include "platform/Beep.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <string>
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

// A sound card that swallows everything stands in for the user's, so that nothing is heard: the
// theme's bell must be found and played even when a driver before it fails, and a sound the theme
// lacks must be reported so that the bell can stand in.
TEST(CanberraPlayer, PlaysTheThemesBellAndReportsAMissingSound)
{
    char pattern[] = "/tmp/qel-beep-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path home = pattern;
    std::ofstream(home / ".asoundrc") << "pcm.!default { type null }\n";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome != nullptr ? oldHome : "";
    ::setenv("HOME", home.c_str(), 1);

    {
        CanberraPlayer player({"qel-no-such-driver", "alsa"});
        EXPECT_TRUE(player.play(DesktopBeep::EventId));
        EXPECT_FALSE(player.play("qel-no-such-sound"));
    }
    EXPECT_FALSE(CanberraPlayer({"qel-no-such-driver"}).play(DesktopBeep::EventId));

    oldHome != nullptr ? ::setenv("HOME", savedHome.c_str(), 1) : ::unsetenv("HOME");
    std::filesystem::remove_all(home);
}

} // namespace
} // namespace qel
