#pragma once

#include <cstdint>
#include <string_view>

namespace reelhaven {

// The commands the player sends to mpv; each goes as its name, the first argument. "stop" ends a
// playlist that would expand for ever.
enum class MPVCommand { seek, screenshot, loadfile, stop };

constexpr std::string_view name(MPVCommand command) {
    switch (command) {
        case MPVCommand::seek: return "seek";
        case MPVCommand::screenshot: return "screenshot";
        case MPVCommand::loadfile: return "loadfile";
        case MPVCommand::stop: return "stop";
    }
    return "";
}

// Reply ids of asynchronous commands: this one marks a screenshot.
inline constexpr std::uint64_t kScreenshotReplyUserdata = 1;

}  // namespace reelhaven
