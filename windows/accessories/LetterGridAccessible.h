#pragma once

namespace qel {

// Lets screen readers see the letter grid as a table (once per program; later calls do nothing).
void InstallLetterGridAccessible();

} // namespace qel
