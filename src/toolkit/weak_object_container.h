#pragma once

#include <memory>

namespace reelhaven {

// Holds an object without owning it, so an association can keep it: once the object is gone,
// `weakObject` reads as null.
template <typename T>
class WeakObjectContainer {
public:
    explicit WeakObjectContainer(const std::shared_ptr<T>& object) : m_object(object) {}
    std::shared_ptr<T> weakObject() const { return m_object.lock(); }

private:
    std::weak_ptr<T> m_object;
};

}  // namespace reelhaven
