#pragma once

#include <map>
#include <memory>
#include <string>

namespace ui {

// The root of the layer's reference types (views, layers, controllers, recognisers, animations):
// shared ownership, a class name for descriptions, and a text
// description "<ClassName: 0x...>".
class Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    virtual std::string className() const { return "Object"; }
    virtual std::string description() const;

    template <typename T>
    std::shared_ptr<T> sharedAs() {
        return std::dynamic_pointer_cast<T>(shared_from_this());
    }
    template <typename T>
    std::shared_ptr<const T> sharedAs() const {
        return std::dynamic_pointer_cast<const T>(shared_from_this());
    }
    template <typename T>
    std::weak_ptr<T> weakAs() {
        return sharedAs<T>();
    }

    // Objects attached to this one under a key, owned by it (the runtime's associated objects).
    void setAssociatedObject(const std::string& key, std::shared_ptr<void> value);
    std::shared_ptr<void> associatedObject(const std::string& key) const;
    template <typename T>
    std::shared_ptr<T> associated(const std::string& key) const {
        return std::static_pointer_cast<T>(associatedObject(key));
    }

protected:
    Object() = default;

private:
    std::map<std::string, std::shared_ptr<void>> m_associated;
};

// Makes an object of a class whose constructors are protected: `ui::make<Label>(...)`.
template <typename T, typename... Args>
std::shared_ptr<T> make(Args&&... args) {
    struct Made final : T {
        explicit Made(Args&&... a) : T(std::forward<Args>(a)...) {}
    };
    return std::make_shared<Made>(std::forward<Args>(args)...);
}

}  // namespace ui
