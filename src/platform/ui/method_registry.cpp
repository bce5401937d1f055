#include "platform/ui/method_registry.h"

#include <map>

namespace ui {

namespace {

using Key = std::pair<std::string, std::string>;

std::map<Key, MethodRegistry::Implementation>& own() {
    static std::map<Key, MethodRegistry::Implementation> table;
    return table;
}

std::map<Key, MethodRegistry::Implementation>& replaced() {
    static std::map<Key, MethodRegistry::Implementation> table;
    return table;
}

}  // namespace

void MethodRegistry::registerOwn(const std::string& className, const std::string& selector, Implementation own_) {
    own().emplace(Key{className, selector}, std::move(own_));
}

MethodRegistry::Implementation MethodRegistry::implementation(const std::string& className,
                                                              const std::string& selector) {
    const Key key{className, selector};
    if (auto it = replaced().find(key); it != replaced().end()) return it->second;
    if (auto it = own().find(key); it != own().end()) return it->second;
    return nullptr;
}

MethodRegistry::Implementation MethodRegistry::setImplementation(const std::string& className,
                                                                 const std::string& selector,
                                                                 Implementation replacement) {
    auto previous = implementation(className, selector);
    replaced()[Key{className, selector}] = std::move(replacement);
    return previous;
}

void MethodRegistry::restoreAll() { replaced().clear(); }

}  // namespace ui
