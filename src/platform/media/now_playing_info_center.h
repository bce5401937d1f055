#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

namespace media {

inline constexpr const char* kMediaItemPropertyTitle = "MPMediaItemPropertyTitle";
inline constexpr const char* kMediaItemPropertyPlaybackDuration = "MPMediaItemPropertyPlaybackDuration";
inline constexpr const char* kNowPlayingInfoPropertyElapsedPlaybackTime = "MPNowPlayingInfoPropertyElapsedPlaybackTime";
inline constexpr const char* kNowPlayingInfoPropertyPlaybackRate = "MPNowPlayingInfoPropertyPlaybackRate";

// A value of the now-playing information. Integers and Doubles stay apart: the product gives
// some values as the integer 0 and others as Doubles, and the system shows them differently.
using NowPlayingValue = std::variant<std::string, double, std::int64_t>;
using NowPlayingInfo = std::map<std::string, NowPlayingValue>;

// What the lock screen and control centre show. Thread safe.
class NowPlayingInfoCenter {
public:
    static NowPlayingInfoCenter& defaultCenter();

    std::optional<NowPlayingInfo> nowPlayingInfo() const;
    // Replaces the whole information; none clears it.
    void setNowPlayingInfo(std::optional<NowPlayingInfo> info);

private:
    NowPlayingInfoCenter() = default;

    mutable std::mutex m_mutex;
    std::optional<NowPlayingInfo> m_info;
};

}  // namespace media
