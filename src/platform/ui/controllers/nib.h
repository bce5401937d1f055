#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/views/object.h"

namespace ui {

// An interface file by name: code registers a factory that builds its top-level objects (views,
// recognisers, ...) for an owner, connecting the owner's outlets as the file would.
class Nib : public Object {
public:
    using Factory = std::function<std::vector<std::shared_ptr<Object>>(const std::shared_ptr<Object>& owner)>;

    static void registerNib(const std::string& name, Factory factory);
    static void unregisterNib(const std::string& name);
    static bool isRegistered(const std::string& name);

    static std::shared_ptr<Nib> named(const std::string& name);
    std::string className() const override { return "Nib"; }
    const std::string& name() const { return m_name; }

    // The top-level objects; none (and an error logged) when no factory has this name.
    std::vector<std::shared_ptr<Object>> instantiate(const std::shared_ptr<Object>& owner = nullptr) const;

private:
    explicit Nib(std::string name) : m_name(std::move(name)) {}

    std::string m_name;
};

}  // namespace ui
