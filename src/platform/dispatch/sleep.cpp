#include "platform/dispatch/sleep.h"

#include <mutex>
#include <thread>

#include "platform/dispatch/run_loop.h"

namespace dispatch {
namespace {

std::mutex& recordMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<Duration>& records() {
    static std::vector<Duration> recorded;
    return recorded;
}

}  // namespace

void sleepFor(Duration duration) {
    if (RunLoop::main()->clock().isManual()) {
        std::lock_guard lock(recordMutex());
        records().push_back(duration);
        return;
    }
    std::this_thread::sleep_for(duration);
}

std::vector<Duration> recordedSleeps() {
    std::lock_guard lock(recordMutex());
    return records();
}

void clearRecordedSleeps() {
    std::lock_guard lock(recordMutex());
    records().clear();
}

}  // namespace dispatch
