#include "controls/bottom_control_view.h"

#include "controls/control_symbols.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/window.h"
#include "toolkit/image_helpers.h"
#include "toolkit/monospaced_digits.h"

namespace reelhaven {
namespace {

std::shared_ptr<ui::Button> symbolButton(const std::string& symbol, const ui::SymbolConfiguration& configuration) {
    auto button = ui::Button::create(ui::ButtonType::system);
    button->setImage(ui::Image::systemImage(symbol, configuration), ui::normal);
    button->setTintColor(ui::Color::white());
    button->setContentHuggingPriority(750, ui::LayoutAxis::horizontal);
    button->setPointerInteractionEnabled(true);
    return button;
}

// "Inter-Medium" with monospaced digits; without that font the label's own default.
ui::Font timeLabelFont(double size) {
    if (auto font = ui::Font::named("Inter-Medium", size)) {
        return ui::Font::fromDescriptor(withMonospacedDigits(font->fontDescriptor()), 0);
    }
    return ui::Label::create()->font();
}

// A time cut to "…" tells nothing: where the bar is short of room (a window at its smallest) the
// labels keep their texts' width and the buttons give up a little of theirs instead.
constexpr float kTimeCompressionResistance = 999;
constexpr float kButtonWidthPriority = 998;

std::shared_ptr<ui::Label> timeLabel(ui::TextAlignment alignment) {
    auto label = ui::Label::create();
    label->setTextAlignment(alignment);
    label->setFont(timeLabelFont(12));
    label->setText("0:00");
    label->setContentCompressionResistancePriority(kTimeCompressionResistance, ui::LayoutAxis::horizontal);
    return label;
}

std::shared_ptr<DetailScrubber> progressScrubber() {
    auto bar = DetailScrubber::create();
    bar->setMinimumTrackTintColor(ui::Color::white());
    bar->setMaximumTrackTintColor(ui::Color::secondarySystemFill());
    bar->setContentHuggingPriority(1000, ui::LayoutAxis::vertical);
    bar->setMaximumValue(100);
    return bar;
}

std::shared_ptr<ui::StackView> constrainedStack() {
    auto stack = ui::StackView::create();
    stack->setTranslatesAutoresizingMaskIntoConstraints(false);
    return stack;
}

}  // namespace

struct BottomControlView::ArrangementStyle {
    ui::LayoutAxis allControlsAxis;
    ui::StackViewAlignment allControlsAlignment;
    ui::LayoutAxis progressBarAxis;
    double progressBarSpacing;
    ui::EdgeInsets progressBarMargins;
    ui::EdgeInsets labelsMargins;
    ui::TextAlignment progressAlignment;
    ui::TextAlignment durationAlignment;
    double fontSize;
    ui::Size thumbSize;
    double topPadding;
    double bottomPadding;
    bool labelWidthsActive;
};

std::shared_ptr<BottomControlView> BottomControlView::create(const ui::Rect& frame) {
    auto view = std::shared_ptr<BottomControlView>(new BottomControlView(frame));
    view->setupLayout();
    return view;
}

BottomControlView::BottomControlView(const ui::Rect& frame)
    : ui::View(frame),
      m_skipBackwardButton(symbolButton("gobackward.15", skipSymbolConfiguration())),
      m_playPauseButton(symbolButton("play.fill", playSymbolConfiguration())),
      m_skipForwardButton(symbolButton("goforward.15", skipSymbolConfiguration())),
      m_progressBar(progressScrubber()),
      m_progressLabel(timeLabel(ui::TextAlignment::left)),
      m_durationLabel(timeLabel(ui::TextAlignment::right)),
      m_optionsButton(symbolButton("switch.2", buttonSymbolConfiguration())),
      m_audioSubtitlesButton(symbolButton("captions.bubble", buttonSymbolConfiguration())),
      m_visualEffectView(ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark)),
      m_allControlsStack(constrainedStack()),
      m_labelsStack(ui::StackView::create()),
      m_progressBarStack(ui::StackView::create()),
      m_buttonsStack(ui::StackView::create()),
      m_centerButtonsStack(ui::StackView::create()),
      m_paddingView(ui::View::create()) {
    m_visualEffectView->setTranslatesAutoresizingMaskIntoConstraints(false);
    m_allControlsStack->setSpacing(0);
    m_allControlsStack->setAlignment(ui::StackViewAlignment::center);
    m_labelsStack->setAxis(ui::LayoutAxis::horizontal);
    m_labelsStack->setDistribution(ui::StackViewDistribution::equalSpacing);
    // The least gap between the two times, so on the narrowest bar they still read as two.
    m_labelsStack->setSpacing(8);
    m_labelsStack->setLayoutMarginsRelativeArrangement(true);
    m_progressBarStack->setAlignment(ui::StackViewAlignment::fill);
    m_progressBarStack->setContentHuggingPriority(250, ui::LayoutAxis::horizontal);
    m_progressBarStack->setContentCompressionResistancePriority(250, ui::LayoutAxis::horizontal);
    m_progressBarStack->setLayoutMarginsRelativeArrangement(true);
    m_buttonsStack->setAxis(ui::LayoutAxis::horizontal);
    m_buttonsStack->setDistribution(ui::StackViewDistribution::equalCentering);
    m_buttonsStack->setContentHuggingPriority(250, ui::LayoutAxis::horizontal);
    m_centerButtonsStack->setAxis(ui::LayoutAxis::horizontal);
    // The times read along the timeline, which runs left to right whatever the interface's
    // direction: the elapsed time at its start, the duration or time left at its end.
    m_progressBarStack->setSemanticContentAttribute(ui::SemanticContentAttribute::playback);
    m_labelsStack->setSemanticContentAttribute(ui::SemanticContentAttribute::playback);
}

void BottomControlView::setupLayout() {
    addSubview(m_visualEffectView);
    setClipsToBounds(true);
    layer().setCornerCurve(ui::CornerCurve::continuous);
    layer().setCornerRadius(20);

    auto content = m_visualEffectView->contentView();
    m_topPadding = m_allControlsStack->topAnchor().constraint(content->topAnchor(), 0);
    m_bottomPadding = m_allControlsStack->bottomAnchor().constraint(content->bottomAnchor(), 0);
    m_leadingPadding = m_allControlsStack->leadingAnchor().constraint(content->leadingAnchor(), 15);
    m_trailingPadding = m_allControlsStack->trailingAnchor().constraint(content->trailingAnchor(), -15);
    m_progressLabelWidth = m_progressLabel->widthAnchor().constraintGreaterThanOrEqualToConstant(47);
    m_durationLabelWidth = m_durationLabel->widthAnchor().constraintGreaterThanOrEqualToConstant(47);
    content->addSubview(m_allControlsStack);

    std::vector<std::shared_ptr<ui::LayoutConstraint>> constraints{
        m_topPadding,
        m_bottomPadding,
        m_leadingPadding,
        m_trailingPadding,
        m_progressLabelWidth,
        m_durationLabelWidth,
        m_visualEffectView->topAnchor().constraint(topAnchor()),
        m_visualEffectView->bottomAnchor().constraint(bottomAnchor()),
        m_visualEffectView->leadingAnchor().constraint(leadingAnchor()),
        m_visualEffectView->trailingAnchor().constraint(trailingAnchor())};
    for (const auto& button :
         {m_skipBackwardButton, m_playPauseButton, m_skipForwardButton, m_optionsButton, m_audioSubtitlesButton}) {
        auto width = button->widthAnchor().constraintEqualToConstant(50);
        width->setPriority(kButtonWidthPriority);
        constraints.push_back(width);
        constraints.push_back(button->heightAnchor().constraintEqualToConstant(50));
    }
    ui::LayoutConstraint::activate(constraints);
    traitCollectionDidChange(std::optional<ui::TraitCollection>{});
}

void BottomControlView::traitCollectionDidChange(const ui::TraitCollection& previous) {
    traitCollectionDidChange(std::optional<ui::TraitCollection>(previous));
}

void BottomControlView::traitCollectionDidChange(const std::optional<ui::TraitCollection>& previous) {
    const ui::TraitCollection traits = traitCollection();
    if (previous && previous->verticalSizeClass == traits.verticalSizeClass &&
        previous->horizontalSizeClass == traits.horizontalSizeClass) {
        return;
    }
    removeArrangedViews();
    m_arrangedTraits = traits;
    if (traits.horizontalSizeClass != ui::UserInterfaceSizeClass::compact) {
        arrangeWide();
    } else if (traits.verticalSizeClass == ui::UserInterfaceSizeClass::regular) {
        arrangeStacked();
    } else {
        arrangeCompact();
    }
}

void BottomControlView::didMoveToWindow() {
    ui::View::didMoveToWindow();
    traitCollectionDidChange(m_arrangedTraits);
}

void BottomControlView::keepButtonWidthsAlike() {
    // Made anew for each arrangement: removing the buttons from their stacks took the last ones.
    std::vector<std::shared_ptr<ui::LayoutConstraint>> alike;
    for (const auto& button : {m_skipBackwardButton, m_skipForwardButton, m_optionsButton, m_audioSubtitlesButton})
        alike.push_back(button->widthAnchor().constraint(m_playPauseButton->widthAnchor()));
    ui::LayoutConstraint::activate(alike);
}

void BottomControlView::removeArrangedViews() {
    const std::vector<std::shared_ptr<ui::View>> views{
        m_skipBackwardButton,   m_playPauseButton, m_skipForwardButton, m_progressBar,      m_progressLabel,
        m_durationLabel,        m_paddingView,     m_labelsStack,       m_progressBarStack, m_optionsButton,
        m_audioSubtitlesButton, m_buttonsStack,    m_centerButtonsStack};
    for (const auto& view : views) view->removeFromSuperview();
}

void BottomControlView::applyStyle(const ArrangementStyle& style) {
    m_allControlsStack->setAxis(style.allControlsAxis);
    m_allControlsStack->setAlignment(style.allControlsAlignment);
    m_progressBarStack->setAxis(style.progressBarAxis);
    m_progressBarStack->setSpacing(style.progressBarSpacing);
    m_progressBarStack->setLayoutMargins(style.progressBarMargins);
    m_labelsStack->setLayoutMargins(style.labelsMargins);
    m_progressLabel->setTextAlignment(style.progressAlignment);
    m_durationLabel->setTextAlignment(style.durationAlignment);
    m_progressLabel->setFont(timeLabelFont(style.fontSize));
    m_durationLabel->setFont(timeLabelFont(style.fontSize));
    // Invisible, but a touch area of its size.
    auto thumb = filledCircleImage(ui::Color::clear(), style.thumbSize);
    for (auto state : {ui::normal, ui::highlighted, ui::selected}) m_progressBar->setThumbImage(thumb, state);
    m_topPadding->setConstant(style.topPadding);
    m_bottomPadding->setConstant(style.bottomPadding);
    m_leadingPadding->setConstant(15);
    m_trailingPadding->setConstant(-15);
    m_progressLabelWidth->setActive(style.labelWidthsActive);
    m_durationLabelWidth->setActive(style.labelWidthsActive);
}

void BottomControlView::arrangeCompact() {
    m_arrangement = Arrangement::compact;
    applyStyle({ui::LayoutAxis::horizontal,
                ui::StackViewAlignment::center,
                ui::LayoutAxis::vertical,
                0,
                {0, 0, 0, 0},
                {0, 7, 0, 7},
                ui::TextAlignment::left,
                ui::TextAlignment::right,
                12,
                {20, 24},
                0,
                0,
                false});
    m_allControlsStack->addArrangedSubview(m_skipBackwardButton);
    m_allControlsStack->setCustomSpacing(3, m_skipBackwardButton);
    m_allControlsStack->addArrangedSubview(m_playPauseButton);
    m_allControlsStack->setCustomSpacing(3, m_playPauseButton);
    m_allControlsStack->addArrangedSubview(m_skipForwardButton);
    m_allControlsStack->setCustomSpacing(13, m_skipForwardButton);
    m_progressBarStack->addArrangedSubview(m_progressBar);
    m_labelsStack->addArrangedSubview(m_progressLabel);
    m_labelsStack->addArrangedSubview(m_durationLabel);
    m_progressBarStack->addArrangedSubview(m_labelsStack);
    m_progressBarStack->addArrangedSubview(m_paddingView);
    m_progressBarStack->setCustomSpacing(6, m_labelsStack);
    m_allControlsStack->addArrangedSubview(m_progressBarStack);
    m_allControlsStack->setCustomSpacing(13, m_progressBarStack);
    m_allControlsStack->addArrangedSubview(m_optionsButton);
    m_allControlsStack->addArrangedSubview(m_audioSubtitlesButton);
    keepButtonWidthsAlike();
}

void BottomControlView::arrangeWide() {
    m_arrangement = Arrangement::wide;
    applyStyle({ui::LayoutAxis::horizontal,
                ui::StackViewAlignment::center,
                ui::LayoutAxis::horizontal,
                3,
                {0, 0, 0, 0},
                {0, 0, 0, 0},
                ui::TextAlignment::right,
                ui::TextAlignment::left,
                16,
                {20, 50},
                0,
                0,
                true});
    m_allControlsStack->addArrangedSubview(m_skipBackwardButton);
    m_allControlsStack->setCustomSpacing(3, m_skipBackwardButton);
    m_allControlsStack->addArrangedSubview(m_playPauseButton);
    m_allControlsStack->setCustomSpacing(3, m_playPauseButton);
    m_allControlsStack->addArrangedSubview(m_skipForwardButton);
    m_allControlsStack->setCustomSpacing(10, m_skipForwardButton);
    m_progressBarStack->addArrangedSubview(m_progressLabel);
    m_progressBarStack->addArrangedSubview(m_progressBar);
    m_progressBarStack->addArrangedSubview(m_durationLabel);
    m_allControlsStack->addArrangedSubview(m_progressBarStack);
    m_allControlsStack->setCustomSpacing(10, m_progressBarStack);
    m_allControlsStack->addArrangedSubview(m_optionsButton);
    m_allControlsStack->addArrangedSubview(m_audioSubtitlesButton);
    keepButtonWidthsAlike();
}

void BottomControlView::arrangeStacked() {
    m_arrangement = Arrangement::stacked;
    applyStyle({ui::LayoutAxis::vertical,
                ui::StackViewAlignment::fill,
                ui::LayoutAxis::vertical,
                0,
                {0, 3, 0, 3},
                {0, 7, 0, 7},
                ui::TextAlignment::left,
                ui::TextAlignment::right,
                12,
                {20, 30},
                10,
                -10,
                false});
    m_progressBarStack->addArrangedSubview(m_progressBar);
    m_labelsStack->addArrangedSubview(m_progressLabel);
    m_labelsStack->addArrangedSubview(m_durationLabel);
    m_progressBarStack->addArrangedSubview(m_labelsStack);
    m_progressBarStack->addArrangedSubview(m_paddingView);
    m_allControlsStack->addArrangedSubview(m_progressBarStack);
    m_buttonsStack->addArrangedSubview(m_optionsButton);
    m_centerButtonsStack->addArrangedSubview(m_skipBackwardButton);
    m_centerButtonsStack->setCustomSpacing(3, m_skipBackwardButton);
    m_centerButtonsStack->addArrangedSubview(m_playPauseButton);
    m_centerButtonsStack->setCustomSpacing(3, m_playPauseButton);
    m_centerButtonsStack->addArrangedSubview(m_skipForwardButton);
    m_buttonsStack->addArrangedSubview(m_centerButtonsStack);
    m_buttonsStack->addArrangedSubview(m_audioSubtitlesButton);
    m_allControlsStack->addArrangedSubview(m_buttonsStack);
    keepButtonWidthsAlike();
}

}  // namespace reelhaven
