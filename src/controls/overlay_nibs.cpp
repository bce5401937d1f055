#include "controls/overlay_nibs.h"

#include <mutex>

#include "controls/note_view.h"
#include "controls/title_view.h"
#include "platform/ui/controllers/nib.h"
#include "platform/ui/layout/layout_constraint.h"

namespace reelhaven {
namespace {

using Objects = std::vector<std::shared_ptr<ui::Object>>;

constexpr double kArrowSide = 20;

template <typename T>
std::shared_ptr<T> constrained(std::shared_ptr<T> view) {
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    return view;
}

void pinEdges(const std::shared_ptr<ui::View>& view, const std::shared_ptr<ui::View>& to, double inset) {
    ui::LayoutConstraint::activate({view->leadingAnchor().constraint(to->leadingAnchor(), inset),
                                    view->trailingAnchor().constraint(to->trailingAnchor(), -inset),
                                    view->topAnchor().constraint(to->topAnchor(), inset),
                                    view->bottomAnchor().constraint(to->bottomAnchor(), -inset)});
}

}  // namespace

// The file's content: a blurred panel with the offset and its arrow on top, the bar in the middle
// and the target time and duration at either end below it.
class NoteViewNib {
public:
    static Objects build(const std::shared_ptr<ui::Object>& owner) {
        auto content = constrained(ui::View::create());
        auto blur = constrained(ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark));
        auto arrow = constrained(ui::ImageView::create());
        auto offset = constrained(ui::Label::create());
        auto bar = constrained(ProgressView::create());
        auto progress = constrained(ui::Label::create());
        auto duration = constrained(ui::Label::create());
        content->addSubview(blur);
        pinEdges(blur, content, 0);
        for (const auto& view : std::vector<std::shared_ptr<ui::View>>{arrow, offset, bar, progress, duration}) {
            blur->contentView()->addSubview(view);
        }
        auto panel = blur->contentView();
        ui::LayoutConstraint::activate({
            arrow->leadingAnchor().constraint(panel->leadingAnchor(), 16),
            // Sized here: the arrow has no image until the first seek gives it a direction.
            arrow->widthAnchor().constraintEqualToConstant(kArrowSide),
            arrow->heightAnchor().constraintEqualToConstant(kArrowSide),
            arrow->centerYAnchor().constraint(offset->centerYAnchor(), 0),
            offset->leadingAnchor().constraint(arrow->trailingAnchor(), 8),
            offset->topAnchor().constraint(panel->topAnchor(), 12),
            bar->leadingAnchor().constraint(panel->leadingAnchor(), 16),
            bar->trailingAnchor().constraint(panel->trailingAnchor(), -16),
            bar->topAnchor().constraint(offset->bottomAnchor(), 10),
            bar->heightAnchor().constraintEqualToConstant(3),
            progress->leadingAnchor().constraint(bar->leadingAnchor(), 0),
            progress->topAnchor().constraint(bar->bottomAnchor(), 6),
            progress->bottomAnchor().constraint(panel->bottomAnchor(), -12),
            duration->trailingAnchor().constraint(bar->trailingAnchor(), 0),
            duration->firstBaselineAnchor().constraint(progress->firstBaselineAnchor(), 0),
        });
        if (auto note = std::dynamic_pointer_cast<NoteView>(owner)) {
            note->m_visualEffectView = blur;
            note->m_arrowView = arrow;
            note->m_timeOffsetLabel = offset;
            note->m_progressBar = bar;
            note->m_progressLabel = progress;
            note->m_durationLabel = duration;
        }
        return {content};
    }
};

// The file's content: a blurred panel with the title label inset from its edges.
class TitleViewNib {
public:
    static Objects build(const std::shared_ptr<ui::Object>& owner) {
        auto content = constrained(ui::View::create());
        auto blur = constrained(ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark));
        auto title = constrained(ui::Label::create());
        content->addSubview(blur);
        pinEdges(blur, content, 0);
        blur->contentView()->addSubview(title);
        pinEdges(title, blur->contentView(), 14);
        if (auto view = std::dynamic_pointer_cast<TitleView>(owner)) {
            view->m_visualEffectView = blur;
            view->m_titleLabel = title;
        }
        return {content};
    }
};

void registerOverlayNibs() {
    static std::once_flag once;
    std::call_once(once, [] {
        ui::Nib::registerNib("NoteView", &NoteViewNib::build);
        ui::Nib::registerNib("TitleView", &TitleViewNib::build);
    });
}

}  // namespace reelhaven
