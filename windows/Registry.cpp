#include "Registry.h"

#include "windows/access/frmLogin.h"
#include "windows/access/frmPanikk.h"
#include "windows/accessories/frmChangelog.h"
#include "windows/accessories/frmGreetz.h"
#include "windows/accessories/frmPizzaTimer.h"
#include "windows/accessories/frmVignereVisual.h"
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
    context.windows.registerWindow(WindowId::frmVignereVisual,
                                   [context] { return std::make_unique<frmVignereVisual>(context); });
    context.windows.registerWindow(WindowId::frmGreetz,
                                   [context] { return std::make_unique<frmGreetz>(context); });
    context.windows.registerWindow(WindowId::frmChangelog,
                                   [context] { return std::make_unique<frmChangelog>(context); });
}

} // namespace qel
