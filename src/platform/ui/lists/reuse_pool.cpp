#include "platform/ui/lists/reuse_pool.h"

#include "platform/base/fatal.h"

namespace ui {

void ReusePool::registerFactory(const std::string& identifier, Factory factory) {
    m_factories[identifier] = std::move(factory);
}

void ReusePool::registerNib(const std::shared_ptr<Nib>& nib, const std::string& identifier) {
    registerFactory(identifier, [nib, identifier]() -> std::shared_ptr<CollectionReusableView> {
        const auto objects = nib->instantiate();
        auto view = objects.empty() ? nullptr : std::dynamic_pointer_cast<CollectionReusableView>(objects.front());
        if (!view)
            base::fatal("the nib '" + nib->name() + "' for '" + identifier +
                        "' must hold exactly one top-level reusable view");
        return view;
    });
}

std::shared_ptr<CollectionReusableView> ReusePool::dequeue(const std::string& identifier, const std::string& what) {
    auto& queue = m_queued[identifier];
    if (!queue.empty()) {
        auto view = queue.back();
        queue.pop_back();
        view->prepareForReuse();
        return view;
    }
    const auto it = m_factories.find(identifier);
    if (it == m_factories.end())
        base::fatal("could not dequeue a " + what + " with identifier " + identifier +
                    " - must register a nib or a class for the identifier");
    auto view = it->second();
    view->setReuseIdentifier(identifier);
    return view;
}

void ReusePool::enqueue(const std::shared_ptr<CollectionReusableView>& view) {
    if (!view || view->reuseIdentifier().empty()) return;
    view->removeFromSuperview();
    m_queued[view->reuseIdentifier()].push_back(view);
}

size_t ReusePool::queuedCount(const std::string& identifier) const {
    const auto it = m_queued.find(identifier);
    return it == m_queued.end() ? 0 : it->second.size();
}

}  // namespace ui
