#include "platform/ui/controllers/nib.h"

#include <map>
#include <mutex>

#include "platform/base/log.h"

namespace ui {

namespace {

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, Nib::Factory>& registry() {
    static std::map<std::string, Nib::Factory> factories;
    return factories;
}

}  // namespace

void Nib::registerNib(const std::string& name, Factory factory) {
    std::lock_guard lock(registryMutex());
    registry()[name] = std::move(factory);
}

void Nib::unregisterNib(const std::string& name) {
    std::lock_guard lock(registryMutex());
    registry().erase(name);
}

bool Nib::isRegistered(const std::string& name) {
    std::lock_guard lock(registryMutex());
    return registry().count(name) > 0;
}

std::shared_ptr<Nib> Nib::named(const std::string& name) { return std::shared_ptr<Nib>(new Nib(name)); }

std::vector<std::shared_ptr<Object>> Nib::instantiate(const std::shared_ptr<Object>& owner) const {
    Factory factory;
    {
        std::lock_guard lock(registryMutex());
        const auto it = registry().find(m_name);
        if (it == registry().end()) {
            base::log(base::LogLevel::error, "ui", "Could not load the nib named '" + m_name + "'");
            return {};
        }
        factory = it->second;
    }
    return factory ? factory(owner) : std::vector<std::shared_ptr<Object>>{};
}

}  // namespace ui
