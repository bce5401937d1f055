#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace foundation {

// A memory cache that gives memory back: each object carries a cost, and while the total cost is
// above `totalCostLimit` or the count above `countLimit` (0: no limit) the least recently used
// objects are evicted. Like the platform's cache, what it holds may go at any time, so callers
// keep strong references to what they must not lose. Safe from any thread.
template <typename Key, typename Object, typename Hash = std::hash<Key>>
class Cache {
public:
    explicit Cache(std::size_t totalCostLimit = 0, std::size_t countLimit = 0)
        : m_totalCostLimit(totalCostLimit), m_countLimit(countLimit) {}
    Cache(const Cache&) = delete;
    Cache& operator=(const Cache&) = delete;

    // The object stored under `key`, now the most recently used; null when there is none.
    std::shared_ptr<Object> object(const Key& key) {
        std::lock_guard lock(m_mutex);
        auto found = m_index.find(key);
        if (found == m_index.end()) return nullptr;
        m_entries.splice(m_entries.begin(), m_entries, found->second);
        return found->second->object;
    }

    // Stores (or replaces) the object under `key`, then evicts down to the limits; an object
    // costing more than the limit by itself is not kept. A null object removes the key.
    void setObject(std::shared_ptr<Object> object, const Key& key, std::size_t cost = 0) {
        std::vector<std::shared_ptr<Object>> evicted;
        {
            std::lock_guard lock(m_mutex);
            evicted.push_back(removeWithLock(key));
            if (object) {
                m_entries.push_front(Entry{key, std::move(object), cost});
                m_index.emplace(key, m_entries.begin());
                m_totalCost += cost;
            }
            evictWithLock(evicted);
        }
        // Released outside the lock: freeing large objects need not hold up other threads.
    }

    void removeObject(const Key& key) {
        std::shared_ptr<Object> removed;
        std::lock_guard lock(m_mutex);
        removed = removeWithLock(key);
    }

    void removeAllObjects() {
        std::list<Entry> entries;
        {
            std::lock_guard lock(m_mutex);
            entries.swap(m_entries);
            m_index.clear();
            m_totalCost = 0;
        }
    }

    std::size_t count() const {
        std::lock_guard lock(m_mutex);
        return m_entries.size();
    }
    std::size_t totalCost() const {
        std::lock_guard lock(m_mutex);
        return m_totalCost;
    }

    std::size_t totalCostLimit() const {
        std::lock_guard lock(m_mutex);
        return m_totalCostLimit;
    }
    void setTotalCostLimit(std::size_t limit) {
        std::vector<std::shared_ptr<Object>> evicted;
        std::lock_guard lock(m_mutex);
        m_totalCostLimit = limit;
        evictWithLock(evicted);
    }
    std::size_t countLimit() const {
        std::lock_guard lock(m_mutex);
        return m_countLimit;
    }
    void setCountLimit(std::size_t limit) {
        std::vector<std::shared_ptr<Object>> evicted;
        std::lock_guard lock(m_mutex);
        m_countLimit = limit;
        evictWithLock(evicted);
    }

private:
    struct Entry {
        Key key;
        std::shared_ptr<Object> object;
        std::size_t cost = 0;
    };

    std::shared_ptr<Object> removeWithLock(const Key& key) {
        auto found = m_index.find(key);
        if (found == m_index.end()) return nullptr;
        auto object = std::move(found->second->object);
        m_totalCost -= found->second->cost;
        m_entries.erase(found->second);
        m_index.erase(found);
        return object;
    }

    bool overLimitWithLock() const {
        return (m_totalCostLimit != 0 && m_totalCost > m_totalCostLimit) ||
               (m_countLimit != 0 && m_entries.size() > m_countLimit);
    }

    void evictWithLock(std::vector<std::shared_ptr<Object>>& evicted) {
        while (!m_entries.empty() && overLimitWithLock()) {
            Entry& oldest = m_entries.back();
            m_totalCost -= oldest.cost;
            m_index.erase(oldest.key);
            evicted.push_back(std::move(oldest.object));
            m_entries.pop_back();
        }
    }

    mutable std::mutex m_mutex;
    std::list<Entry> m_entries;  // most recently used first
    std::unordered_map<Key, typename std::list<Entry>::iterator, Hash> m_index;
    std::size_t m_totalCost = 0;
    std::size_t m_totalCostLimit;
    std::size_t m_countLimit;
};

}  // namespace foundation
