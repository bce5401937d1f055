#include "platform/media/audio_session.h"

#include <algorithm>
#include <any>
#include <utility>

#include "platform/foundation/notification_center.h"

namespace media {

std::string portTypeName(PortType type) {
    switch (type) {
        case PortType::builtInSpeaker: return "Speaker";
        case PortType::builtInReceiver: return "Receiver";
        case PortType::headphones: return "Headphones";
        case PortType::bluetoothA2DP: return "BluetoothA2DPOutput";
        case PortType::bluetoothHFP: return "BluetoothHFP";
        case PortType::airPlay: return "AirPlay";
        case PortType::hdmi: return "HDMIOutput";
    }
    return "";
}

bool RouteDescription::hasOutput(PortType type) const {
    return std::any_of(outputs.begin(), outputs.end(), [type](const auto& port) { return port.portType == type; });
}

RouteDescription AudioSession::speakerRoute() { return {{{PortType::builtInSpeaker, "Speaker"}}}; }
RouteDescription AudioSession::headphonesRoute() { return {{{PortType::headphones, "Headphones"}}}; }
RouteDescription AudioSession::bluetoothA2DPRoute() { return {{{PortType::bluetoothA2DP, "Bluetooth"}}}; }

std::shared_ptr<AudioSession> AudioSession::shared() {
    static const std::shared_ptr<AudioSession> session(new AudioSession);
    return session;
}

float AudioSession::outputVolume() const {
    std::lock_guard lock(m_mutex);
    return m_outputVolume;
}

bool AudioSession::secondaryAudioShouldBeSilencedHint() const {
    std::lock_guard lock(m_mutex);
    return m_secondaryAudioShouldBeSilenced;
}

bool AudioSession::isOtherAudioPlaying() const {
    std::lock_guard lock(m_mutex);
    return m_otherAudioPlaying;
}

RouteDescription AudioSession::currentRoute() const {
    std::lock_guard lock(m_mutex);
    return m_route;
}

void AudioSession::setOutputVolume(float volume) {
    std::lock_guard lock(m_mutex);
    m_outputVolume = std::clamp(volume, 0.0f, 1.0f);
}

void AudioSession::setSecondaryAudioShouldBeSilencedHint(bool hint) {
    std::lock_guard lock(m_mutex);
    m_secondaryAudioShouldBeSilenced = hint;
}

void AudioSession::setOtherAudioPlaying(bool playing) {
    std::lock_guard lock(m_mutex);
    m_otherAudioPlaying = playing;
}

void AudioSession::changeRoute(RouteDescription route, RouteChangeReason reason) {
    RouteDescription previous;
    {
        std::lock_guard lock(m_mutex);
        previous = std::exchange(m_route, std::move(route));
    }
    foundation::UserInfo info{{kRouteChangeReasonKey, static_cast<std::uint64_t>(reason)},
                              {kRouteChangePreviousRouteKey, previous}};
    foundation::NotificationCenter::defaultCenter().post(kRouteChangeNotification, shared(), std::move(info));
}

void AudioSession::interrupt(InterruptionType type, std::optional<std::uint64_t> options) {
    foundation::UserInfo info{{kInterruptionTypeKey, static_cast<std::uint64_t>(type)}};
    if (options) info.emplace(kInterruptionOptionKey, *options);
    foundation::NotificationCenter::defaultCenter().post(kInterruptionNotification, shared(), std::move(info));
}

void AudioSession::reset() {
    std::lock_guard lock(m_mutex);
    m_outputVolume = 0.5f;
    m_secondaryAudioShouldBeSilenced = false;
    m_otherAudioPlaying = false;
    m_route = speakerRoute();
}

}  // namespace media
