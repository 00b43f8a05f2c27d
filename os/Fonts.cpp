#include "os/Fonts.h"

#include <system_error>

#if defined(QEL_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

namespace qel::os {

FontConfigurationReader::FontConfigurationReader()
{
#if defined(QEL_FONTCONFIG)
    try {
        m_reader = std::jthread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: the first text measured reads the configuration, as it would anyway.
    }
#endif
}

void FontConfigurationReader::Wait()
{
    if (m_reader.joinable())
        m_reader.join();
}

} // namespace qel::os
