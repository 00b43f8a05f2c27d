#include "Beep.h"

#include <windows.h>

namespace qel {

bool PlayMessageBeep(const std::string&)
{
    return MessageBeep(MB_OK) != 0;
}

} // namespace qel
