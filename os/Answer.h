#pragma once

#include <string_view>

namespace qel::os {

// Puts the window program's answer to --help, --version or a wrong option (UTF-8) where the one who
// asked can read it: standard output, or standard error for an error. On Windows a window program has
// neither unless they were redirected, so it writes to the console it was started from, and started
// without one (a shortcut, Explorer) it shows the answer in a message box.
void ShowAnswer(std::string_view utf8, bool error);

} // namespace qel::os
