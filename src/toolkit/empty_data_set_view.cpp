#include "toolkit/empty_data_set_view.h"

#include <cmath>
#include <cstdio>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/views/screen.h"
#include "toolkit/constraint_based_layout_extensions.h"
#include "toolkit/empty_data_set.h"

namespace reelhaven {

namespace {

std::shared_ptr<ui::Label> makeLabel(double size, const char* identifier) {
    auto label = ui::Label::create();
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    label->setBackgroundColor(ui::Color::clear());
    label->setFont(ui::Font::systemFont(size));
    label->setTextColor(ui::Color::white(0.6, 1.0));
    label->setTextAlignment(ui::TextAlignment::center);
    label->setLineBreakMode(ui::LineBreakMode::byWordWrapping);
    label->setNumberOfLines(0);
    label->setAccessibilityIdentifier(identifier);
    return label;
}

}  // namespace

std::shared_ptr<EmptyDataSetView> EmptyDataSetView::create() {
    auto view = ui::make<EmptyDataSetView>();
    view->m_contentView = ui::View::create();
    view->m_contentView->setTranslatesAutoresizingMaskIntoConstraints(false);
    view->m_contentView->setBackgroundColor(ui::Color::clear());
    view->m_contentView->setUserInteractionEnabled(true);
    view->m_contentView->setAlpha(0.0);
    view->addSubview(view->m_contentView);
    return view;
}

std::shared_ptr<ui::Label> EmptyDataSetView::titleLabel() {
    if (!m_titleLabel) {
        m_titleLabel = makeLabel(27, "empty set title");
        m_contentView->addSubview(m_titleLabel);
    }
    return m_titleLabel;
}

std::shared_ptr<ui::Label> EmptyDataSetView::detailLabel() {
    if (!m_detailLabel) {
        m_detailLabel = makeLabel(17, "empty set detail label");
        m_contentView->addSubview(m_detailLabel);
    }
    return m_detailLabel;
}

std::shared_ptr<ui::ImageView> EmptyDataSetView::imageView() {
    if (!m_imageView) {
        m_imageView = ui::ImageView::create();
        m_imageView->setTranslatesAutoresizingMaskIntoConstraints(false);
        m_imageView->setBackgroundColor(ui::Color::clear());
        m_imageView->setContentMode(ui::ContentMode::scaleAspectFit);
        m_imageView->setUserInteractionEnabled(false);
        m_imageView->setAccessibilityIdentifier("empty set background image");
        m_contentView->addSubview(m_imageView);
    }
    return m_imageView;
}

std::shared_ptr<ui::Button> EmptyDataSetView::button() {
    if (!m_button) {
        m_button = ui::Button::create(ui::ButtonType::custom);
        m_button->setTranslatesAutoresizingMaskIntoConstraints(false);
        m_button->setBackgroundColor(ui::Color::clear());
        m_button->setContentHorizontalAlignment(ui::ContentHorizontalAlignment::center);
        m_button->setContentVerticalAlignment(ui::ContentVerticalAlignment::center);
        m_button->setAccessibilityIdentifier("empty set button");
        std::weak_ptr<EmptyDataSetView> weak = sharedAs<EmptyDataSetView>();
        m_button->addTarget(
            sharedAs<EmptyDataSetView>(),
            [weak](ui::Control& sender) {
                if (auto self = weak.lock()) self->didTapButton(sender);
            },
            ui::touchUpInside);
        m_contentView->addSubview(m_button);
    }
    return m_button;
}

void EmptyDataSetView::setCustomView(const std::shared_ptr<ui::View>& view) {
    if (!view) return;
    if (m_customView) m_customView->removeFromSuperview();
    m_customView = view;
    m_customView->setTranslatesAutoresizingMaskIntoConstraints(false);
    m_contentView->addSubview(m_customView);
}

bool EmptyDataSetView::isInContent(const std::shared_ptr<ui::View>& view) const {
    return view && view->superview() == m_contentView;
}

bool EmptyDataSetView::canShowImage() const { return m_imageView && m_imageView->image() && isInContent(m_imageView); }

bool EmptyDataSetView::canShowTitle() const {
    auto text = m_titleLabel ? m_titleLabel->attributedText() : nullptr;
    return text && !text->empty() && isInContent(m_titleLabel);
}

bool EmptyDataSetView::canShowDetail() const {
    auto text = m_detailLabel ? m_detailLabel->attributedText() : nullptr;
    return text && !text->empty() && isInContent(m_detailLabel);
}

bool EmptyDataSetView::canShowButton() const {
    if (!m_button || !isInContent(m_button)) return false;
    auto title = m_button->attributedTitle(ui::normal);
    return (title && !title->empty()) || m_button->image(ui::normal);
}

void EmptyDataSetView::didTapButton(ui::Control& sender) {
    auto scrollView = std::dynamic_pointer_cast<ui::ScrollView>(superview());
    auto button = sender.sharedAs<ui::Button>();
    if (!scrollView || !button) return;
    // As a selector performed after a delay of 0: on a later turn of the main run loop.
    std::weak_ptr<ui::ScrollView> weakScroll = scrollView;
    dispatch::RunLoop::main()->post([weakScroll, button] {
        if (auto scroll = weakScroll.lock()) EmptyDataSet::didTapDataButton(*scroll, *button);
    });
}

void EmptyDataSetView::removeAllConstraints() {
    removeConstraints(constraints());
    m_contentView->removeConstraints(m_contentView->constraints());
}

void EmptyDataSetView::prepareForReuse() {
    const auto subviews = m_contentView->subviews();
    for (const auto& subview : subviews) subview->removeFromSuperview();
    m_titleLabel.reset();
    m_detailLabel.reset();
    m_imageView.reset();
    m_button.reset();
    m_customView.reset();
    removeAllConstraints();
}

void EmptyDataSetView::addFormat(const std::shared_ptr<ui::View>& to, const std::string& format,
                                 const std::map<std::string, double>& metrics,
                                 const std::map<std::string, std::shared_ptr<ui::View>>& views) {
    to->addConstraints(ui::LayoutConstraint::constraintsWithVisualFormat(format, metrics, views));
    m_formats.push_back(format);
}

void EmptyDataSetView::setupConstraints() {
    m_formats.clear();
    auto self = sharedAs<EmptyDataSetView>();
    auto centerX = equallyRelatedConstraint(self, m_contentView, ui::LayoutAttribute::centerX);
    auto centerY = equallyRelatedConstraint(self, m_contentView, ui::LayoutAttribute::centerY);
    addConstraint(centerX);
    addConstraint(centerY);
    addFormat(self, "H:|[contentView]|", {}, {{"contentView", m_contentView}});
    if (verticalOffset != 0) centerY->setConstant(verticalOffset);
    if (m_customView) {
        addFormat(m_contentView, "H:|[customView]|", {}, {{"customView", m_customView}});
        addFormat(m_contentView, "V:|[customView]|", {}, {{"customView", m_customView}});
        return;
    }
    const double width = frame().size.width > 0 ? frame().size.width : ui::Screen::main()->bounds().size.width;
    const double padding = std::roundf(static_cast<float>(width * 0.0625));
    const std::map<std::string, double> metrics{{"padding", padding}};
    std::map<std::string, std::shared_ptr<ui::View>> views;
    std::vector<std::string> names;
    if (m_imageView && isInContent(m_imageView)) {
        names.push_back("imageView");
        views["imageView"] = m_imageView;
        m_contentView->addConstraint(
            equallyRelatedConstraint(m_contentView, m_imageView, ui::LayoutAttribute::centerX));
    }
    // Lists an element that can show, with its side paddings; one that cannot leaves the content.
    auto place = [&](const std::shared_ptr<ui::View>& element, bool show, const std::string& name) {
        if (!element) return false;
        if (!show) {
            element->removeFromSuperview();
            return false;
        }
        names.push_back(name);
        views[name] = element;
        // A text longer than the room wraps within the paddings instead of pushing against them
        // with equal force, which would leave its width undecided.
        element->setContentCompressionResistancePriority(749, ui::LayoutAxis::horizontal);
        addFormat(m_contentView, "H:|-(padding@750)-[" + name + "(>=0)]-(padding@750)-|", metrics, {{name, element}});
        return true;
    };
    if (!place(m_titleLabel, canShowTitle(), "titleLabel")) m_titleLabel.reset();
    if (!place(m_detailLabel, canShowDetail(), "detailLabel")) m_detailLabel.reset();
    if (!place(m_button, canShowButton(), "button")) m_button.reset();
    std::string chain;
    char gap[64];
    std::snprintf(gap, sizeof gap, "-(%.f@750)-", verticalSpace != 0 ? verticalSpace : defaultVerticalSpace);
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) chain += gap;
        chain += "[" + names[i] + "]";
    }
    if (!chain.empty()) addFormat(m_contentView, "V:|" + chain + "|", {}, views);
}

std::shared_ptr<ui::View> EmptyDataSetView::hitTest(ui::Point point) {
    auto hit = ui::View::hitTest(point);
    if (!hit) return nullptr;
    if (std::dynamic_pointer_cast<ui::Control>(hit) || hit == m_contentView || (m_customView && hit == m_customView))
        return hit;
    return nullptr;
}

void EmptyDataSetView::didMoveToSuperview() {
    auto parent = superview();
    if (!parent) return;
    setFrame(ui::Rect({0, 0}, parent->bounds().size));
    auto content = m_contentView;
    if (fadeInOnDisplay) {
        ui::View::animate(0.25, [content] { content->setAlpha(1.0); });
    } else {
        content->setAlpha(1.0);
    }
}

}  // namespace reelhaven
