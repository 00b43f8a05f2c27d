#pragma once

namespace qel {

// From now on, a window of fixed size (its minimum size its maximum) that is asked to maximise, as
// Qt's own title bar on Wayland offers to, takes the request back at once. The compositor would
// otherwise answer with the screen's size, which such a window cannot take: weston ends the
// connection, and the program with it. Installed once; later calls do nothing.
void KeepFixedSizesUnmaximised();

} // namespace qel
