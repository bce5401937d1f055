#pragma once

namespace reelhaven {

// Whether an allocation of this process was refused (no memory left within its limits) since the
// last call; the call forgets it. A media helper asks after each file: a library that cannot get
// its memory often carries on with less (an index with entries missing, a file half read), so
// what it gives back tells nothing. Always false in a sanitizer's build, whose allocator ends the
// process on a refused allocation instead.
bool takeAllocationFailure();

}  // namespace reelhaven
