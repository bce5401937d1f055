#include "platform/ui/controls/button.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/dispatch/run_loop.h"

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

std::shared_ptr<Button> Button::create(ButtonType type) { return make<Button>(type); }

std::shared_ptr<Button> Button::create(ButtonType type, const std::shared_ptr<Action>& primaryAction) {
    auto button = create(type);
    button->m_primaryAction = primaryAction;
    if (primaryAction) {
        button->setTitle(primaryAction->title(), normal);
        button->setImage(primaryAction->image(), normal);
    }
    return button;
}

template <typename T>
T Button::lookup(const std::map<std::uint32_t, T>& map, std::uint32_t state) {
    if (auto it = map.find(state); it != map.end()) return it->second;
    if (auto it = map.find(normal); it != map.end()) return it->second;
    return T{};
}

std::optional<std::string> Button::title(std::uint32_t state) const {
    if (auto it = m_titles.find(state); it != m_titles.end()) return it->second;
    if (auto it = m_titles.find(normal); it != m_titles.end()) return it->second;
    return std::nullopt;
}

void Button::setTitle(std::optional<std::string> title, std::uint32_t state) {
    checkMainThread();
    if (title) {
        m_titles[state] = *title;
    } else {
        m_titles.erase(state);
    }
    refreshTitleLabel();
}

std::shared_ptr<AttributedString> Button::attributedTitle(std::uint32_t state) const {
    return lookup(m_attributedTitles, state);
}

void Button::setAttributedTitle(std::shared_ptr<AttributedString> title, std::uint32_t state) {
    checkMainThread();
    if (title) {
        m_attributedTitles[state] = std::move(title);
    } else {
        m_attributedTitles.erase(state);
    }
    refreshTitleLabel();
}

std::optional<Color> Button::titleColor(std::uint32_t state) const {
    if (auto it = m_titleColors.find(state); it != m_titleColors.end()) return it->second;
    if (auto it = m_titleColors.find(normal); it != m_titleColors.end()) return it->second;
    return std::nullopt;
}

void Button::setTitleColor(std::optional<Color> color, std::uint32_t state) {
    checkMainThread();
    if (color) {
        m_titleColors[state] = *color;
    } else {
        m_titleColors.erase(state);
    }
}

std::shared_ptr<Image> Button::image(std::uint32_t state) const { return lookup(m_images, state); }

void Button::setImage(std::shared_ptr<Image> image, std::uint32_t state) {
    checkMainThread();
    if (image) {
        m_images[state] = std::move(image);
    } else {
        m_images.erase(state);
    }
    if (m_imageView) m_imageView->setImage(currentImage());
}

std::shared_ptr<Image> Button::backgroundImage(std::uint32_t state) const { return lookup(m_backgroundImages, state); }

void Button::setBackgroundImage(std::shared_ptr<Image> image, std::uint32_t state) {
    checkMainThread();
    if (image) {
        m_backgroundImages[state] = std::move(image);
    } else {
        m_backgroundImages.erase(state);
    }
}

std::shared_ptr<Label> Button::titleLabel() {
    checkMainThread();
    if (!m_titleLabel) {
        m_titleLabel = Label::create();
        addSubview(m_titleLabel);
        refreshTitleLabel();
    }
    return m_titleLabel;
}

std::shared_ptr<ImageView> Button::imageView() {
    checkMainThread();
    if (!m_imageView) {
        m_imageView = ImageView::create(currentImage());
        addSubview(m_imageView);
    }
    return m_imageView;
}

void Button::refreshTitleLabel() {
    if (!m_titleLabel) return;
    if (auto attributed = attributedTitle(state())) {
        m_titleLabel->setAttributedText(attributed);
    } else {
        m_titleLabel->setText(currentTitle());
    }
}

void Button::openMenu() {
    ++m_menuOpenings;
    noteReaction();
    if (auto w = window()) w->presentMenu(m_menu, sharedAs<View>());
    sendActions(menuActionTriggered);
}

void Button::touchEndedInside() {
    if (m_showsMenu && m_menu) {
        openMenu();
        return;
    }
    Control::touchEndedInside();
    if (m_primaryAction) {
        noteReaction();
        m_primaryAction->perform(sharedAs<Button>());
    }
}

bool Button::beginTracking(const Touch& touch) {
    if (!opensMenuOnPress()) return Control::beginTracking(touch);
    stopMenuPress();
    auto loop = dispatch::RunLoop::main();
    std::weak_ptr<Button> weak = sharedAs<Button>();
    m_menuPressTimer = loop->schedule(loop->now() + dispatch::seconds(menuPressDuration), [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->m_menuPressTimer = 0;
        if (!self->isTouched() || !self->opensMenuOnPress()) return;
        // The press became the menu's: lifting the finger now must not also run the primary action.
        self->touchCancel();
        self->openMenu();
    });
    return true;
}

void Button::endTracking(const Touch* touch) {
    stopMenuPress();
    Control::endTracking(touch);
}

void Button::cancelTracking() {
    stopMenuPress();
    Control::cancelTracking();
}

void Button::stopMenuPress() {
    if (m_menuPressTimer) dispatch::RunLoop::main()->cancel(std::exchange(m_menuPressTimer, 0));
}

Size Button::sizeThatFits(Size) const {
    Size content;
    const Font font = m_titleLabel ? m_titleLabel->font() : Font::systemFont(15);
    // The title shows on one line, shaped as the title label lays it out.
    if (auto attributed = attributedTitle(state())) {
        content = attributed->singleLineSize(font);
    } else if (auto text = currentTitle()) {
        content = AttributedString::create(*text)->singleLineSize(font);
    }
    if (auto img = currentImage()) {
        const Size s = img->size();
        content = {content.width + s.width, std::max(content.height, s.height)};
    }
    return {std::ceil(content.width + m_contentEdgeInsets.left + m_contentEdgeInsets.right),
            std::ceil(content.height + m_contentEdgeInsets.top + m_contentEdgeInsets.bottom)};
}

Size Button::intrinsicContentSize() const { return sizeThatFits({}); }

}  // namespace ui
