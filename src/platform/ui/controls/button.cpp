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
    setNeedsLayout();
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
    // The content's size may change with the state's title or image.
    setNeedsLayout();
    if (m_imageView) m_imageView->setImage(currentImage());
    if (!m_titleLabel) return;
    if (auto attributed = attributedTitle(state())) {
        m_titleLabel->setAttributedText(attributed);
    } else {
        m_titleLabel->setText(currentTitle());
    }
    m_titleLabel->setTextColor(currentTitleColor());
}

Color Button::currentTitleColor() const {
    const auto tint = tintColor();
    auto color = titleColor(state()).value_or(m_type == ButtonType::custom ? Color::white() : tint);
    if (!isEnabled()) return color.withAlpha(color.alpha * 0.35);
    if (isHighlighted() && m_type == ButtonType::system) return color.withAlpha(color.alpha * 0.5);
    return color;
}

Size Button::titleSize() const {
    const Font font = m_titleLabel ? m_titleLabel->font() : Font::systemFont(15);
    // The title shows on one line, shaped as the title label lays it out.
    if (auto attributed = attributedTitle(state())) return attributed->singleLineSize(font);
    if (auto text = currentTitle()) return AttributedString::create(*text)->singleLineSize(font);
    return {};
}

Button::ContentFrames Button::contentFrames() const {
    const Rect b = bounds();
    const EdgeInsets& insets = m_contentEdgeInsets;
    const Rect content(b.origin.x + insets.left, b.origin.y + insets.top,
                       std::max(0.0, b.size.width - insets.left - insets.right),
                       std::max(0.0, b.size.height - insets.top - insets.bottom));
    const auto image = currentImage();
    const Size imageSize = image ? image->size() : Size{};
    const Size title = titleSize();
    const double titleWidth = std::clamp(content.size.width - imageSize.width, 0.0, title.width);
    const double titleHeight = std::min(content.size.height, std::ceil(title.height));
    const double pair = imageSize.width + titleWidth;
    double x = content.origin.x + (content.size.width - pair) / 2;
    switch (contentHorizontalAlignment()) {
        case ContentHorizontalAlignment::left:
        case ContentHorizontalAlignment::leading:
        case ContentHorizontalAlignment::fill: x = content.origin.x; break;
        case ContentHorizontalAlignment::right:
        case ContentHorizontalAlignment::trailing: x = content.maxX() - pair; break;
        case ContentHorizontalAlignment::center: break;
    }
    auto vertical = [&](double height) {
        switch (contentVerticalAlignment()) {
            case ContentVerticalAlignment::top: return content.origin.y;
            case ContentVerticalAlignment::bottom: return content.maxY() - height;
            default: return content.origin.y + (content.size.height - height) / 2;
        }
    };
    ContentFrames frames;
    frames.image = Rect(x, vertical(imageSize.height), imageSize.width, imageSize.height);
    frames.title = Rect(x + imageSize.width, vertical(titleHeight), titleWidth, titleHeight);
    return frames;
}

void Button::layoutSubviews() {
    Control::layoutSubviews();
    const auto frames = contentFrames();
    if (m_imageView) m_imageView->setFrame(frames.image);
    if (m_titleLabel) m_titleLabel->setFrame(frames.title);
}

void Button::setEnabled(bool enabled) {
    Control::setEnabled(enabled);
    refreshTitleLabel();
}

void Button::setSelected(bool selected) {
    Control::setSelected(selected);
    refreshTitleLabel();
}

void Button::setHighlighted(bool highlighted) {
    Control::setHighlighted(highlighted);
    refreshTitleLabel();
}

void Button::tintColorDidChange() {
    Control::tintColorDidChange();
    refreshTitleLabel();
}

void Button::openMenu() {
    ++m_menuOpenings;
    noteReaction();
    if (auto w = window()) w->presentMenu(m_menu, sharedAs<View>());
    sendActions(menuActionTriggered);
}

bool Button::showMenu() {
    checkMainThread();
    if (!m_menu || !isEnabled() || !window()) return false;
    openMenu();
    return true;
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
    Size content = titleSize();
    if (auto img = currentImage()) {
        const Size s = img->size();
        content = {content.width + s.width, std::max(content.height, s.height)};
    }
    return {std::ceil(content.width + m_contentEdgeInsets.left + m_contentEdgeInsets.right),
            std::ceil(content.height + m_contentEdgeInsets.top + m_contentEdgeInsets.bottom)};
}

Size Button::intrinsicContentSize() const { return sizeThatFits({}); }

}  // namespace ui
