#include "app/process_memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace reelhaven {

void tuneAllocatorForDecodingThreads() {
#if defined(__GLIBC__)
    // Two arenas serve the few threads that allocate at the same moment without contention.
    mallopt(M_ARENA_MAX, 2);
    // A fixed threshold: pictures and other blocks from 256 KiB up are mapped on their own and
    // returned when freed, whatever was freed before.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

}  // namespace reelhaven
