#include "toolkit/empty_data_set.h"

#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/table_view.h"
#include "toolkit/weak_object_container.h"

namespace reelhaven {

namespace {

constexpr const char* sourceKey = "emptyDataSetSource";
constexpr const char* delegateKey = "emptyDataSetDelegate";
constexpr const char* viewKey = "emptyDataSetView";
constexpr const char* tapDelegateKey = "emptyDataSetTapDelegate";
constexpr const char* reloadObserverKey = "emptyDataSetReloadObserver";

// Refreshes the placeholder of the list it observes. The list holds it weakly and the list's
// association holds it strongly, so it lives exactly as long as the subscription.
class ReloadObserver : public ui::ItemListViewObserver {
public:
    void listViewWillReload(ui::ItemListView& view) override { EmptyDataSet::reloadEmptyDataSet(view); }
    void listViewDidEndUpdates(ui::ItemListView& view) override { EmptyDataSet::reloadEmptyDataSet(view); }
};

// Answers for the placeholder's tap recogniser, as the scroll view does on the platform.
class TapDelegate : public ui::GestureRecognizerDelegate {
public:
    explicit TapDelegate(std::weak_ptr<ui::ScrollView> scrollView) : m_scrollView(std::move(scrollView)) {}

    bool gestureRecognizerShouldBegin(ui::GestureRecognizer& recognizer) override {
        auto scrollView = m_scrollView.lock();
        if (!scrollView) return true;
        auto placeholder = EmptyDataSet::emptyDataSetView(*scrollView, false);
        if (placeholder && recognizer.view() == placeholder) {
            auto d = EmptyDataSet::emptyDataSetDelegate(*scrollView);
            return d ? d->emptyDataSetShouldAllowTouch(*scrollView).value_or(true) : true;
        }
        return true;
    }

    bool shouldRecognizeSimultaneously(ui::GestureRecognizer& recognizer, ui::GestureRecognizer& other) override {
        auto scrollView = m_scrollView.lock();
        if (!scrollView) return false;
        auto placeholder = EmptyDataSet::emptyDataSetView(*scrollView, false);
        if (placeholder && (placeholder->tapGesture.get() == &recognizer || placeholder->tapGesture.get() == &other))
            return true;
        auto d = EmptyDataSet::emptyDataSetDelegate(*scrollView);
        if (d && dynamic_cast<ui::ScrollView*>(d.get()) != scrollView.get()) {
            if (auto answer = d->shouldRecognizeSimultaneously(recognizer, other)) return *answer;
        }
        return false;
    }

private:
    std::weak_ptr<ui::ScrollView> m_scrollView;
};

}  // namespace

// ----- Source, delegate, visibility -----

void EmptyDataSet::setEmptyDataSetSource(ui::ScrollView& scrollView,
                                         const std::shared_ptr<EmptyDataSetSource>& source) {
    if (!source || !canDisplay(scrollView)) invalidate(scrollView);
    scrollView.setAssociatedObject(sourceKey, std::make_shared<WeakObjectContainer<EmptyDataSetSource>>(source));
    observeReloads(scrollView, source != nullptr);
}

void EmptyDataSet::observeReloads(ui::ScrollView& scrollView, bool observe) {
    auto* list = dynamic_cast<ui::ItemListView*>(&scrollView);
    if (!list) return;  // a plain scroll view has no reloads to follow
    auto current = scrollView.associated<ReloadObserver>(reloadObserverKey);
    if (observe == (current != nullptr)) return;
    if (observe) {
        auto observer = std::make_shared<ReloadObserver>();
        list->addObserver(observer);
        scrollView.setAssociatedObject(reloadObserverKey, observer);
    } else {
        list->removeObserver(*current);
        scrollView.setAssociatedObject(reloadObserverKey, nullptr);
    }
}

bool EmptyDataSet::isObservingReloads(const ui::ScrollView& scrollView) {
    return scrollView.associated<ReloadObserver>(reloadObserverKey) != nullptr;
}

std::shared_ptr<EmptyDataSetSource> EmptyDataSet::emptyDataSetSource(const ui::ScrollView& scrollView) {
    auto box = scrollView.associated<WeakObjectContainer<EmptyDataSetSource>>(sourceKey);
    return box ? box->weakObject() : nullptr;
}

void EmptyDataSet::setEmptyDataSetDelegate(ui::ScrollView& scrollView, const std::shared_ptr<EmptyDataSetDelegate>& d) {
    if (!d) invalidate(scrollView);
    scrollView.setAssociatedObject(delegateKey, std::make_shared<WeakObjectContainer<EmptyDataSetDelegate>>(d));
}

std::shared_ptr<EmptyDataSetDelegate> EmptyDataSet::emptyDataSetDelegate(const ui::ScrollView& scrollView) {
    auto box = scrollView.associated<WeakObjectContainer<EmptyDataSetDelegate>>(delegateKey);
    return box ? box->weakObject() : nullptr;
}

bool EmptyDataSet::isEmptyDataSetVisible(const ui::ScrollView& scrollView) {
    auto view = scrollView.associated<EmptyDataSetView>(viewKey);
    return view && !view->isHidden();
}

bool EmptyDataSet::canDisplay(const ui::ScrollView& scrollView) { return emptyDataSetSource(scrollView) != nullptr; }

int EmptyDataSet::itemsCount(ui::ScrollView& scrollView) {
    int items = 0;
    if (auto* table = dynamic_cast<ui::TableView*>(&scrollView)) {
        auto source = table->dataSource();
        if (!source) return 0;
        const int sections = source->numberOfSections(*table);
        for (int s = 0; s < sections; ++s) items += source->numberOfRows(*table, s);
    } else if (auto* collection = dynamic_cast<ui::CollectionView*>(&scrollView)) {
        auto source = collection->dataSource();
        if (!source) return 0;
        const int sections = source->numberOfSections(*collection);
        for (int s = 0; s < sections; ++s) items += source->numberOfItems(*collection, s);
    }
    return items;
}

std::shared_ptr<EmptyDataSetView> EmptyDataSet::emptyDataSetView(ui::ScrollView& scrollView, bool make) {
    auto view = scrollView.associated<EmptyDataSetView>(viewKey);
    if (view || !make) return view;
    view = EmptyDataSetView::create();
    view->setAutoresizingMask(ui::flexibleWidth | ui::flexibleHeight);
    view->setHidden(true);
    std::weak_ptr<ui::ScrollView> weakScroll = scrollView.sharedAs<ui::ScrollView>();
    view->tapGesture = ui::TapGestureRecognizer::create(scrollView.sharedAs<ui::ScrollView>(),
                                                        [weakScroll](ui::GestureRecognizer& recognizer) {
                                                            if (auto s = weakScroll.lock())
                                                                didTapContentView(*s, recognizer);
                                                        });
    auto tapDelegate = std::make_shared<TapDelegate>(weakScroll);
    scrollView.setAssociatedObject(tapDelegateKey, tapDelegate);
    view->tapGesture->setDelegate(tapDelegate);
    view->addGestureRecognizer(view->tapGesture);
    scrollView.setAssociatedObject(viewKey, view);
    return view;
}

// ----- Refresh and invalidation -----

void EmptyDataSet::reloadEmptyDataSet(ui::ScrollView& scrollView) {
    if (!canDisplay(scrollView)) return;
    auto source = emptyDataSetSource(scrollView);
    auto d = emptyDataSetDelegate(scrollView);
    const bool shouldDisplay = d ? answer(d->emptyDataSetShouldDisplay(scrollView), true) : true;
    const bool forced = d ? answer(d->emptyDataSetShouldBeForcedToDisplay(scrollView), false) : false;
    if (!((shouldDisplay && itemsCount(scrollView) == 0) || forced)) {
        if (isEmptyDataSetVisible(scrollView)) invalidate(scrollView);
        return;
    }
    if (d) d->emptyDataSetWillAppear(scrollView);
    auto view = emptyDataSetView(scrollView);
    view->fadeInOnDisplay = d ? answer(d->emptyDataSetShouldFadeIn(scrollView), true) : true;
    if (!view->superview()) {
        const bool list = dynamic_cast<ui::TableView*>(&scrollView) || dynamic_cast<ui::CollectionView*>(&scrollView);
        if (list && scrollView.subviews().size() > 1) {
            scrollView.insertSubview(view, 0);
        } else {
            scrollView.addSubview(view);
        }
    }
    view->prepareForReuse();
    if (auto custom = source->customViewForEmptyDataSet(scrollView)) {
        view->setCustomView(custom);
    } else {
        auto title = source->titleForEmptyDataSet(scrollView);
        auto detail = source->descriptionForEmptyDataSet(scrollView);
        auto buttonImage = source->buttonImageForEmptyDataSet(scrollView, ui::normal);
        auto buttonTitle = source->buttonTitleForEmptyDataSet(scrollView, ui::normal);
        auto image = source->imageForEmptyDataSet(scrollView);
        auto tint = source->imageTintColorForEmptyDataSet(scrollView);
        view->verticalSpace = source->spaceHeightForEmptyDataSet(scrollView);
        if (image) {
            view->imageView()->setImage(image->withRenderingMode(tint ? ui::ImageRenderingMode::alwaysTemplate
                                                                      : ui::ImageRenderingMode::alwaysOriginal));
            view->imageView()->setTintColor(tint);
        }
        if (title) view->titleLabel()->setAttributedText(title);
        if (detail) view->detailLabel()->setAttributedText(detail);
        if (buttonImage) {
            view->button()->setImage(buttonImage, ui::normal);
            view->button()->setImage(source->buttonImageForEmptyDataSet(scrollView, ui::highlighted), ui::highlighted);
        } else if (buttonTitle) {
            auto button = view->button();
            button->setAttributedTitle(buttonTitle, ui::normal);
            button->setAttributedTitle(source->buttonTitleForEmptyDataSet(scrollView, ui::highlighted),
                                       ui::highlighted);
            button->setBackgroundImage(source->buttonBackgroundImageForEmptyDataSet(scrollView, ui::normal),
                                       ui::normal);
            button->setBackgroundImage(source->buttonBackgroundImageForEmptyDataSet(scrollView, ui::highlighted),
                                       ui::highlighted);
        }
    }
    view->verticalOffset = source->verticalOffsetForEmptyDataSet(scrollView);
    view->setBackgroundColor(source->backgroundColorForEmptyDataSet(scrollView).value_or(ui::Color::clear()));
    view->setHidden(false);
    view->setClipsToBounds(true);
    view->setUserInteractionEnabled(d ? answer(d->emptyDataSetShouldAllowTouch(scrollView), true) : true);
    view->setupConstraints();
    ui::View::performWithoutAnimation([&] { view->layoutIfNeeded(); });
    scrollView.setScrollEnabled(d ? answer(d->emptyDataSetShouldAllowScroll(scrollView), false) : false);
    const bool animateImage = d ? answer(d->emptyDataSetShouldAnimateImageView(scrollView), false) : false;
    if (animateImage) {
        if (auto animation = source->imageAnimationForEmptyDataSet(scrollView))
            view->imageView()->layer().addAnimation(animation, imageAnimationKey);
    } else if (view->canShowImage() && view->imageView()->layer().animation(imageAnimationKey)) {
        view->imageView()->layer().removeAnimation(imageAnimationKey);
    }
    if (d) d->emptyDataSetDidAppear(scrollView);
}

void EmptyDataSet::invalidate(ui::ScrollView& scrollView) {
    auto d = emptyDataSetDelegate(scrollView);
    if (d) d->emptyDataSetWillDisappear(scrollView);
    if (auto view = emptyDataSetView(scrollView, false)) {
        view->prepareForReuse();
        view->removeFromSuperview();
        scrollView.setAssociatedObject(viewKey, nullptr);
    }
    scrollView.setScrollEnabled(true);
    if (d) d->emptyDataSetDidDisappear(scrollView);
}

// ----- Taps -----

void EmptyDataSet::didTapContentView(ui::ScrollView& scrollView, ui::GestureRecognizer& recognizer) {
    auto d = emptyDataSetDelegate(scrollView);
    if (!d) return;
    if (!d->emptyDataSetDidTapViewWith(scrollView, recognizer)) d->emptyDataSetDidTapView(scrollView);
}

void EmptyDataSet::didTapDataButton(ui::ScrollView& scrollView, ui::Button& button) {
    auto d = emptyDataSetDelegate(scrollView);
    if (!d) return;
    if (!d->emptyDataSetDidTapButtonWith(scrollView, button)) d->emptyDataSetDidTapButton(scrollView);
}

}  // namespace reelhaven
