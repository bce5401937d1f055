#pragma once

namespace reelhaven {

// Sets the C library's allocator up for a process whose worker threads decode pictures: glibc
// gives each thread that allocates its own arena (up to eight per core) and keeps what is freed
// there, so a metadata pass on many cores ends up holding a hundred megabytes and more of
// decoded pictures it no longer uses. Call first in `main`, before any thread starts.
void tuneAllocatorForDecodingThreads();

}  // namespace reelhaven
