#include "platform/ui/controllers/storyboard.h"

#include <map>
#include <mutex>

#include "platform/base/fatal.h"
#include "platform/ui/controllers/view_controller.h"

namespace ui {

namespace {

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, std::map<std::string, Storyboard::Factory>>& registry() {
    static std::map<std::string, std::map<std::string, Storyboard::Factory>> factories;
    return factories;
}

}  // namespace

void Storyboard::registerController(const std::string& storyboard, const std::string& identifier, Factory factory) {
    std::lock_guard lock(registryMutex());
    registry()[storyboard][identifier] = std::move(factory);
}

void Storyboard::unregisterStoryboard(const std::string& storyboard) {
    std::lock_guard lock(registryMutex());
    registry().erase(storyboard);
}

bool Storyboard::isRegistered(const std::string& storyboard, const std::string& identifier) {
    std::lock_guard lock(registryMutex());
    const auto it = registry().find(storyboard);
    return it != registry().end() && it->second.count(identifier) > 0;
}

namespace {

struct SegueEntry {
    std::string destination;
    StoryboardSegue::Kind kind;
};

std::map<std::string, std::map<std::string, SegueEntry>>& segues() {
    static std::map<std::string, std::map<std::string, SegueEntry>> table;
    return table;
}

}  // namespace

void Storyboard::registerSegue(const std::string& storyboard, const std::string& identifier,
                               const std::string& destination, StoryboardSegue::Kind kind) {
    std::lock_guard lock(registryMutex());
    segues()[storyboard][identifier] = {destination, kind};
}

std::optional<StoryboardSegue> Storyboard::makeSegue(const std::string& identifier) {
    SegueEntry entry;
    {
        std::lock_guard lock(registryMutex());
        auto& table = segues()[m_name];
        const auto it = table.find(identifier);
        if (it == table.end()) return std::nullopt;
        entry = it->second;
    }
    StoryboardSegue segue;
    segue.identifier = identifier;
    segue.kind = entry.kind;
    segue.destination = instantiateViewController(entry.destination);
    return segue;
}

std::shared_ptr<Storyboard> Storyboard::named(const std::string& name) {
    {
        std::lock_guard lock(registryMutex());
        if (registry().count(name) == 0) base::fatal("Could not find a storyboard named '" + name + "'");
    }
    return std::shared_ptr<Storyboard>(new Storyboard(name));
}

std::shared_ptr<ViewController> Storyboard::instantiateViewController(const std::string& identifier) {
    return instantiateViewController(identifier, Creator());
}

std::shared_ptr<ViewController> Storyboard::instantiateViewController(const std::string& identifier,
                                                                      const Creator& creator) {
    Factory factory;
    {
        std::lock_guard lock(registryMutex());
        auto& controllers = registry()[m_name];
        const auto it = controllers.find(identifier);
        if (it == controllers.end())
            base::fatal("Storyboard (" + m_name + ") doesn't contain a view controller with identifier '" + identifier +
                        "'");
        factory = it->second;
    }
    std::shared_ptr<ViewController> controller = creator ? creator(Coder(m_name, identifier)) : nullptr;
    if (!controller && factory) controller = factory();
    if (controller) controller->setStoryboard(sharedAs<Storyboard>());
    return controller;
}

std::shared_ptr<ViewController> Storyboard::instantiateInitialViewController() {
    if (!isRegistered(m_name, initialIdentifier)) return nullptr;
    return instantiateViewController(initialIdentifier);
}

}  // namespace ui
