#pragma once

#include <string>

namespace ui {

// The system version the app believes it runs on: a setting (newest by default), so every branch
// the product gates on a version can be tested.
struct PlatformVersion {
    int major = 17;
    int minor = 0;
    int patch = 0;

    static PlatformVersion newest() { return {17, 0, 0}; }
    static PlatformVersion current();
    static void setCurrent(const PlatformVersion& version);
    // `if #available(major.minor, *)`.
    static bool isAtLeast(int major, int minor = 0);
    std::string text() const;

    auto operator<=>(const PlatformVersion&) const = default;
};

// Sets the version for a test's lifetime.
class ScopedPlatformVersion {
public:
    explicit ScopedPlatformVersion(const PlatformVersion& version);
    ~ScopedPlatformVersion();
    ScopedPlatformVersion(const ScopedPlatformVersion&) = delete;
    ScopedPlatformVersion& operator=(const ScopedPlatformVersion&) = delete;

private:
    PlatformVersion m_previous;
};

}  // namespace ui
