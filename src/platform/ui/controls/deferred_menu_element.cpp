#include "platform/ui/controls/deferred_menu_element.h"

namespace ui {

std::shared_ptr<DeferredMenuElement> DeferredMenuElement::create(Provider provider) {
    return make<DeferredMenuElement>(std::move(provider));
}

std::shared_ptr<DeferredMenuElement> DeferredMenuElement::createUncached(Provider provider) {
    auto element = create(std::move(provider));
    element->m_uncached = true;
    return element;
}

const std::vector<std::shared_ptr<MenuElement>>& DeferredMenuElement::resolve() {
    if (m_resolved && !m_uncached) return m_elements;
    m_resolved = true;
    ++m_providerCalls;
    if (m_provider) {
        std::weak_ptr<DeferredMenuElement> weak = sharedAs<DeferredMenuElement>();
        m_provider([weak](std::vector<std::shared_ptr<MenuElement>> elements) {
            if (auto self = weak.lock()) self->m_elements = std::move(elements);
        });
    }
    return m_elements;
}

}  // namespace ui
