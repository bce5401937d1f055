#include "controls/note_view.h"

#include "controls/overlay_nibs.h"
#include "controls/time_text.h"
#include "platform/base/fatal.h"
#include "platform/ui/views/image.h"

namespace reelhaven {

std::shared_ptr<NoteView> NoteView::create(const ui::Rect& frame) {
    registerOverlayNibs();
    auto view = std::shared_ptr<NoteView>(new NoteView(frame));
    view->setupFromNib();
    view->awakeFromNib();
    return view;
}

template <typename T>
std::shared_ptr<T> NoteView::outlet(const std::weak_ptr<T>& view) const {
    auto strong = view.lock();
    if (!strong) base::fatal("NoteView: an outlet is not connected");
    return strong;
}

void NoteView::awakeFromNib() {
    setBackgroundColor(ui::Color::clear());
    auto blur = outlet(m_visualEffectView);
    blur->layer().setCornerRadius(22);
    blur->layer().setCornerCurve(ui::CornerCurve::continuous);
    blur->layer().setMasksToBounds(true);
    applyFonts();
    auto offset = outlet(m_timeOffsetLabel);
    offset->setTextColor(ui::Color::white());
    offset->sizeToFit();
    offset->setTextAlignment(ui::TextAlignment::left);
    auto progress = outlet(m_progressLabel);
    progress->setTextColor(ui::Color::white());
    progress->sizeToFit();
    progress->setTextAlignment(ui::TextAlignment::left);
    auto duration = outlet(m_durationLabel);
    duration->setTextColor(ui::Color::secondaryLabel());
    duration->sizeToFit();
    duration->setTextAlignment(ui::TextAlignment::right);
}

void NoteView::traitCollectionDidChange(const ui::TraitCollection& /*previous*/) { applyFonts(); }

void NoteView::applyFonts() {
    const auto traits = traitCollection();
    const bool regular = traits.verticalSizeClass == ui::UserInterfaceSizeClass::regular &&
                         traits.horizontalSizeClass == ui::UserInterfaceSizeClass::regular;
    outlet(m_timeOffsetLabel)->setFont(monospacedDigitFont("Inter-Bold", regular ? 24 : 22));
    const ui::Font times = monospacedDigitFont("Inter-Medium", regular ? 14 : 12);
    outlet(m_progressLabel)->setFont(times);
    outlet(m_durationLabel)->setFont(times);
}

void NoteView::setHidden(bool hidden) {
    ui::View::setHidden(hidden);
    setSeekDirection(std::nullopt);
}

void NoteView::update(double timeOffset, double progress, double duration) {
    const std::string offset = timeText(timeOffset);
    if (timeOffset < 0) {
        outlet(m_timeOffsetLabel)->setText(offset == "0:00" || offset.empty() ? offset : offset.substr(1));
        setSeekDirection(ArrowDirection::left);
    } else {
        outlet(m_timeOffsetLabel)->setText(offset);
        setSeekDirection(ArrowDirection::right);
    }
    outlet(m_progressLabel)->setText(timeText(progress));
    outlet(m_durationLabel)->setText(timeText(duration));
    outlet(m_progressBar)->setProgress(static_cast<float>(progress / duration));
}

void NoteView::setSeekDirection(std::optional<ArrowDirection> direction) {
    const auto old = m_seekDirection;
    m_seekDirection = direction;
    if (old == direction) return;
    auto arrow = outlet(m_arrowView);
    auto image = ui::Image::systemImage(direction == ArrowDirection::right ? "arrow.right" : "arrow.left");
    if (!old) {
        arrow->setImage(image);
        return;
    }
    ui::View::transition(arrow, 0.2, ui::transitionCrossDissolve, [arrow, image] { arrow->setImage(image); });
}

}  // namespace reelhaven
