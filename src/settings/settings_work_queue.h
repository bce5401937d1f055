#pragma once

#include <memory>

#include "platform/dispatch/queue.h"

namespace reelhaven {

// Where the settings screens measure sizes, mark the library for backup and clear cached data:
// the global queue of default quality of service, unless a test installs a queue it can flush.
std::shared_ptr<dispatch::Queue> settingsWorkQueue();

// Installs `queue` as the settings work queue while the object lives. For tests.
class ScopedSettingsWorkQueue {
public:
    explicit ScopedSettingsWorkQueue(std::shared_ptr<dispatch::Queue> queue);
    ~ScopedSettingsWorkQueue();
    ScopedSettingsWorkQueue(const ScopedSettingsWorkQueue&) = delete;
    ScopedSettingsWorkQueue& operator=(const ScopedSettingsWorkQueue&) = delete;

private:
    std::shared_ptr<dispatch::Queue> m_previous;
};

}  // namespace reelhaven
