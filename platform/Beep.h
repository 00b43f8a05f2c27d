#pragma once

#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
struct ca_context;
#endif

namespace qel {

class Beep
{
public:
    virtual ~Beep() = default;
    virtual void beep() = 0;
};

// Plays a named event sound of the desktop's sound theme; false when nothing could be played.
using EventSoundPlayer = std::function<bool(const std::string& eventId)>;

#ifdef _WIN32
// The sound Windows plays for a default message beep (MessageBeep), whatever the user set for it:
// Windows has no sound theme to name an event in, so the event is not looked at.
bool PlayMessageBeep(const std::string& eventId);
#else
// The desktop's event sounds through libcanberra (the freedesktop sound theme). libcanberra gives up
// on the first driver that fails, so each driver has a context of its own and they are tried in turn:
// by default the sound server first, then the sound card through ALSA. The library is loaded and the
// contexts opened at the first sound; they live as long as the player, since sounds play on after the
// call.
class CanberraPlayer final
{
public:
    // A null name is libcanberra's own choice of driver.
    explicit CanberraPlayer(std::vector<const char*> drivers = {nullptr, "alsa"});
    ~CanberraPlayer();
    CanberraPlayer(const CanberraPlayer&) = delete;
    CanberraPlayer& operator=(const CanberraPlayer&) = delete;

    bool play(const std::string& eventId);

private:
    std::vector<const char*> m_driversToOpen; // until the first sound
    std::vector<ca_context*> m_contexts;
};
#endif

// The system beep as a user hears it. Qt's beep is the X bell, which most Linux desktops keep silent,
// so the desktop's bell sound plays first and the X bell rings only where no sound could be played.
class DesktopBeep final : public Beep
{
public:
    DesktopBeep(EventSoundPlayer player, std::function<void()> bell);
    void beep() override;

    // The event the beep plays.
    static constexpr const char* EventId = "bell";

private:
    EventSoundPlayer m_player;
    std::function<void()> m_bell;
};

// Qt's own beep, the fallback.
void RingBell();

} // namespace qel
