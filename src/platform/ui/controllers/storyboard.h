#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controllers/storyboard_segue.h"
#include "platform/ui/views/object.h"

namespace ui {

class ViewController;

// What a storyboard hands the creator of one of its controllers: the scene being made. The
// creator passes it on to the controller's initialiser together with arguments of its own.
class Coder {
public:
    Coder(std::string storyboard, std::string identifier)
        : m_storyboard(std::move(storyboard)), m_identifier(std::move(identifier)) {}
    const std::string& storyboard() const { return m_storyboard; }
    const std::string& identifier() const { return m_identifier; }

private:
    std::string m_storyboard;
    std::string m_identifier;
};

// A storyboard: a name under which code registers factories of controllers by identifier; each
// factory builds in code the hierarchy the interface file would hold. Asking for a storyboard
// or identifier nobody registered is a programming error (fatal).
class Storyboard : public Object {
public:
    using Factory = std::function<std::shared_ptr<ViewController>()>;
    using Creator = std::function<std::shared_ptr<ViewController>(const Coder& coder)>;
    static constexpr const char* initialIdentifier = "";

    static void registerController(const std::string& storyboard, const std::string& identifier, Factory factory);
    static void unregisterStoryboard(const std::string& storyboard);
    static bool isRegistered(const std::string& storyboard, const std::string& identifier);

    // A segue of the storyboard: its name leads to the controller registered as `destination`.
    static void registerSegue(const std::string& storyboard, const std::string& identifier,
                              const std::string& destination, StoryboardSegue::Kind kind);
    // The segue's destination made afresh, or none when the storyboard has no such segue.
    std::optional<StoryboardSegue> makeSegue(const std::string& identifier);

    static std::shared_ptr<Storyboard> named(const std::string& name);
    std::string className() const override { return "Storyboard"; }
    const std::string& name() const { return m_name; }

    std::shared_ptr<ViewController> instantiateViewController(const std::string& identifier);
    // The controller made by `creator`, for controllers whose initialiser takes more than the
    // coder; when the creator returns null the registered factory makes it. The identifier must
    // be registered all the same.
    std::shared_ptr<ViewController> instantiateViewController(const std::string& identifier, const Creator& creator);
    // The controller registered with `initialIdentifier`, or null.
    std::shared_ptr<ViewController> instantiateInitialViewController();

    template <typename T>
    std::shared_ptr<T> instantiate(const std::string& identifier) {
        return std::dynamic_pointer_cast<T>(instantiateViewController(identifier));
    }

private:
    explicit Storyboard(std::string name) : m_name(std::move(name)) {}

    std::string m_name;
};

}  // namespace ui
