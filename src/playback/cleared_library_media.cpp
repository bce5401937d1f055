#include "playback/cleared_library_media.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "core/media_clearance.h"
#include "platform/base/fatal.h"
#include "platform/dispatch/main_thread.h"

namespace reelhaven {

namespace {

// Opens a regular file for reading without blocking on a FIFO or taking a terminal; none for
// anything else (a folder, a FIFO, a device, a missing file).
foundation::FileDescriptor openRegularFile(const std::string& path, struct stat& info) {
    foundation::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!file || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    // mpv reads it with plain blocking reads, as it would a file it opened itself.
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return {};
    return file;
}

bool lettersOnly(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalpha(c); });
}

}  // namespace

ClearedLibraryMedia ClearedLibraryMedia::clear(const std::string& videoPath,
                                               const std::vector<std::string>& subtitlePaths) {
    if (dispatch::isMainThread()) base::fatal("a clearance takes seconds: the main thread never waits for one");
    ClearedLibraryMedia media;
    struct stat info {};
    auto video = openRegularFile(videoPath, info);
    // A file that cannot be opened or read is refused like one that fails its read.
    if (!video || clearMediaDescriptor(video.get()) != MediaClearance::cleared) return media;
    media.m_video = std::move(video);
    for (const auto& path : subtitlePaths) {
        auto subtitle = openRegularFile(path, info);
        if (!subtitle || info.st_size > kMaximumSubtitleBytes) continue;
        if (clearMediaDescriptor(subtitle.get()) != MediaClearance::cleared) continue;
        auto name = std::filesystem::path(path).filename().string();
        auto language = languageOf(name);
        media.m_subtitles.push_back({std::move(subtitle), std::move(name), std::move(language)});
    }
    return media;
}

std::optional<std::string> ClearedLibraryMedia::languageOf(std::string_view fileName) {
    const auto extension = fileName.rfind('.');
    if (extension == std::string_view::npos) return std::nullopt;
    const auto stem = fileName.substr(0, extension);
    const auto dot = stem.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const auto tag = stem.substr(dot + 1);
    const auto dash = tag.find('-');
    const auto primary = tag.substr(0, dash);
    if (primary.size() < 2 || primary.size() > 3 || !lettersOnly(primary)) return std::nullopt;
    if (dash != std::string_view::npos) {
        const auto region = tag.substr(dash + 1);
        if (region.empty() || region.size() > 8 || !lettersOnly(region)) return std::nullopt;
    }
    return std::string(tag);
}

}  // namespace reelhaven
