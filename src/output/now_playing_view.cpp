#include "output/now_playing_view.h"

#include <mutex>

#include "platform/base/fatal.h"
#include "platform/ui/controllers/nib.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/layout/stack_view.h"

namespace reelhaven {

// The file's content: the thumbnail above the title, centred.
class NowPlayingViewNib {
public:
    static std::vector<std::shared_ptr<ui::Object>> build(const std::shared_ptr<ui::Object>& owner) {
        auto content = ui::View::create();
        content->setTranslatesAutoresizingMaskIntoConstraints(false);
        auto image = ui::ImageView::create();
        auto title = ui::Label::create();
        title->setTextAlignment(ui::TextAlignment::center);
        title->setTextColor(ui::Color::white());
        auto stack = ui::StackView::create({image, title});
        stack->setAxis(ui::LayoutAxis::vertical);
        stack->setAlignment(ui::StackViewAlignment::center);
        stack->setSpacing(12);
        stack->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(stack);
        ui::LayoutConstraint::activate({
            stack->centerXAnchor().constraint(content->centerXAnchor(), 0),
            stack->centerYAnchor().constraint(content->centerYAnchor(), 0),
            stack->leadingAnchor().constraintGreaterThanOrEqualTo(content->leadingAnchor(), 16),
            image->widthAnchor().constraintEqualToConstant(240),
            image->heightAnchor().constraintEqualToConstant(135),
        });
        if (auto view = std::dynamic_pointer_cast<NowPlayingView>(owner)) {
            view->m_imageView = image;
            view->m_titleLabel = title;
        }
        return {content};
    }
};

std::shared_ptr<NowPlayingView> NowPlayingView::create(const ui::Rect& frame) {
    static std::once_flag once;
    std::call_once(once, [] { ui::Nib::registerNib("NowPlayingView", &NowPlayingViewNib::build); });
    auto view = std::shared_ptr<NowPlayingView>(new NowPlayingView(frame));
    view->setupFromNib();
    view->setup();
    return view;
}

void NowPlayingView::setup() {
    if (auto image = m_imageView.lock()) {
        image->layer().setCornerRadius(8);
        image->layer().setCornerCurve(ui::CornerCurve::continuous);
        image->layer().setMasksToBounds(true);
    }
    setUserInteractionEnabled(false);
}

void NowPlayingView::update() {
    auto image = m_imageView.lock();
    auto title = m_titleLabel.lock();
    if (!image || !title) base::fatal("NowPlayingView: an outlet is not connected");
    auto thumbnail = video ? video->image() : nullptr;
    image->setImage(thumbnail ? ui::Image::create(*thumbnail) : nullptr);
    title->setText(video ? std::optional<std::string>(video->displayName()) : std::nullopt);
}

}  // namespace reelhaven
