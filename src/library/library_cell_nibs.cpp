#include "library/library_cell_nibs.h"

#include <mutex>
#include <vector>

#include "library/folder_collection_view_cell.h"
#include "library/time_remaining_view.h"
#include "library/video_collection_view_cell.h"
#include "platform/ui/controllers/nib.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/text/font.h"

namespace reelhaven {
namespace {

using Objects = std::vector<std::shared_ptr<ui::Object>>;
using Constraints = std::vector<std::shared_ptr<ui::LayoutConstraint>>;

// Below the thumbnail plate: the title and one line of detail.
constexpr double kCaptionHeight = 38;

template <typename T>
std::shared_ptr<T> added(const std::shared_ptr<ui::View>& parent, std::shared_ptr<T> view) {
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    parent->addSubview(view);
    return view;
}

Constraints pinned(const std::shared_ptr<ui::View>& view, const std::shared_ptr<ui::View>& to, double inset = 0) {
    return {view->leadingAnchor().constraint(to->leadingAnchor(), inset),
            view->trailingAnchor().constraint(to->trailingAnchor(), -inset),
            view->topAnchor().constraint(to->topAnchor(), inset),
            view->bottomAnchor().constraint(to->bottomAnchor(), -inset)};
}

void append(Constraints& into, const Constraints& more) { into.insert(into.end(), more.begin(), more.end()); }

std::shared_ptr<ScrollingLabel> makeTitleLabel() {
    auto label = ScrollingLabel::create();
    label->setFont(ui::Font::named("Inter-SemiBold", 14).value_or(ui::Font::systemFont(14)));
    // Titles stay still until the browser's screen has appeared.
    label->setLabelize(true);
    return label;
}

std::shared_ptr<ui::Label> makeDetailLabel(double size) {
    auto label = ui::Label::create();
    label->setFont(ui::Font::named("Inter-Medium", size).value_or(ui::Font::systemFont(size)));
    return label;
}

// The title under the plate, the detail line under the title, the check mark on the plate.
void placeCaption(Constraints& constraints, const std::shared_ptr<ui::View>& container,
                  const std::shared_ptr<ui::View>& plate, const std::shared_ptr<ui::View>& title,
                  const std::shared_ptr<ui::View>& detail, const std::shared_ptr<ui::View>& checkmark) {
    append(constraints, {plate->leadingAnchor().constraint(container->leadingAnchor(), 0),
                         plate->trailingAnchor().constraint(container->trailingAnchor(), 0),
                         plate->topAnchor().constraint(container->topAnchor(), 0),
                         plate->bottomAnchor().constraint(container->bottomAnchor(), -kCaptionHeight),
                         title->leadingAnchor().constraint(container->leadingAnchor(), 4),
                         title->trailingAnchor().constraint(container->trailingAnchor(), -4),
                         title->topAnchor().constraint(plate->bottomAnchor(), 4),
                         title->heightAnchor().constraintEqualToConstant(18),
                         detail->leadingAnchor().constraint(container->leadingAnchor(), 4),
                         detail->trailingAnchor().constraint(container->trailingAnchor(), -4),
                         detail->topAnchor().constraint(title->bottomAnchor(), 0),
                         checkmark->centerXAnchor().constraint(plate->centerXAnchor(), 0),
                         checkmark->centerYAnchor().constraint(plate->centerYAnchor(), 0),
                         checkmark->widthAnchor().constraintEqualToConstant(30),
                         checkmark->heightAnchor().constraintEqualToConstant(30)});
}

Objects buildVideoCell(const std::shared_ptr<ui::Object>&) {
    auto cell = VideoCollectionViewCell::create(ui::Rect(0, 0, 180, 150));
    auto content = cell->contentView();
    auto container = added(content, ui::View::create());
    auto thumbnail = added(container, ui::View::create());
    auto image = added(thumbnail, ui::ImageView::create());
    image->setContentMode(ui::ContentMode::scaleAspectFill);
    auto progress = added(thumbnail, ui::ProgressView::create());
    auto timestamp = added(thumbnail, makeDetailLabel(12));
    auto badge = added(thumbnail, ui::View::create());
    auto remaining = added(badge, makeDetailLabel(12));
    auto finished = added(container, ui::ImageView::create(ui::Image::systemImage("checkmark.circle.fill")));
    auto subtitles = added(container, ExternalSubtitleIconView::create());
    auto title = added(container, makeTitleLabel());
    auto size = added(container, makeDetailLabel(12));
    auto checkmark = added(container, CheckMark::create());

    Constraints constraints = pinned(container, content);
    append(constraints, pinned(image, thumbnail));
    placeCaption(constraints, container, thumbnail, title, size, checkmark);
    append(constraints, {progress->leadingAnchor().constraint(thumbnail->leadingAnchor(), 0),
                         progress->trailingAnchor().constraint(thumbnail->trailingAnchor(), 0),
                         progress->bottomAnchor().constraint(thumbnail->bottomAnchor(), 0),
                         progress->heightAnchor().constraintEqualToConstant(4),
                         timestamp->trailingAnchor().constraint(thumbnail->trailingAnchor(), -8),
                         timestamp->bottomAnchor().constraint(thumbnail->bottomAnchor(), -10),
                         badge->leadingAnchor().constraint(thumbnail->leadingAnchor(), 8),
                         badge->bottomAnchor().constraint(thumbnail->bottomAnchor(), -10),
                         remaining->leadingAnchor().constraint(badge->leadingAnchor(), 6),
                         remaining->trailingAnchor().constraint(badge->trailingAnchor(), -6),
                         remaining->topAnchor().constraint(badge->topAnchor(), 3),
                         remaining->bottomAnchor().constraint(badge->bottomAnchor(), -3),
                         finished->topAnchor().constraint(thumbnail->topAnchor(), 8),
                         finished->trailingAnchor().constraint(thumbnail->trailingAnchor(), -8),
                         finished->widthAnchor().constraintEqualToConstant(24),
                         finished->heightAnchor().constraintEqualToConstant(24),
                         subtitles->topAnchor().constraint(thumbnail->topAnchor(), 8),
                         subtitles->leadingAnchor().constraint(thumbnail->leadingAnchor(), 8),
                         subtitles->widthAnchor().constraintEqualToConstant(28),
                         subtitles->heightAnchor().constraintEqualToConstant(28)});
    ui::LayoutConstraint::activate(constraints);

    cell->setTitleLabel(title);
    cell->setSelectedCheckmark(checkmark);
    cell->connect({thumbnail, container, image, timestamp, progress, finished, remaining, badge, size, subtitles});
    subtitles->awakeFromNib();
    cell->awakeFromNib();
    return {cell};
}

Objects buildFolderCell(const std::shared_ptr<ui::Object>&) {
    auto cell = FolderCollectionViewCell::create(ui::Rect(0, 0, 180, 150));
    auto content = cell->contentView();
    auto container = added(content, ui::View::create());
    auto plate = added(container, ui::View::create());
    auto title = added(container, makeTitleLabel());
    auto contents = added(container, makeDetailLabel(12));
    auto checkmark = added(container, CheckMark::create());

    Constraints constraints = pinned(container, content);
    placeCaption(constraints, container, plate, title, contents, checkmark);
    // Two by two previews with 8 points around and 6 between.
    std::array<std::weak_ptr<ui::ImageView>, FolderCollectionViewCell::thumbCount> thumbs;
    for (int index = 0; index < FolderCollectionViewCell::thumbCount; ++index) {
        auto thumb = added(plate, ui::ImageView::create());
        thumb->setContentMode(ui::ContentMode::scaleAspectFill);
        const bool left = index % 2 == 0;
        const bool top = index < 2;
        append(constraints, {thumb->widthAnchor().constraint(plate->widthAnchor(), 0.5, -11),
                             thumb->heightAnchor().constraint(plate->heightAnchor(), 0.5, -11),
                             left ? thumb->leadingAnchor().constraint(plate->leadingAnchor(), 8)
                                  : thumb->trailingAnchor().constraint(plate->trailingAnchor(), -8),
                             top ? thumb->topAnchor().constraint(plate->topAnchor(), 8)
                                 : thumb->bottomAnchor().constraint(plate->bottomAnchor(), -8)});
        thumbs[static_cast<std::size_t>(index)] = thumb;
    }
    ui::LayoutConstraint::activate(constraints);

    cell->setTitleLabel(title);
    cell->setSelectedCheckmark(checkmark);
    cell->connect({container, contents, plate, thumbs});
    cell->awakeFromNib();
    return {cell};
}

}  // namespace

void registerLibraryCellNibs() {
    static std::once_flag once;
    std::call_once(once, [] {
        ui::Nib::registerNib(VideoCollectionViewCell::nibName, &buildVideoCell);
        ui::Nib::registerNib(FolderCollectionViewCell::nibName, &buildFolderCell);
    });
}

}  // namespace reelhaven
