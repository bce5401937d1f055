#pragma once

#include <functional>
#include <string>

namespace ui {

class Object;

// Replaceable method implementations, as the platform's object runtime allows: a class's method
// ("CollectionView", "reloadData") runs what was installed for it, else its own. Replacing
// returns the implementation that was in place, so a replacement can call through to it.
// Main thread only.
class MethodRegistry {
public:
    using Implementation = std::function<void(Object& receiver)>;

    // What the class's method runs now: a replacement, else the class's own; null when the class
    // has no such method.
    static Implementation implementation(const std::string& className, const std::string& selector);
    // Installs `replacement` and returns what it replaces.
    static Implementation setImplementation(const std::string& className, const std::string& selector,
                                            Implementation replacement);
    // Puts back every class's own implementations; for tests.
    static void restoreAll();
    // Registers a class's own implementation (done once by the classes that have replaceable methods).
    static void registerOwn(const std::string& className, const std::string& selector, Implementation own);
};

}  // namespace ui
