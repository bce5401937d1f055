#pragma once

#include <unordered_map>
#include <utility>
#include <vector>

#include "core/atomic.h"
#include "platform/foundation/uuid.h"

namespace reelhaven {

// The running metadata jobs of one manager, one per item id, with the completions waiting for
// each. A request joins the running job for its item, so one job answers every request made
// while it runs. A job that failed leaves its item marked, and later requests are refused at
// once: the manager does not try that item again.
//
// Each step is one barrier block, so two first requests for an item cannot both start a job.
// Completions are handed back to the caller, never called inside the table's lock.
template <typename Completion>
class VideoManagerJobTable {
public:
    enum class Admission {
        start,   // no job was running: the caller starts one
        joined,  // the completion waits for the running job
        failed,  // the item failed before: the completion was not stored; answer it with nothing
    };

    Admission admit(const foundation::UUID& id, Completion completion) {
        return m_entries.mutate([&](Entries& entries) {
            auto [entry, inserted] = entries.try_emplace(id);
            if (!inserted && entry->second.failed) return Admission::failed;
            entry->second.waiters.push_back(std::move(completion));
            return inserted ? Admission::start : Admission::joined;
        });
    }

    // The job delivered: forgets the item and returns its waiters in joining order.
    std::vector<Completion> finish(const foundation::UUID& id) {
        return m_entries.mutate([&](Entries& entries) {
            std::vector<Completion> waiters;
            if (auto entry = entries.find(id); entry != entries.end()) {
                waiters = std::move(entry->second.waiters);
                entries.erase(entry);
            }
            return waiters;
        });
    }

    // The job failed: marks the item and returns its waiters in joining order.
    std::vector<Completion> fail(const foundation::UUID& id) {
        return m_entries.mutate([&](Entries& entries) {
            Entry& entry = entries[id];
            entry.failed = true;
            return std::exchange(entry.waiters, {});
        });
    }

private:
    struct Entry {
        std::vector<Completion> waiters;
        bool failed = false;
    };
    using Entries = std::unordered_map<foundation::UUID, Entry>;

    Atomic<Entries> m_entries;
};

}  // namespace reelhaven
