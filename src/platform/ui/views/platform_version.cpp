#include "platform/ui/views/platform_version.h"

#include <mutex>

namespace ui {

namespace {

std::mutex& versionMutex() {
    static std::mutex mutex;
    return mutex;
}

PlatformVersion& stored() {
    static PlatformVersion version = PlatformVersion::newest();
    return version;
}

}  // namespace

PlatformVersion PlatformVersion::current() {
    std::lock_guard lock(versionMutex());
    return stored();
}

void PlatformVersion::setCurrent(const PlatformVersion& version) {
    std::lock_guard lock(versionMutex());
    stored() = version;
}

bool PlatformVersion::isAtLeast(int major, int minor) { return current() >= PlatformVersion{major, minor, 0}; }

std::string PlatformVersion::text() const {
    return std::to_string(major) + "." + std::to_string(minor) + (patch ? "." + std::to_string(patch) : "");
}

ScopedPlatformVersion::ScopedPlatformVersion(const PlatformVersion& version) : m_previous(PlatformVersion::current()) {
    PlatformVersion::setCurrent(version);
}

ScopedPlatformVersion::~ScopedPlatformVersion() { PlatformVersion::setCurrent(m_previous); }

}  // namespace ui
