#pragma once

#include "app/WindowRules.h"

#include <functional>

namespace qel {

// Ends the program once no window is loaded. The collection can empty for a moment inside a handler
// (logging out unloads everything, then shows a fresh login window before it returns), so the check
// waits until control is back in the event loop and quits only if the collection is still empty.
void QuitWhenAllUnloaded(WindowRules& windows, std::function<void()> quit);

} // namespace qel
