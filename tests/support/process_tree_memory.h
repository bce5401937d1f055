#pragma once

#include <sys/types.h>

#include <atomic>
#include <thread>

namespace testing_support {

// Watches a process and every process it starts, from /proc every few milliseconds, until
// stopped: the peak of their proportional set sizes summed at one moment (shared libraries
// counted once between them), the peak of any one of them, and the most processes seen at once.
// A peak shorter than a sampling step can be missed; the kernel's own peak of one process
// (rusage) is exact.
class ProcessTreeMemory {
public:
    struct Peaks {
        long treeKilobytes = 0;
        long largestKilobytes = 0;
        int mostProcesses = 0;
    };

    explicit ProcessTreeMemory(pid_t root);
    ~ProcessTreeMemory();
    ProcessTreeMemory(const ProcessTreeMemory&) = delete;
    ProcessTreeMemory& operator=(const ProcessTreeMemory&) = delete;

    // Stops watching (call once the process has ended) and gives the peaks.
    Peaks stop();

private:
    void sample();

    const pid_t m_root;
    Peaks m_peaks;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

}  // namespace testing_support
