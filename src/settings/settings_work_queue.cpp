#include "settings/settings_work_queue.h"

#include <mutex>
#include <utility>

namespace reelhaven {

namespace {

std::mutex& installedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<dispatch::Queue>& installed() {
    static std::shared_ptr<dispatch::Queue> queue;
    return queue;
}

}  // namespace

std::shared_ptr<dispatch::Queue> settingsWorkQueue() {
    std::lock_guard lock(installedMutex());
    return installed() ? installed() : dispatch::Queue::global(dispatch::QoS::defaultQoS);
}

ScopedSettingsWorkQueue::ScopedSettingsWorkQueue(std::shared_ptr<dispatch::Queue> queue) {
    std::lock_guard lock(installedMutex());
    m_previous = std::exchange(installed(), std::move(queue));
}

ScopedSettingsWorkQueue::~ScopedSettingsWorkQueue() {
    std::lock_guard lock(installedMutex());
    installed() = std::move(m_previous);
}

}  // namespace reelhaven
