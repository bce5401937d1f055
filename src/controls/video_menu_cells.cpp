#include "controls/video_menu_cells.h"

#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/views/image.h"

namespace reelhaven {
namespace {

constexpr double kSelectionDuration = 0.3;

ui::Font fontOrSystem(const std::string& name, double size) {
    return ui::Font::named(name, size).value_or(ui::Font::systemFont(size));
}

void useConstraints(const std::vector<std::shared_ptr<ui::View>>& views) {
    for (const auto& view : views) view->setTranslatesAutoresizingMaskIntoConstraints(false);
}

std::shared_ptr<ui::Image> bookmark(const std::string& name) {
    return ui::Image::systemImage(name, ui::SymbolConfiguration{14, ui::SymbolWeight::medium, ui::SymbolScale::large});
}

}  // namespace

std::shared_ptr<VideoMenuPlaylistItemCell> VideoMenuPlaylistItemCell::create(const ui::Rect& frame) {
    auto cell = std::shared_ptr<VideoMenuPlaylistItemCell>(new VideoMenuPlaylistItemCell(frame));
    cell->setupViews();
    return cell;
}

VideoMenuPlaylistItemCell::VideoMenuPlaylistItemCell(const ui::Rect& frame)
    : ui::CollectionViewCell(frame),
      m_containerStackView(ui::StackView::create()),
      m_selectionView(ui::View::create()),
      m_thumbnail(ui::ImageView::create()),
      m_overlay(ui::ImageView::create()),
      m_infoStackView(ui::StackView::create()),
      m_titleLabel(ui::Label::create()),
      m_durationLabel(ui::Label::create()),
      m_vibrancyView(ui::VisualEffectView::createVibrancy(ui::VisualEffectView::BlurStyle::dark)),
      m_divider(ui::View::create()) {}

void VideoMenuPlaylistItemCell::setupViews() {
    useConstraints({m_containerStackView, m_selectionView, m_thumbnail, m_overlay, m_infoStackView, m_titleLabel,
                    m_durationLabel, m_vibrancyView, m_divider});
    m_divider->setBackgroundColor(ui::Color::systemGray3());
    m_divider->setAlpha(0.65);
    m_selectionView->layer().setCornerCurve(ui::CornerCurve::continuous);
    m_selectionView->layer().setCornerRadius(7);
    m_selectionView->setClipsToBounds(true);
    m_selectionView->setBackgroundColor(ui::Color::clear());
    m_containerStackView->setAxis(ui::LayoutAxis::horizontal);
    m_containerStackView->setSpacing(10);
    m_infoStackView->setAxis(ui::LayoutAxis::vertical);
    m_infoStackView->setSpacing(2);
    m_infoStackView->setAlignment(ui::StackViewAlignment::leading);
    m_thumbnail->layer().setCornerRadius(5);
    m_thumbnail->layer().setCornerCurve(ui::CornerCurve::continuous);
    m_thumbnail->setContentMode(ui::ContentMode::scaleAspectFill);
    m_thumbnail->layer().setMasksToBounds(true);
    m_overlay->setBackgroundColor(ui::Color::black().withAlpha(0.5));
    m_overlay->setImage(ui::Image::systemImage("play.fill"));
    m_overlay->setContentMode(ui::ContentMode::center);
    m_overlay->setTintColor(ui::Color::white());
    m_thumbnail->addSubview(m_overlay);
    m_overlay->setHidden(true);
    m_titleLabel->setFont(fontOrSystem("Inter-Regular", 15));
    m_titleLabel->setTextColor(ui::Color::white());
    m_titleLabel->setNumberOfLines(2);
    m_titleLabel->setLineBreakMode(ui::LineBreakMode::byTruncatingTail);
    m_titleLabel->setAdjustsFontSizeToFitWidth(true);
    m_titleLabel->setMinimumScaleFactor(0.7);
    m_durationLabel->setFont(fontOrSystem("Inter-Medium", 11));
    m_durationLabel->setTextColor(ui::Color::secondaryLabel());
    m_durationLabel->setContentHuggingPriority(1000, ui::LayoutAxis::vertical);
    m_durationLabel->setContentCompressionResistancePriority(1000, ui::LayoutAxis::vertical);

    m_selectionView->addSubview(m_thumbnail);
    m_containerStackView->addArrangedSubview(m_selectionView);
    m_containerStackView->addArrangedSubview(m_infoStackView);
    m_infoStackView->addArrangedSubview(m_titleLabel);
    m_infoStackView->addArrangedSubview(m_durationLabel);
    auto content = contentView();
    content->addSubview(m_containerStackView);
    content->addSubview(m_vibrancyView);
    auto vibrancyContent = m_vibrancyView->contentView();
    vibrancyContent->addSubview(m_divider);

    ui::LayoutConstraint::activate({
        m_containerStackView->leadingAnchor().constraint(content->leadingAnchor(), 10),
        m_containerStackView->trailingAnchor().constraint(content->trailingAnchor(), -10),
        // 8 above and below: the 49-point framed thumbnail fills the 65-point row exactly (10
        // each would ask for 69 points and break the row's own height).
        m_containerStackView->topAnchor().constraint(content->topAnchor(), 8),
        m_containerStackView->bottomAnchor().constraint(content->bottomAnchor(), -8),
        m_thumbnail->heightAnchor().constraintEqualToConstant(45),
        m_thumbnail->widthAnchor().constraintEqualToConstant(80),
        m_selectionView->leadingAnchor().constraint(m_thumbnail->leadingAnchor(), -2),
        m_selectionView->trailingAnchor().constraint(m_thumbnail->trailingAnchor(), 2),
        m_selectionView->topAnchor().constraint(m_thumbnail->topAnchor(), -2),
        m_selectionView->bottomAnchor().constraint(m_thumbnail->bottomAnchor(), 2),
        m_overlay->heightAnchor().constraintEqualToConstant(50),
        m_overlay->widthAnchor().constraintEqualToConstant(80),
        m_overlay->centerXAnchor().constraint(m_thumbnail->centerXAnchor()),
        m_overlay->centerYAnchor().constraint(m_thumbnail->centerYAnchor()),
        m_vibrancyView->heightAnchor().constraintEqualToConstant(1),
        m_vibrancyView->leadingAnchor().constraint(content->leadingAnchor(), 10),
        m_vibrancyView->trailingAnchor().constraint(content->trailingAnchor(), -10),
        m_vibrancyView->topAnchor().constraint(content->bottomAnchor()),
        m_divider->leadingAnchor().constraint(vibrancyContent->leadingAnchor()),
        m_divider->trailingAnchor().constraint(vibrancyContent->trailingAnchor()),
        m_divider->topAnchor().constraint(vibrancyContent->topAnchor()),
        m_divider->bottomAnchor().constraint(vibrancyContent->bottomAnchor()),
    });
}

void VideoMenuPlaylistItemCell::setSelected(bool selected) {
    ui::CollectionViewCell::setSelected(selected);
    updateSelection();
}

void VideoMenuPlaylistItemCell::updateSelection() {
    const bool selected = isSelected();
    auto overlay = m_overlay;
    auto frame = m_selectionView;
    ui::View::animate(kSelectionDuration, [overlay, frame, selected] {
        overlay->setHidden(!selected);
        frame->setBackgroundColor(selected ? ui::Color::systemBlue() : ui::Color::clear());
    });
}

std::shared_ptr<VideoMenuChapterCell> VideoMenuChapterCell::create(const ui::Rect& frame) {
    auto cell = std::shared_ptr<VideoMenuChapterCell>(new VideoMenuChapterCell(frame));
    cell->setupViews();
    return cell;
}

VideoMenuChapterCell::VideoMenuChapterCell(const ui::Rect& frame)
    : ui::CollectionViewCell(frame),
      m_containerStackView(ui::StackView::create()),
      m_selectionView(ui::View::create()),
      m_iconView(ui::ImageView::create()),
      m_titleLabel(ui::Label::create()),
      m_startTimeLabel(ui::Label::create()) {}

void VideoMenuChapterCell::setupViews() {
    useConstraints({m_containerStackView, m_selectionView, m_iconView, m_titleLabel, m_startTimeLabel});
    m_selectionView->layer().setCornerCurve(ui::CornerCurve::continuous);
    m_selectionView->layer().setCornerRadius(10);
    m_selectionView->setClipsToBounds(true);
    m_selectionView->setBackgroundColor(ui::Color::clear());
    m_iconView->setImage(bookmark("bookmark"));
    m_iconView->setTintColor(ui::Color::white());
    m_iconView->setContentCompressionResistancePriority(1000, ui::LayoutAxis::horizontal);
    m_titleLabel->setTextColor(ui::Color::white());
    m_titleLabel->setFont(fontOrSystem("Inter-Medium", 14));
    m_titleLabel->setContentCompressionResistancePriority(250, ui::LayoutAxis::horizontal);
    m_startTimeLabel->setTextColor(ui::Color::secondaryLabel());
    m_startTimeLabel->setFont(fontOrSystem("Inter-Regular", 12));
    m_startTimeLabel->setContentCompressionResistancePriority(750, ui::LayoutAxis::horizontal);
    m_containerStackView->setAxis(ui::LayoutAxis::horizontal);
    m_containerStackView->setAlignment(ui::StackViewAlignment::firstBaseline);
    m_containerStackView->setSpacing(10);
    for (const auto& view :
         std::vector<std::shared_ptr<ui::View>>{m_iconView, m_titleLabel, ui::View::create(), m_startTimeLabel}) {
        m_containerStackView->addArrangedSubview(view);
    }
    m_selectionView->addSubview(m_containerStackView);
    auto content = contentView();
    content->addSubview(m_selectionView);
    ui::LayoutConstraint::activate({
        m_selectionView->leadingAnchor().constraint(content->leadingAnchor(), 5),
        m_selectionView->trailingAnchor().constraint(content->trailingAnchor(), -10),
        m_selectionView->topAnchor().constraint(content->topAnchor(), 5),
        m_selectionView->bottomAnchor().constraint(content->bottomAnchor(), -5),
        m_containerStackView->leadingAnchor().constraint(m_selectionView->leadingAnchor(), 8),
        m_containerStackView->trailingAnchor().constraint(m_selectionView->trailingAnchor(), -8),
        // The row hugs its content and sits in the middle of the plate, no nearer than 2 points to
        // its top and 8 to its bottom: pinned to both, the 24-point row would hold its text at its
        // top, some 5 points above the plate's middle.
        m_containerStackView->centerYAnchor().constraint(m_selectionView->centerYAnchor()),
        m_containerStackView->topAnchor().constraintGreaterThanOrEqualTo(m_selectionView->topAnchor(), 2),
        m_containerStackView->bottomAnchor().constraintLessThanOrEqualTo(m_selectionView->bottomAnchor(), -8),
    });
}

void VideoMenuChapterCell::setSelected(bool selected) {
    ui::CollectionViewCell::setSelected(selected);
    updateSelection();
}

void VideoMenuChapterCell::updateSelection() {
    std::weak_ptr<VideoMenuChapterCell> weak = sharedAs<VideoMenuChapterCell>();
    const bool selected = isSelected();
    ui::View::animate(kSelectionDuration, [weak, selected] {
        auto self = weak.lock();
        if (!self) return;
        if (selected) {
            self->applySelectionStyle(ui::Color::systemBlue(), ui::Color::white(), "bookmark.fill");
        } else {
            self->applySelectionStyle(ui::Color::clear(), ui::Color::secondaryLabel(), "bookmark");
        }
    });
}

void VideoMenuChapterCell::applySelectionStyle(const ui::Color& background, const ui::Color& timeColor,
                                               const std::string& iconName) {
    m_selectionView->setBackgroundColor(background);
    m_startTimeLabel->setTextColor(timeColor);
    m_iconView->setImage(bookmark(iconName));
}

}  // namespace reelhaven
