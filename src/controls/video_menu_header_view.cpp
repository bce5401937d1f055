#include "controls/video_menu_header_view.h"

#include "platform/base/fatal.h"
#include "platform/foundation/notification_center.h"
#include "platform/graphics/image.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/text_attachment.h"
#include "platform/ui/views/image.h"

namespace reelhaven {
namespace {

ui::Font requiredFont(const std::string& name, double size) {
    auto font = ui::Font::named(name, size);
    if (!font) base::fatal("Missing font " + name);
    return *font;
}

// A 1 x 1 image of one colour, stretched as a button background.
std::shared_ptr<ui::Image> colourImage(const ui::Color& colour) {
    gfx::Image bitmap(1, 1);
    bitmap.fill(colour.cgColor());
    return ui::Image::create(std::move(bitmap));
}

std::shared_ptr<ui::AttributedString> screenshotTitle(const ui::Color& colour) {
    auto camera = ui::Image::systemImage("camera.viewfinder", ui::SymbolConfiguration{11, ui::SymbolWeight::semibold,
                                                                                      ui::SymbolScale::large})
                      ->withTintColor(colour);
    return ui::AttributedString::create("Save Screenshot ", {{ui::AttributedStringKey::foregroundColor(), colour}})
        ->appending(*ui::AttributedString::withAttachment(ui::TextAttachment::create(camera)));
}

// Ends a notification observation when destroyed.
foundation::Cancellable observe(const char* name, std::function<void()> handler) {
    auto& center = foundation::NotificationCenter::defaultCenter();
    auto token = center.addObserver(name, nullptr, [handler](const foundation::Notification&) { handler(); });
    return foundation::Cancellable([token] { foundation::NotificationCenter::defaultCenter().removeObserver(token); });
}

}  // namespace

std::shared_ptr<VideoMenuHeaderView> VideoMenuHeaderView::create(const ui::Rect& frame) {
    auto view = std::shared_ptr<VideoMenuHeaderView>(new VideoMenuHeaderView(frame));
    view->setupViews();
    view->subscribe();
    return view;
}

VideoMenuHeaderView::VideoMenuHeaderView(const ui::Rect& frame)
    : ui::View(frame),
      m_stackView(ui::StackView::create()),
      m_nowPlayingLabel(ui::Label::create()),
      m_titleLabel(ui::Label::create()),
      m_screenshotButtonStack(ui::StackView::create()),
      m_segmentedControl(ui::SegmentedControl::create()),
      m_screenshotButton(ui::Button::create(ui::ButtonType::custom)),
      m_successIcon(ui::ImageView::create()) {}

void VideoMenuHeaderView::setupViews() {
    for (const std::shared_ptr<ui::View>& view :
         {std::static_pointer_cast<ui::View>(m_stackView), std::static_pointer_cast<ui::View>(m_nowPlayingLabel),
          std::static_pointer_cast<ui::View>(m_titleLabel), std::static_pointer_cast<ui::View>(m_screenshotButtonStack),
          std::static_pointer_cast<ui::View>(m_screenshotButton)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
    }
    m_nowPlayingLabel->setContentHuggingPriority(1000, ui::LayoutAxis::vertical);
    // The button is 30 points high by its constraint; hugging its shorter title as well would
    // ask for two heights at once.
    m_stackView->setAxis(ui::LayoutAxis::vertical);
    m_stackView->setAlignment(ui::StackViewAlignment::leading);
    m_stackView->setSpacing(8);
    m_screenshotButtonStack->setAxis(ui::LayoutAxis::horizontal);
    m_screenshotButtonStack->setAlignment(ui::StackViewAlignment::center);
    m_screenshotButtonStack->setSpacing(10);

    m_successIcon->setImage(ui::Image::systemImage("checkmark.circle.fill"));
    m_successIcon->setTintColor(ui::Color::systemGreen());
    m_successIcon->setAlpha(0);

    m_nowPlayingLabel->setFont(requiredFont("Inter-Bold", 11));
    m_nowPlayingLabel->setTextColor(ui::Color::secondaryLabel());
    m_nowPlayingLabel->setAttributedText(
        ui::AttributedString::create("NOW PLAYING", {{ui::AttributedStringKey::kern(), 3.0}}));
    m_nowPlayingLabel->setNumberOfLines(1);

    m_titleLabel->setFont(requiredFont("Inter-SemiBold", 18));
    m_titleLabel->setTextColor(ui::Color::white());
    m_titleLabel->setText(m_title);
    m_titleLabel->setNumberOfLines(2);
    m_titleLabel->setLineBreakMode(ui::LineBreakMode::byTruncatingTail);
    m_titleLabel->setAdjustsFontSizeToFitWidth(true);
    m_titleLabel->setMinimumScaleFactor(0.5);

    m_screenshotButton->layer().setCornerRadius(7);
    m_screenshotButton->layer().setCornerCurve(ui::CornerCurve::continuous);
    m_screenshotButton->setClipsToBounds(true);
    m_screenshotButton->setBackgroundImage(colourImage(ui::Color::systemBlue()), ui::normal);
    m_screenshotButton->setBackgroundImage(colourImage(ui::Color::systemBlue().withAlpha(0.5)), ui::disabled);
    m_screenshotButton->titleLabel()->setFont(requiredFont("Inter-SemiBold", 11));
    m_screenshotButton->setPointerInteractionEnabled(true);
    m_screenshotButton->setAttributedTitle(screenshotTitle(ui::Color::white()), ui::normal);
    m_screenshotButton->setAttributedTitle(screenshotTitle(ui::Color::gray()), ui::highlighted);
    m_screenshotButton->setAttributedTitle(screenshotTitle(ui::Color::gray()), ui::disabled);

    m_segmentedControl->insertSegment("Playlist", 0);
    m_segmentedControl->insertSegment("Chapters", 1);

    m_screenshotButtonStack->addArrangedSubview(m_segmentedControl);
    m_screenshotButtonStack->addArrangedSubview(m_screenshotButton);
    m_screenshotButtonStack->addArrangedSubview(m_successIcon);
    m_stackView->addArrangedSubview(m_nowPlayingLabel);
    m_stackView->addArrangedSubview(m_titleLabel);
    m_stackView->addArrangedSubview(m_screenshotButtonStack);
    addSubview(m_stackView);

    ui::LayoutConstraint::activate({m_stackView->topAnchor().constraint(topAnchor(), 10),
                                    m_stackView->bottomAnchor().constraint(bottomAnchor(), -10),
                                    m_stackView->leadingAnchor().constraint(leadingAnchor(), 10),
                                    m_stackView->trailingAnchor().constraint(trailingAnchor(), -10),
                                    m_titleLabel->heightAnchor().constraintEqualToConstant(34),
                                    m_screenshotButton->heightAnchor().constraintEqualToConstant(30),
                                    m_screenshotButton->widthAnchor().constraintEqualToConstant(125),
                                    m_successIcon->heightAnchor().constraintEqualToConstant(22),
                                    m_successIcon->widthAnchor().constraintEqualToConstant(22)});

    layer().setCornerRadius(10);
    layer().setCornerCurve(ui::CornerCurve::continuous);
    layer().setMaskedCorners(ui::minXMinYCorner | ui::maxXMinYCorner);
    setClipsToBounds(true);
    setBackgroundColor(ui::Color::systemGray6());
}

void VideoMenuHeaderView::subscribe() {
    std::weak_ptr<VideoMenuHeaderView> weak = sharedAs<VideoMenuHeaderView>();
    m_subscriptions.push_back(observe(kScreenshotSucceeded, [weak] {
        if (auto self = weak.lock()) self->showScreenshotSucceeded();
    }));
    m_subscriptions.push_back(observe(kScreenshotFailed, [weak] {
        if (auto self = weak.lock()) self->m_screenshotButton->setEnabled(true);
    }));
}

void VideoMenuHeaderView::setTitle(std::optional<std::string> title) {
    m_title = std::move(title);
    m_titleLabel->setText(m_title);
    m_titleLabel->sizeToFit();
}

void VideoMenuHeaderView::setShouldHideSegmentedControl(bool hide) {
    m_shouldHideSegmentedControl = hide;
    if (m_segmentedControl->isHidden() == hide) return;
    auto control = m_segmentedControl;
    ui::View::animateSpring(0.5, 0, 0.7, 0.7, ui::allowUserInteraction | ui::beginFromCurrentState,
                            [control, hide] { control->setHidden(hide); });
}

void VideoMenuHeaderView::showScreenshotSucceeded() {
    m_screenshotButton->setEnabled(true);
    // The icon's layer holds the animation and the animation its completion: a strong icon in the
    // completion would keep both alive until the fade ends, and for ever if it never runs.
    std::weak_ptr<ui::View> weakIcon = m_successIcon;
    ui::View::animate(
        0.3,
        [weakIcon] {
            if (auto icon = weakIcon.lock()) icon->setAlpha(1);
        },
        [weakIcon](bool) {
            ui::View::animate(0.3, 2.0, ui::animationOptionsNone, [weakIcon] {
                if (auto icon = weakIcon.lock()) icon->setAlpha(0);
            });
        });
}

}  // namespace reelhaven
