#pragma once

#include "app/ApplicationState.h"
#include "app/WindowRules.h"
#include "platform/Services.h"

namespace qel {

// What every window is created with: the shared state, the rules it shows other windows by, and the
// platform services.
struct WindowContext {
    ApplicationState& state;
    WindowRules& windows;
    Services& services;
};

} // namespace qel
