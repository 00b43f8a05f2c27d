#include "Beep.h"

#include <QApplication>

namespace qel {

DesktopBeep::DesktopBeep(EventSoundPlayer player, std::function<void()> bell)
    : m_player(std::move(player)), m_bell(std::move(bell))
{}

void DesktopBeep::beep()
{
    if (!m_player || !m_player(EventId))
        m_bell();
}

void RingBell()
{
    QApplication::beep();
}

} // namespace qel
