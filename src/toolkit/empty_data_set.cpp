#include "toolkit/empty_data_set.h"

#include "platform/ui/collection_view.h"
#include "platform/ui/table_view.h"
#include "toolkit/weak_object_container.h"

namespace reelhaven {

namespace {

constexpr const char* sourceKey = "emptyDataSetSource";
constexpr const char* delegateKey = "emptyDataSetDelegate";
constexpr const char* viewKey = "emptyDataSetView";
constexpr const char* tapDelegateKey = "emptyDataSetTapDelegate";

std::map<std::string, EmptyDataSet::RegistryEntry>& registryStorage() {
    static std::map<std::string, EmptyDataSet::RegistryEntry> entries;
    return entries;
}

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
    swizzleIfPossible(scrollView, "reloadData");
    if (dynamic_cast<ui::TableView*>(&scrollView)) swizzleIfPossible(scrollView, "endUpdates");
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

// ----- Replacing the reload methods -----

std::string EmptyDataSet::baseClassName(const ui::ScrollView& scrollView) {
    if (dynamic_cast<const ui::TableView*>(&scrollView)) return "TableView";
    if (dynamic_cast<const ui::CollectionView*>(&scrollView)) return "CollectionView";
    return "ScrollView";
}

bool EmptyDataSet::isKindOf(const ui::ScrollView& scrollView, const std::string& className) {
    if (className == "TableView") return dynamic_cast<const ui::TableView*>(&scrollView) != nullptr;
    if (className == "CollectionView") return dynamic_cast<const ui::CollectionView*>(&scrollView) != nullptr;
    return className == "ScrollView";
}

bool EmptyDataSet::respondsTo(const ui::ScrollView& scrollView, const std::string& selector) {
    const std::string base = baseClassName(scrollView);
    if (selector == "reloadData") return base != "ScrollView";
    if (selector == "endUpdates") return base == "TableView";
    return false;
}

const std::map<std::string, EmptyDataSet::RegistryEntry>& EmptyDataSet::registry() { return registryStorage(); }

void EmptyDataSet::resetRegistry() {
    registryStorage().clear();
    ui::MethodRegistry::restoreAll();
}

void EmptyDataSet::swizzleIfPossible(ui::ScrollView& scrollView, const std::string& selector) {
    if (!respondsTo(scrollView, selector)) return;
    auto& entries = registryStorage();
    for (const auto& [key, entry] : entries) {
        if (entry.selector == selector && isKindOf(scrollView, entry.owner)) return;
    }
    const std::string base = baseClassName(scrollView);
    const std::string key = base + "_" + selector;
    if (auto it = entries.find(key); it != entries.end() && it->second.pointer) return;
    auto replacement = [selector](ui::Object& receiver) {
        auto& scroll = dynamic_cast<ui::ScrollView&>(receiver);
        const auto it = registryStorage().find(baseClassName(scroll) + "_" + selector);
        const auto replaced = it == registryStorage().end() ? nullptr : it->second.pointer;
        reloadEmptyDataSet(scroll);
        if (replaced) replaced(receiver);
    };
    auto replaced = ui::MethodRegistry::setImplementation(base, selector, replacement);
    entries[key] = RegistryEntry{base, selector, replaced};
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
