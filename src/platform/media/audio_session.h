#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace media {

// Notification names and user-info keys, posted on foundation::NotificationCenter::defaultCenter()
// with the shared session as the object.
inline constexpr const char* kRouteChangeNotification = "AVAudioSessionRouteChangeNotification";
inline constexpr const char* kInterruptionNotification = "AVAudioSessionInterruptionNotification";
// std::uint64_t (a RouteChangeReason).
inline constexpr const char* kRouteChangeReasonKey = "AVAudioSessionRouteChangeReasonKey";
// RouteDescription: the route before the change.
inline constexpr const char* kRouteChangePreviousRouteKey = "AVAudioSessionRouteChangePreviousRouteKey";
// std::uint64_t (an InterruptionType).
inline constexpr const char* kInterruptionTypeKey = "AVAudioSessionInterruptionTypeKey";
// std::uint64_t, bit 0 = should resume; present only when an interruption ends with options.
inline constexpr const char* kInterruptionOptionKey = "AVAudioSessionInterruptionOptionKey";

enum class PortType { builtInSpeaker, builtInReceiver, headphones, bluetoothA2DP, bluetoothHFP, airPlay, hdmi };

// The system's name of a port type ("Speaker", "Headphones", "BluetoothA2DPOutput", ...).
std::string portTypeName(PortType type);

struct PortDescription {
    PortType portType = PortType::builtInSpeaker;
    std::string portName;
    bool operator==(const PortDescription&) const = default;
};

struct RouteDescription {
    std::vector<PortDescription> outputs;
    bool hasOutput(PortType type) const;
    bool operator==(const RouteDescription&) const = default;
};

enum class RouteChangeReason : std::uint64_t {
    unknown = 0,
    newDeviceAvailable = 1,
    oldDeviceUnavailable = 2,
    categoryChange = 3,
    override = 4,
    wakeFromSleep = 6,
    noSuitableRouteForCategory = 7,
    routeConfigurationChange = 8,
};

enum class InterruptionType : std::uint64_t { ended = 0, began = 1 };
inline constexpr std::uint64_t kInterruptionOptionShouldResume = 1;

// The process's audio session: the output volume (0...1), the hints the system gives about other
// audio, and the current output route (the built-in speaker at first). The system side is driven by
// tests and the launcher: route changes and interruptions post their notifications synchronously on
// the calling thread, as the system posts them on a thread of its own. Thread safe.
class AudioSession {
public:
    static std::shared_ptr<AudioSession> shared();

    float outputVolume() const;
    bool secondaryAudioShouldBeSilencedHint() const;
    bool isOtherAudioPlaying() const;
    RouteDescription currentRoute() const;

    // The system side.
    // Clamped to 0...1; the volume view's slider sets it this way.
    void setOutputVolume(float volume);
    void setSecondaryAudioShouldBeSilencedHint(bool hint);
    void setOtherAudioPlaying(bool playing);
    // Makes `route` current and posts the route-change notification with `reason` and the previous route.
    void changeRoute(RouteDescription route, RouteChangeReason reason);
    // Posts the interruption notification; `options` is left out of the user info when none.
    void interrupt(InterruptionType type, std::optional<std::uint64_t> options = std::nullopt);
    // Back to the start state (volume 0.5, speaker, no hints); for tests.
    void reset();

    static RouteDescription speakerRoute();
    static RouteDescription headphonesRoute();
    static RouteDescription bluetoothA2DPRoute();

private:
    AudioSession() = default;

    mutable std::mutex m_mutex;
    float m_outputVolume = 0.5f;
    bool m_secondaryAudioShouldBeSilenced = false;
    bool m_otherAudioPlaying = false;
    RouteDescription m_route = speakerRoute();
};

}  // namespace media
