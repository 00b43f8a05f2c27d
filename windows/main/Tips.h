#pragma once

#include "cipher/RandomSource.h"
#include "cipher/Text.h"
#include "platform/StatusBar.h"

namespace qel {

// The product's home page, named by tip 4.
inline const Text HomePage = U"http://qelvang.example/qelcrypto";

// The tip with the given number, 1 to 7; "ToolTip error" for any other.
Text TipText(int tipNumber);

// Appends a panel with a random tip to the main window's status bar and sizes panel 2 to its text.
void ShowTip(StatusPanels& statusBar, RandomSource& random);

} // namespace qel
