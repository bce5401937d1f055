#include "app/process_memory.h"

#include <cstdlib>  // defines __GLIBC__ on the C library that has the setting below

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace reelhaven {

void tuneAllocatorForDecodingThreads() {
#if defined(__GLIBC__)
    // One arena for every thread. The decoders allocate rarely beside the time they spend
    // decoding, so they hardly wait for each other, and what one of them frees serves the next.
    // (A fixed threshold for mapping large blocks on their own, the other half of the problem,
    // costs more in page faults than it saves: each picture's planes would be mapped, cleared
    // and unmapped again.)
    mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace reelhaven
