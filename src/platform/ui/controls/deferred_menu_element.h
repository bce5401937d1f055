#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/controls/menu_element.h"

namespace ui {

// A placeholder in a menu whose elements are provided when the menu opens: the provider gets a
// completion to call with them. Cached elements are provided once; uncached on every opening.
class DeferredMenuElement : public MenuElement {
public:
    using Completion = std::function<void(std::vector<std::shared_ptr<MenuElement>>)>;
    using Provider = std::function<void(Completion)>;

    static std::shared_ptr<DeferredMenuElement> create(Provider provider);
    static std::shared_ptr<DeferredMenuElement> createUncached(Provider provider);
    std::string className() const override { return "DeferredMenuElement"; }

    bool isUncached() const { return m_uncached; }
    // The menu opens: runs the provider (unless cached elements exist) and returns what it has
    // delivered so far.
    const std::vector<std::shared_ptr<MenuElement>>& resolve();
    int providerCalls() const { return m_providerCalls; }

protected:
    explicit DeferredMenuElement(Provider provider) : MenuElement({}, nullptr), m_provider(std::move(provider)) {}

private:
    Provider m_provider;
    bool m_uncached = false;
    bool m_resolved = false;
    int m_providerCalls = 0;
    std::vector<std::shared_ptr<MenuElement>> m_elements;
};

}  // namespace ui
