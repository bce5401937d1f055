// The metadata pass and the thumbnail and duration jobs of VideoManager.

#include <utility>

#include "core/documents_client.h"
#include "core/library_media_reader.h"
#include "core/video_manager.h"
#include "core/video_manager_job_throttle.h"
#include "platform/foundation/allocated_size.h"
#include "platform/foundation/file_manager.h"
#include "platform/graphics/image.h"
#include "platform/graphics/png_codec.h"

namespace reelhaven {

namespace {

// FFmpeg reads the library's files in the media helpers, which remember in the container's caches
// the files that took one to its limits.
LibraryMediaReader mediaReader(DocumentsClient& documents) {
    const foundation::URL caches = documents.directoryURL(foundation::SearchPathDirectory::caches);
    return LibraryMediaReader::forCaches(caches.isEmpty() ? std::string() : caches.path());
}

}  // namespace

// Counts the requests of one metadata pass and reports each answer to the manager's handler, in
// order: reports are made under the pass's lock.
class VideoManager::MetadataPass {
public:
    explicit MetadataPass(std::function<void(const MetadataPassProgress&)> handler) : m_handler(std::move(handler)) {}

    void requested() {
        std::lock_guard lock(m_mutex);
        ++m_requested;
    }

    void answered(const VideoPtr& video, std::optional<ThumbnailSource> source) {
        std::lock_guard lock(m_mutex);
        ++m_answered;
        m_handler(
            MetadataPassProgress{video, source, m_answered, m_requested, m_allRequested && m_answered == m_requested});
    }

    // The pass made its last request; reports the end when every request is answered already.
    void allRequested() {
        std::lock_guard lock(m_mutex);
        m_allRequested = true;
        if (m_answered == m_requested)
            m_handler(MetadataPassProgress{nullptr, std::nullopt, m_answered, m_requested, true});
    }

private:
    std::mutex m_mutex;
    std::function<void(const MetadataPassProgress&)> m_handler;
    std::size_t m_requested = 0;
    std::size_t m_answered = 0;
    bool m_allRequested = false;
};

// --- Metadata pass ---

void VideoManager::loadMetadata() {
    std::shared_ptr<MetadataPass> pass;
    {
        std::lock_guard lock(m_mutex);
        if (m_onMetadataPassProgress) pass = std::make_shared<MetadataPass>(m_onMetadataPassProgress);
    }
    for (const auto& item : m_library.value()) {
        if (item->type() == LibraryItemType::file) {
            if (auto video = std::dynamic_pointer_cast<Video>(item)) loadMetadata(pass, video);
        } else if (item->type() == LibraryItemType::folder) {
            if (auto folder = std::dynamic_pointer_cast<Folder>(item)) refreshFolder(folder);
        }
    }
    if (pass) pass->allRequested();
}

void VideoManager::loadMetadata(const std::shared_ptr<MetadataPass>& pass, const VideoPtr& video) {
    attachSubtitles(video);

    // Counted before asking: a memory-cache hit answers before the request returns.
    if (pass) {
        pass->requested();
        pass->requested();
    }
    const bool makeThumbnail = admitThumbnail(
        video, [pass](const VideoPtr& answered, std::shared_ptr<gfx::Image> image, ThumbnailSource source) {
            if (image) answered->setImage(image);
            if (pass) pass->answered(answered, source);
        });
    const bool readDuration = admitDuration(video, [pass](const VideoPtr& answered, std::optional<double> seconds) {
        if (seconds) answered->setDuration(VideoTime{*seconds});
        if (pass) pass->answered(answered, std::nullopt);
    });
    // A video whose picture is made is opened once for both.
    if (makeThumbnail && readDuration) {
        startJob([video](VideoManager& manager) { manager.runMetadataJob(video); });
    } else if (makeThumbnail) {
        startJob([video](VideoManager& manager) { manager.runThumbnailJob(video); });
    } else if (readDuration) {
        startJob([video](VideoManager& manager) { manager.runDurationJob(video); });
    }

    video->setSize(foundation::allocatedFileSize(video->url()).valueOr(0));
}

// --- Jobs ---

void VideoManager::startJob(std::function<void(VideoManager&)> job) {
    m_jobsInFlight->started();
    VideoManagerJobThrottle::shared().submit(
        m_metadataQueue, [self = shared_from_this(), job = std::move(job), jobs = m_jobsInFlight]() mutable {
            job(*self);
            // Let go of the manager (and of what the job holds) before the job counts as ended,
            // so whoever waited for the jobs may rely on the manager being free.
            job = nullptr;
            self.reset();
            jobs->ended();
        });
}

void VideoManager::waitForMetadataJobs() const { m_jobsInFlight->waitUntilNone(); }

bool VideoManager::waitForMetadataJobs(std::chrono::milliseconds timeout) const {
    return m_jobsInFlight->waitUntilNone(timeout);
}

// --- Thumbnails ---

std::shared_ptr<gfx::Image> VideoManager::cachedThumbnail(const Video& video) const {
    return m_thumbnailCache->object(video.id().uuidString());
}

void VideoManager::thumbnail(const VideoPtr& video, ThumbnailCompletion completion) {
    if (admitThumbnail(video, std::move(completion)))
        startJob([video](VideoManager& manager) { manager.runThumbnailJob(video); });
}

bool VideoManager::admitThumbnail(const VideoPtr& video, ThumbnailCompletion completion) {
    if (auto image = cachedThumbnail(*video)) {
        completion(video, std::move(image), ThumbnailSource::cache);
        return false;
    }
    switch (m_thumbnailOperations.admit(video->id(), ThumbnailWaiter{video, completion})) {
        case decltype(m_thumbnailOperations)::Admission::start: return true;
        case decltype(m_thumbnailOperations)::Admission::joined: break;
        case decltype(m_thumbnailOperations)::Admission::failed:
            completion(video, nullptr, ThumbnailSource::none);
            break;
    }
    return false;
}

void VideoManager::runThumbnailJob(const VideoPtr& video) {
    // Another manager sharing the cache (or a job that ended just before this one was admitted)
    // may have made the image meanwhile.
    if (auto image = cachedThumbnail(*video)) return deliverThumbnail(video, std::move(image), ThumbnailSource::cache);
    auto [image, source] = loadThumbnail(*video);
    deliverThumbnail(video, std::move(image), source);
}

void VideoManager::runMetadataJob(const VideoPtr& video) {
    std::shared_ptr<gfx::Image> image = cachedThumbnail(*video);
    ThumbnailSource source = ThumbnailSource::cache;
    if (!image) {
        image = thumbnailFromCaches(*video);
        source = ThumbnailSource::disk;
    }
    if (image) {
        deliverThumbnail(video, std::move(image), source);
        deliverDuration(video, mediaReader(*m_documentsClient).duration(video->url().path()));
        return;
    }
    auto metadata = mediaReader(*m_documentsClient).metadata(video->url().path());
    source = metadata.thumbnail ? ThumbnailSource::generated : ThumbnailSource::none;
    deliverThumbnail(video, std::move(metadata.thumbnail), source);
    deliverDuration(video, metadata.duration);
}

void VideoManager::deliverThumbnail(const VideoPtr& video, std::shared_ptr<gfx::Image> image, ThumbnailSource source) {
    if (!image) {
        for (auto& waiter : m_thumbnailOperations.fail(video->id()))
            waiter.completion(waiter.video, nullptr, ThumbnailSource::none);
        return;
    }
    const std::string key = video->id().uuidString();
    // Cached before the job ends, so a request arriving after it is a memory hit; saved before
    // the waiters are answered, so an answer means the next start finds the file.
    m_thumbnailCache->setObject(image, key);
    if (source == ThumbnailSource::generated) m_documentsClient->saveCachedImage(key, *image);
    for (auto& waiter : m_thumbnailOperations.finish(video->id())) waiter.completion(waiter.video, image, source);
}

std::shared_ptr<gfx::Image> VideoManager::thumbnailFromCaches(const Video& video) const {
    const foundation::URL caches = m_documentsClient->directoryURL(foundation::SearchPathDirectory::caches);
    if (caches.isEmpty()) return nullptr;
    auto data = foundation::FileManager::defaultManager().contentsOfFile(
        caches.appendingPathComponent(video.id().uuidString()));
    if (!data) return nullptr;
    auto decoded = gfx::PngCodec::decode(*data);
    if (!decoded || decoded->isEmpty()) return nullptr;
    return std::make_shared<gfx::Image>(std::move(decoded).value());
}

std::pair<std::shared_ptr<gfx::Image>, VideoManager::ThumbnailSource> VideoManager::loadThumbnail(
    const Video& video) const {
    if (auto image = thumbnailFromCaches(video)) return {image, ThumbnailSource::disk};
    if (auto image = mediaReader(*m_documentsClient).metadata(video.url().path()).thumbnail)
        return {image, ThumbnailSource::generated};
    return {nullptr, ThumbnailSource::none};
}

// --- Durations ---

void VideoManager::duration(const VideoPtr& video, DurationCompletion completion) {
    if (admitDuration(video, std::move(completion)))
        startJob([video](VideoManager& manager) { manager.runDurationJob(video); });
}

bool VideoManager::admitDuration(const VideoPtr& video, DurationCompletion completion) {
    switch (m_durationOperations.admit(video->id(), DurationWaiter{video, completion})) {
        case decltype(m_durationOperations)::Admission::start: return true;
        case decltype(m_durationOperations)::Admission::joined: break;
        case decltype(m_durationOperations)::Admission::failed: completion(video, std::nullopt); break;
    }
    return false;
}

void VideoManager::runDurationJob(const VideoPtr& video) {
    deliverDuration(video, mediaReader(*m_documentsClient).duration(video->url().path()));
}

void VideoManager::deliverDuration(const VideoPtr& video, double seconds) {
    // A duration of 0, a negative one (the file could not be read) and NaN all count as failures.
    if (seconds > 0) {
        for (auto& waiter : m_durationOperations.finish(video->id())) waiter.completion(waiter.video, seconds);
    } else {
        for (auto& waiter : m_durationOperations.fail(video->id())) waiter.completion(waiter.video, std::nullopt);
    }
}

}  // namespace reelhaven
