#include <mpv/client.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/dispatch/work_queue.h"
#include "playback/mpv_session.h"

namespace reelhaven {

void MPVSession::destroyHandle() {
    mpv_handle* handle = nullptr;
    {
        // Waits only for calls under way, each one short; from here on every call finds no handle.
        std::unique_lock lock(m_handleMutex);
        handle = std::exchange(m_mpv, nullptr);
    }
    if (!handle) return;
    // Outside the guard: this waits for mpv's core to end whatever it is doing (reading a large
    // subtitle file in can take seconds), and the guard is what any thread's `mpv()` takes.
    mpv_destroy(handle);  // no wakeup callback runs after this returns
    m_wakeupContext.reset();
}

mpv_handle* MPVSession::mpv() const {
    std::shared_lock lock(m_handleMutex);
    return m_mpv;
}

void MPVSession::setFlagNow(const char* name, bool value) {
    int flag = value ? 1 : 0;
    withHandle([&](mpv_handle* handle) { mpv_set_property(handle, name, MPV_FORMAT_FLAG, &flag); });
}

void MPVSession::setIntNow(const char* name, std::int64_t value) {
    withHandle([&](mpv_handle* handle) { mpv_set_property(handle, name, MPV_FORMAT_INT64, &value); });
}

void MPVSession::setDoubleNow(const char* name, double value) {
    withHandle([&](mpv_handle* handle) { mpv_set_property(handle, name, MPV_FORMAT_DOUBLE, &value); });
}

void MPVSession::setStringNow(const char* name, const std::string& value) {
    withHandle([&](mpv_handle* handle) { mpv_set_property_string(handle, name, value.c_str()); });
}

// Each setter reads the handle when its block runs, so a write queued before the teardown is
// dropped once the handle is gone. The blocks hold the session.
void MPVSession::setFlagProperty(const std::string& name, bool value) {
    m_commandQueue->async([self = shared_from_this(), name, value] { self->setFlagNow(name.c_str(), value); });
}

void MPVSession::setIntProperty(const std::string& name, std::int64_t value) {
    m_commandQueue->async([self = shared_from_this(), name, value] { self->setIntNow(name.c_str(), value); });
}

void MPVSession::setDoubleProperty(const std::string& name, double value) {
    m_commandQueue->async([self = shared_from_this(), name, value] { self->setDoubleNow(name.c_str(), value); });
}

void MPVSession::setStringProperty(const std::string& name, const std::string& value) {
    m_commandQueue->async([self = shared_from_this(), name, value] { self->setStringNow(name.c_str(), value); });
}

std::string MPVSession::decimal(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::vector<std::optional<std::string>> MPVSession::argumentVector(MPVCommand command,
                                                                   std::vector<std::optional<std::string>> args) {
    args.insert(args.begin(), std::string(name(command)));
    args.push_back(std::nullopt);
    return args;
}

namespace {
// The C vector of an argument vector: duplicated strings, freed when it goes.
struct CArguments {
    std::vector<char*> pointers;
    explicit CArguments(const std::vector<std::optional<std::string>>& args) {
        for (const auto& arg : args) pointers.push_back(arg ? strdup(arg->c_str()) : nullptr);
    }
    ~CArguments() {
        for (char* pointer : pointers) std::free(pointer);
    }
    CArguments(const CArguments&) = delete;
    CArguments& operator=(const CArguments&) = delete;
    const char** data() { return const_cast<const char**>(pointers.data()); }
};
}  // namespace

int MPVSession::command(MPVCommand command, const std::vector<std::optional<std::string>>& args) {
    auto full = argumentVector(command, args);
    CArguments vector(full);
    int status = MPV_ERROR_UNINITIALIZED;
    withHandle([&](mpv_handle* handle) {
        if (onCommand) onCommand(full);
        status = mpv_command(handle, vector.data());
    });
    return status;
}

void MPVSession::seek(const std::string& target, const std::string& flag) {
    m_seeks.asked();
    m_commandQueue->async([self = shared_from_this(), target, flag] {
        self->m_seeks.handedOver(self->command(MPVCommand::seek, {target, flag}) >= 0);
    });
}

void MPVSession::commandAsync(MPVCommand command, const std::vector<std::optional<std::string>>& args,
                              std::uint64_t replyUserdata) {
    auto full = argumentVector(command, args);
    CArguments vector(full);
    withHandle([&](mpv_handle* handle) {
        if (onCommand) onCommand(full);
        mpv_command_async(handle, replyUserdata, vector.data());
    });
}

void MPVSession::enableVideoTrack() { setStringProperty("vid", "1"); }

void MPVSession::disableVideoTrack() { setStringProperty("vid", "no"); }

void MPVSession::restoreAudioTrack() {
    // The id now, not when the block runs.
    auto id = playbackInfo()->activeAudioTrack().id;
    if (id == Track::kNoneId) {
        setStringProperty("aid", "no");  // mpv refuses the integer -1
    } else {
        setIntProperty("aid", id);
    }
}

void MPVSession::disableAudioTrack() { setStringProperty("aid", "no"); }

std::optional<double> MPVSession::doubleProperty(const char* name) const {
    std::optional<double> result;
    withHandle([&](mpv_handle* handle) {
        double value = 0;
        if (mpv_get_property(handle, name, MPV_FORMAT_DOUBLE, &value) >= 0) result = value;
    });
    return result;
}

std::optional<std::int64_t> MPVSession::intProperty(const char* name) const {
    std::optional<std::int64_t> result;
    withHandle([&](mpv_handle* handle) {
        std::int64_t value = 0;
        if (mpv_get_property(handle, name, MPV_FORMAT_INT64, &value) >= 0) result = value;
    });
    return result;
}

std::optional<bool> MPVSession::flagProperty(const char* name) const {
    std::optional<bool> result;
    withHandle([&](mpv_handle* handle) {
        int value = 0;
        if (mpv_get_property(handle, name, MPV_FORMAT_FLAG, &value) >= 0) result = value != 0;
    });
    return result;
}

std::optional<std::string> MPVSession::stringProperty(const char* name) const {
    std::optional<std::string> result;
    withHandle([&](mpv_handle* handle) {
        if (char* value = mpv_get_property_string(handle, name)) {
            result = value;
            mpv_free(value);
        }
    });
    return result;
}

}  // namespace reelhaven
