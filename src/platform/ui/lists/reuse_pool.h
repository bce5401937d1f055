#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controllers/nib.h"
#include "platform/ui/lists/collection_reusable_view.h"

namespace ui {

// Registered makers of reusable views by identifier, and the views queued for reuse. Dequeuing
// an identifier nobody registered is a programming error (fatal).
class ReusePool {
public:
    using Factory = std::function<std::shared_ptr<CollectionReusableView>()>;

    void registerFactory(const std::string& identifier, Factory factory);
    // The nib's first top-level object must be a reusable view.
    void registerNib(const std::shared_ptr<Nib>& nib, const std::string& identifier);
    bool isRegistered(const std::string& identifier) const { return m_factories.count(identifier) > 0; }
    std::shared_ptr<CollectionReusableView> dequeue(const std::string& identifier, const std::string& what);
    void enqueue(const std::shared_ptr<CollectionReusableView>& view);
    size_t queuedCount(const std::string& identifier) const;

private:
    std::map<std::string, Factory> m_factories;
    std::map<std::string, std::vector<std::shared_ptr<CollectionReusableView>>> m_queued;
};

}  // namespace ui
