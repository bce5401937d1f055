#include "core/progress_client.h"

#include "core/video.h"
#include "platform/base/log.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/json.h"
#include "platform/foundation/json_salvage.h"
#include "platform/foundation/md5.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/stored_file.h"

namespace reelhaven {

namespace {

void logProblem(const std::string& message) { base::log(base::LogLevel::warning, "progress", message); }

}  // namespace

std::shared_ptr<ProgressClient> ProgressClient::create() {
    auto client = std::shared_ptr<ProgressClient>(new ProgressClient());
    client->load();
    return client;
}

std::string ProgressClient::progressKey(const foundation::URL& url) {
    return foundation::md5Hex(url.deletingPathExtension().lastPathComponent());
}

std::optional<foundation::URL> ProgressClient::fileURL(bool createFolder) const {
    auto& files = foundation::FileManager::defaultManager();
    auto folder = files.url(foundation::SearchPathDirectory::applicationSupport);
    if (!folder) return std::nullopt;
    if (createFolder && !files.fileExists(*folder)) (void)files.createDirectory(*folder);
    return folder->appendingPathComponent(kFileName);
}

void ProgressClient::load() {
    std::lock_guard fileLock(m_fileMutex);
    auto url = fileURL(false);
    if (!url) return;
    foundation::StoredFile file(*url);
    if (const auto removed = file.removeAbandonedTemporaries(); removed > 0)
        logProblem("removed " + std::to_string(removed) + " temporary files of saves that never finished");
    auto bytes = file.read();
    if (!bytes) {
        logProblem(bytes.error().description);
        return;
    }
    if (!bytes.value()) return;

    const auto salvaged = foundation::salvageJsonObject(*bytes.value(), 1);
    bool damaged = !salvaged || salvaged->damaged();
    Records records;
    if (salvaged) {
        for (const auto& [key, value] : salvaged->object.items()) {
            std::vector<std::string> dropped;
            auto record = decodeStoredVideoProgress(value, dropped);
            damaged = damaged || !record || !dropped.empty();
            if (!record) {
                logProblem("dropped progress record " + key + ": it is not an object");
                continue;
            }
            for (const auto& field : dropped) logProblem("progress record " + key + ": dropped its unusable " + field);
            records.emplace(key, std::move(*record));
        }
    }
    if (damaged) {
        // What the next save leaves out is kept for someone to look at.
        const auto copy = file.keepDamagedCopy(*bytes.value());
        logProblem(std::string(salvaged ? "the progress file is damaged; read what stands whole"
                                        : "the progress file is not a JSON object; nothing read") +
                   (copy ? ", kept it as " + *copy : std::string()));
    }
    if (salvaged) m_progress.setValue(std::move(records));
}

void ProgressClient::save() {
    std::lock_guard fileLock(m_fileMutex);
    auto url = fileURL(true);
    if (!url) return;
    // Copied under the file lock, so saves reach the disk in the order of their copies.
    const nlohmann::json json = m_progress.value();
    if (auto written = foundation::StoredFile(*url).write(foundation::JsonCoding::dump(json)); !written)
        logProblem("could not save progress: " + written.error().description);
}

void ProgressClient::deleteAll() {
    {
        std::lock_guard fileLock(m_fileMutex);
        m_progress.setValue({});
        auto url = fileURL(false);
        auto& files = foundation::FileManager::defaultManager();
        if (url && files.fileExists(*url)) (void)files.removeItem(*url);
    }
    // Outside the lock, so an observer may read or save at once; the object only names the sender.
    foundation::NotificationCenter::defaultCenter().post(kDidDeleteAllNotification,
                                                         std::shared_ptr<void>(std::shared_ptr<void>(), this));
}

std::optional<VideoProgress> ProgressClient::progress(const Video& video) const {
    const std::string key = progressKey(video.url());
    return m_progress.read([&](const Records& records) -> std::optional<VideoProgress> {
        auto it = records.find(key);
        if (it == records.end()) return std::nullopt;
        return it->second;
    });
}

void ProgressClient::remove(const Video& video) {
    const std::string key = progressKey(video.url());
    m_progress.mutate([&](Records& records) { records.erase(key); });
}

void ProgressClient::update(const Video& video, double reportedProgress, std::optional<bool> isFinished,
                            const VideoProgress::Choices& reportedChoices) {
    // JSON has no NaN or infinity: such a position would be saved as null. A position a hair
    // before the start, as mpv reports one when a file begins, is the start.
    const auto usable = usablePosition(reportedProgress);
    if (!usable) {
        logProblem("refused a progress update to a position that is no time within media");
        return;
    }
    const double progress = *usable;
    const auto choices = reportedChoices.usable();
    const std::string key = progressKey(video.url());
    // A bogus length (a damaged header's) is not written into the record.
    const auto duration = video.duration() ? usableDuration(video.duration()->seconds) : std::nullopt;
    const bool scoped = video.isSecurityScoped();
    m_progress.mutate([&](Records& records) {
        if (auto it = records.find(key); it != records.end()) {
            VideoProgress updated = it->second;
            updated.update(progress, duration, isFinished, choices);
            // A record that stays finished (reopened near its start) is kept: it may be a library
            // video's of the same name, watched.
            if (scoped && (isFinished.value_or(false) || updated.progress.seconds < kSecurityScopedMinimumProgress)) {
                records.erase(it);
            } else {
                it->second = updated;
            }
            return;
        }
        if (!duration) return;
        if (scoped && (isFinished.value_or(false) || progress < kSecurityScopedMinimumProgress)) return;
        VideoProgress record;
        record.progress = VideoTime{progress};
        record.duration = VideoTime{*duration};
        record.isFinished = isFinished.value_or(false);
        record.setChoices(choices);
        records.emplace(key, record);
    });
}

}  // namespace reelhaven
