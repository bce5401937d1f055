#include "core/media_clearance.h"

#include <sys/stat.h>

#include <string>

#include "core/mp4_sample_tables.h"

namespace reelhaven {

// Interim: the sample-table count, until the helper processes read files.
MediaClearance clearMediaDescriptor(int descriptor) {
    struct stat info {};
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) return MediaClearance::unreadable;
    return Mp4SampleTables::fileWithinBound("/proc/self/fd/" + std::to_string(descriptor)) ? MediaClearance::cleared
                                                                                         : MediaClearance::refused;
}

}  // namespace reelhaven
