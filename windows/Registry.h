#pragma once

#include "windows/common/WindowContext.h"

namespace qel {

// Makes every window of the program known to the rules, each created with the given context.
void RegisterWindows(const WindowContext& context);

// The window the program starts with.
inline constexpr WindowId StartWindow = WindowId::frmLogin;

} // namespace qel
