#include "Registry.h"

#include "windows/main/frmCrypt.h"
#include "windows/main/frmCryptKey.h"

#include <memory>

namespace qel {

void RegisterWindows(const WindowContext& context)
{
    context.windows.registerWindow(WindowId::frmCrypt,
                                   [context] { return std::make_unique<frmCrypt>(context); });
    context.windows.registerWindow(WindowId::frmCryptKey,
                                   [context] { return std::make_unique<frmCryptKey>(context); });
}

} // namespace qel
