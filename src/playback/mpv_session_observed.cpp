// The values the interface shows, kept from mpv's change events as the command queue drains
// them: the main thread reads these instead of asking mpv, which may be busy for seconds.

#include <mpv/client.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "playback/mpv_session.h"

namespace reelhaven {

namespace {

std::optional<double> doubleOf(const mpv_event_property& property) {
    if (property.format != MPV_FORMAT_DOUBLE || !property.data) return std::nullopt;
    return *static_cast<const double*>(property.data);
}

std::optional<bool> flagOf(const mpv_event_property& property) {
    if (property.format != MPV_FORMAT_FLAG || !property.data) return std::nullopt;
    return *static_cast<const int*>(property.data) != 0;
}

}  // namespace

void MPVSession::keepObserved(const mpv_event& event) {
    const auto* property = static_cast<const mpv_event_property*>(event.data);
    if (!property || !property->name) return;
    std::lock_guard lock(m_mutex);
    // A property mpv has no value for (no file, or between files) comes as MPV_FORMAT_NONE.
    if (std::strcmp(property->name, "time-pos") == 0) {
        m_observed.position = doubleOf(*property);
    } else if (std::strcmp(property->name, "seeking") == 0) {
        m_observed.seeking = flagOf(*property).value_or(false);
    } else if (std::strcmp(property->name, "pause") == 0) {
        m_observed.paused = flagOf(*property);
    }
}

namespace {
// Marks the reply ids of pings, apart from any other asynchronous request's.
constexpr std::uint64_t kPingTag = std::uint64_t{1} << 62;

void raiseTo(std::atomic<std::uint64_t>& value, std::uint64_t to) {
    for (auto seen = value.load(); seen < to && !value.compare_exchange_weak(seen, to);) {
    }
}
}  // namespace

std::uint64_t MPVSession::ping() {
    const auto number = ++m_pingsSent;
    // mpv's answer is to the asking, not the value: any cheap property does.
    int status = MPV_ERROR_UNINITIALIZED;
    withHandle([&](mpv_handle* handle) {
        status = mpv_get_property_async(handle, kPingTag | number, "pause", MPV_FORMAT_FLAG);
    });
    // Nobody to ask, or an ask refused: no answer to wait for.
    if (status < 0) raiseTo(m_pingsAnswered, number);
    return number;
}

void MPVSession::handlePropertyReply(const mpv_event& event) {
    if (event.reply_userdata & kPingTag) raiseTo(m_pingsAnswered, event.reply_userdata & ~kPingTag);
}

MPVSession::Observed MPVSession::observed() const {
    std::lock_guard lock(m_mutex);
    return m_observed;
}

}  // namespace reelhaven
