#include "app/list_command.h"

#include <unistd.h>

#include <condition_variable>
#include <iostream>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/documents_client.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/base/escaped_text.h"
#include "platform/foundation/container.h"

namespace reelhaven {

namespace {

using ThumbnailSource = VideoManager::ThumbnailSource;

const char* sourceName(ThumbnailSource source) {
    switch (source) {
        case ThumbnailSource::cache: return "cache";
        case ThumbnailSource::disk: return "disk";
        case ThumbnailSource::generated: return "generated";
        case ThumbnailSource::none: break;
    }
    return "none";
}

// Follows the manager's metadata pass: shows its progress and keeps where each thumbnail came
// from, until the pass has answered every request.
class PassWatcher {
public:
    PassWatcher(std::ostream& err, ProgressStyle style) : m_err(err), m_style(style) {}

    void observe(const VideoManager::MetadataPassProgress& progress) {
        std::lock_guard lock(m_mutex);
        if (progress.video && progress.thumbnailSource) m_sources[progress.video->id()] = *progress.thumbnailSource;
        if (progress.requested > 0 && (m_style == ProgressStyle::redrawn || progress.finished)) {
            if (m_style == ProgressStyle::redrawn) m_err << "\r";
            m_err << "reelhaven: making thumbnails and durations " << progress.answered << "/" << progress.requested
                  << (progress.finished ? "\n" : "") << std::flush;
        }
        if (progress.finished) {
            m_finished = true;
            m_done.notify_all();
        }
    }

    void waitUntilFinished() {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_finished; });
    }

    ThumbnailSource source(const Video& video) const {
        std::lock_guard lock(m_mutex);
        auto found = m_sources.find(video.id());
        return found == m_sources.end() ? ThumbnailSource::none : found->second;
    }

private:
    std::ostream& m_err;
    const ProgressStyle m_style;
    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::unordered_map<foundation::UUID, ThumbnailSource> m_sources;
};

void printItem(std::ostream& out, const LibraryItemPtr& item, const PassWatcher& watcher) {
    if (auto video = std::dynamic_pointer_cast<Video>(item)) {
        const auto duration = video->duration();
        const auto label = duration ? VideoTime::timeString(duration->seconds) : std::nullopt;
        out << "video\t" << base::escapedText(video->displayName()) << "\t" << label.value_or("-") << "\t"
            << video->size().value_or(0) << "\t" << sourceName(watcher.source(*video)) << "\n";
        for (const auto& subtitle : video->externalSubtitles().value_or(std::vector<SubtitlePtr>{}))
            out << "  subtitle\t" << base::escapedText(subtitle->displayName()) << "\n";
    } else if (auto folder = std::dynamic_pointer_cast<Folder>(item)) {
        out << "folder\t" << base::escapedText(folder->displayName()) << "\t-\t-\t-\n";
    }
}

}  // namespace

int runListCommand(const LauncherOptions& options) {
    return runListCommand(options, std::cout, std::cerr,
                          ::isatty(STDERR_FILENO) ? ProgressStyle::redrawn : ProgressStyle::finalLine);
}

int runListCommand(const LauncherOptions&, std::ostream& out, std::ostream& err, ProgressStyle style) {
    if (!foundation::Container::current()) {
        err << "reelhaven: no container is installed\n";
        return 1;
    }
    auto documentsClient = DocumentsClient::create();
    auto manager = VideoManager::create(documentsClient, ProgressClient::create());
    auto watcher = std::make_shared<PassWatcher>(err, style);
    manager->setOnMetadataPassProgress(
        [watcher](const VideoManager::MetadataPassProgress& progress) { watcher->observe(progress); });

    manager->update(documentsClient->contents(documentsClient->documentsURL(), false));
    watcher->waitUntilFinished();
    // The pass has returned too, so every size and folder listing is in.
    manager->videoManagerQueue()->sync([] {});

    for (const auto& item : manager->library()) printItem(out, item, *watcher);
    out.flush();
    return out ? 0 : 1;
}

}  // namespace reelhaven
