#include "platform/foundation/stored_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/foundation/file_descriptor.h"
#include "platform/foundation/file_manager.h"

namespace foundation {

namespace {

// "20261207T101502.123Z": sorts as time does.
std::string utcStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm parts{};
    ::gmtime_r(&seconds, &parts);
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &parts);
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03dZ", static_cast<int>(millis));
    return std::string(text, length) + fraction;
}

}  // namespace

StoredFile::StoredFile(URL url, std::uint64_t sizeLimit) : m_url(std::move(url)), m_sizeLimit(sizeLimit) {}

Result<std::optional<Data>> StoredFile::read() const {
    const std::string path = m_url.path();
    // Non-blocking, so a FIFO's open returns at once instead of waiting for a writer.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file) {
        if (errno == ENOENT) return std::optional<Data>();
        return Error::posix(errno, "open " + path);
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return Error::posix(errno, "stat " + path);
    if (!S_ISREG(info.st_mode))
        return Error::foundation(kErrorUnsupported, path + " is not a regular file; it is not read");
    auto tooLarge = [&] {
        std::string aside = damagedCopyPath();
        const bool moved = ::rename(path.c_str(), aside.c_str()) == 0;
        if (moved) removeOldDamagedCopies();
        return Error::foundation(kErrorUnsupported, path + " is larger than " + std::to_string(m_sizeLimit) +
                                                        " bytes; it is not read" +
                                                        (moved ? " and is kept as " + aside : std::string()));
    };
    if (static_cast<std::uint64_t>(info.st_size) > m_sizeLimit) return tooLarge();
    Data data;
    data.reserve(static_cast<std::size_t>(info.st_size));
    auto whole = file.readAll(data, path, m_sizeLimit);
    if (!whole) return whole.error();
    if (!whole.value()) return tooLarge();  // it grew since the fstat
    return std::optional<Data>(std::move(data));
}

Status StoredFile::write(std::string_view bytes) const {
    return FileManager::defaultManager().writeFile(m_url, bytes, WriteMode::atomic);
}

std::size_t StoredFile::removeAbandonedTemporaries() const {
    auto& files = FileManager::defaultManager();
    const std::string copyPrefix = m_url.lastPathComponent() + kDamagedCopyInfix;
    return files.removeAbandonedTemporaries(m_url).valueOr(0) +
           files
               .removeAbandonedTemporaries(
                   m_url.deletingLastPathComponent(),
                   [&copyPrefix](std::string_view name) { return name.starts_with(copyPrefix); })
               .valueOr(0);
}

std::optional<std::string> StoredFile::keepDamagedCopy(std::string_view bytes) const {
    const std::string folder = m_url.deletingLastPathComponent().path();
    if (const auto copies = damagedCopyNames(); !copies.empty()) {
        const std::string newest = folder + "/" + copies.back();
        // Read as the file itself is: a FIFO or a huge file under the copy's name is no match.
        const auto kept = StoredFile(URL::fileURLWithPath(newest), m_sizeLimit).read();
        if (kept && kept.value() && *kept.value() == bytes) return newest;
    }
    const std::string path = damagedCopyPath();
    if (!FileManager::defaultManager().writeFile(URL::fileURLWithPath(path), bytes, WriteMode::atomic))
        return std::nullopt;
    removeOldDamagedCopies();
    return path;
}

std::string StoredFile::damagedCopyPath() const {
    const std::string base = m_url.path() + kDamagedCopyInfix + utcStamp();
    // Two copies within one millisecond get a suffix rather than replace each other.
    std::string path = base;
    for (int n = 2; FileManager::defaultManager().fileExistsAtPath(path); ++n) path = base + "-" + std::to_string(n);
    return path;
}

std::vector<std::string> StoredFile::damagedCopyNames() const {
    const std::string prefix = m_url.lastPathComponent() + kDamagedCopyInfix;
    auto names = FileManager::defaultManager().contentsOfDirectoryAtPath(m_url.deletingLastPathComponent().path());
    std::vector<std::string> copies;
    if (!names) return copies;
    // The stamps sort as time does, and the listing is sorted.
    for (const auto& name : *names)
        if (name.starts_with(prefix)) copies.push_back(name);
    return copies;
}

void StoredFile::removeOldDamagedCopies() const {
    auto copies = damagedCopyNames();
    if (copies.size() <= kKeptDamagedCopies) return;
    const std::string folder = m_url.deletingLastPathComponent().path();
    for (std::size_t i = 0; i + kKeptDamagedCopies < copies.size(); ++i)
        (void)FileManager::defaultManager().removeItem(URL::fileURLWithPath(folder + "/" + copies[i]));
}

}  // namespace foundation
