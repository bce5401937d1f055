#include "support/process_tree_memory.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testing_support {

namespace {

std::vector<pid_t> childrenOf(pid_t pid) {
    std::vector<pid_t> children;
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream list(task.path() / "children");
        for (pid_t child; list >> child;) children.push_back(child);
    }
    return children;
}

long pssKilobytes(pid_t pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    for (std::string field; rollup >> field;) {
        if (field == "Pss:") {
            long kilobytes = 0;
            rollup >> kilobytes;
            return kilobytes;
        }
        rollup.ignore(4096, '\n');
    }
    return 0;
}

}  // namespace

ProcessTreeMemory::ProcessTreeMemory(pid_t root)
    : m_root(root), m_thread([this] {
          while (!m_stopping.load()) {
              sample();
              std::this_thread::sleep_for(std::chrono::milliseconds(2));
          }
      }) {}

ProcessTreeMemory::~ProcessTreeMemory() { stop(); }

ProcessTreeMemory::Peaks ProcessTreeMemory::stop() {
    m_stopping = true;
    if (m_thread.joinable()) m_thread.join();
    return m_peaks;
}

void ProcessTreeMemory::sample() {
    std::vector<pid_t> tree{m_root};
    for (std::size_t i = 0; i < tree.size(); ++i)
        for (pid_t child : childrenOf(tree[i])) tree.push_back(child);
    long total = 0;
    int alive = 0;
    for (pid_t pid : tree) {
        const long size = pssKilobytes(pid);
        if (size == 0) continue;
        ++alive;
        total += size;
        m_peaks.largestKilobytes = std::max(m_peaks.largestKilobytes, size);
    }
    m_peaks.treeKilobytes = std::max(m_peaks.treeKilobytes, total);
    m_peaks.mostProcesses = std::max(m_peaks.mostProcesses, alive);
}

}  // namespace testing_support
