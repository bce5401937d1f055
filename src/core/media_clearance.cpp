#include "core/media_clearance.h"

#include <unistd.h>

#include <array>
#include <string>

#include "core/media_helper_pool.h"
#include "core/refused_media.h"

namespace reelhaven {

namespace {

// The name the descriptor was opened by, as a hint for the demuxers only.
std::string nameOf(int descriptor) {
    std::array<char, 4096> name{};
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    const ssize_t length = ::readlink(link.c_str(), name.data(), name.size() - 1);
    return length > 0 ? std::string(name.data(), static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

MediaClearance clearMediaDescriptor(int descriptor) {
    // Only regular files: a pipe or device would hold the helper's read for ever.
    if (!RefusedMedia::identityOf(descriptor)) return MediaClearance::unreadable;
    switch (MediaHelperPool::shared()
                .ask(media_helper_channel::Request::clearance, descriptor, nameOf(descriptor))
                .outcome) {
        case media_helper_channel::Outcome::read: return MediaClearance::cleared;
        case media_helper_channel::Outcome::refused: return MediaClearance::refused;
        case media_helper_channel::Outcome::unreadable: break;
    }
    return MediaClearance::unreadable;
}

}  // namespace reelhaven
