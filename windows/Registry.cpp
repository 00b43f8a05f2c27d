#include "Registry.h"

#include "windows/access/frmLogin.h"
#include "windows/access/frmPanikk.h"
#include "windows/accessories/frmPizzaTimer.h"
#include "windows/main/frmCrypt.h"
#include "windows/main/frmCryptKey.h"

#include <memory>

namespace qel {

void RegisterWindows(const WindowContext& context)
{
    context.windows.registerWindow(WindowId::frmLogin,
                                   [context] { return std::make_unique<frmLogin>(context); });
    context.windows.registerWindow(WindowId::frmCrypt,
                                   [context] { return std::make_unique<frmCrypt>(context); });
    context.windows.registerWindow(WindowId::frmCryptKey,
                                   [context] { return std::make_unique<frmCryptKey>(context); });
    context.windows.registerWindow(WindowId::frmPanikk,
                                   [context] { return std::make_unique<frmPanikk>(context); });
    context.windows.registerWindow(WindowId::frmPizzaTimer,
                                   [context] { return std::make_unique<frmPizzaTimer>(context); });
}

} // namespace qel
