#include "os/Memory.h"

#include <cstdlib> // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace qel::os {

void KeepLargeBuffers()
{
#if defined(__GLIBC__)
    // Setting either bound turns off glibc's own adjustment of both, so both are set: blocks up to
    // 32 MB come from the heap rather than from a mapping of their own, and the heap keeps up to 32 MB
    // free at its top.
    constexpr int Bound = 32 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, Bound);
    mallopt(M_TRIM_THRESHOLD, Bound);
#endif
}

} // namespace qel::os
