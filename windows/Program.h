#pragma once

#include "app/WindowRules.h"

#include <functional>

class QObject;

namespace qel {

// Ends the program once no window is loaded. The collection can empty for a moment inside a handler
// (logging out unloads everything, then shows a fresh login window before it returns), so the check
// after an unload waits until control is back in the event loop and quits only if the collection is
// still empty. Windows that are loaded but all hidden by then (the login window closed after a panic,
// with the main window behind it) can never be reached again, so they are unloaded and the program
// ends. The checks belong to context and stop with it.
void QuitWhenAllUnloaded(WindowRules& windows, QObject* context, std::function<void()> quit);

} // namespace qel
