#pragma once

namespace qel::os {

// Keeps the memory of a large text that was freed for the next one, instead of handing it back to the
// system at once. A command on a million characters frees buffers of several megabytes, and the
// allocator otherwise returns them, so the next command pays again for fresh pages (about a quarter of
// its time). What the process may keep stays bounded: a freed stretch beyond 32 MB is still returned.
// Called once the program has started, so that the passing buffers of the start-up are still returned.
void KeepLargeBuffers();

} // namespace qel::os
